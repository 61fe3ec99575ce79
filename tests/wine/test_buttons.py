#!/usr/bin/env python3
"""The button test under Wine with real X clicks: the start-up calibration ends by
itself, quick double clicks of each button raise its too-fast error box, slow clicks
raise nothing, the test goes on after a box, and both resets clear the panels."""

import re
import sys

import expected
import harness
import program

# X button numbers, the panel each one's values appear in, and its too-fast code.
BUTTONS = [("left", 1, 0, 10), ("right", 3, 2, 30), ("middle", 2, 1, 20)]


def check_calibration(app, checks):
    """No box at the start (neither a slow calibration, 80, nor a missing mouse, 99), and
    the value it measured is within the limit."""
    checks.equal("boxes after the start", app.boxes_after(2.0), [])
    app.session.key("d")
    box = app.wait_box(expected.DRIVER_INFO_CAPTION)
    message = program.box_summary(box)[1]
    found = re.search(r"Program Calibration = (\d+\.\d\d) ms\.", message[0] if message else "")
    if checks.true("calibration value in the driver report", found, str(message)):
        print("calibration value under Wine: %s ms" % found.group(1))
        checks.true("calibration value within the limit", float(found.group(1)) < 31.0,
                    found.group(1))
    app.session.key("Return")
    app.wait_no_boxes()


def check_too_fast(app, checks, name, button, panel, code, window):
    # One press first, so that the pair below is timed from a press of this run.
    app.click_quiet_spot(button)
    app.wait_values(panel)
    checks.equal("boxes after one %s click" % name, app.boxes_after(0.5), [])
    app.click_quiet_spot(button, repeat=2, delay_ms=30)
    box = app.wait_box(expected.ERROR_CAPTION)
    checks.equal("box of two %s clicks 30 ms apart" % name, program.box_summary(box),
                 (expected.ERROR_CAPTION, [expected.error_text(code)], [expected.BUTTON_OK]))
    checks.equal("owner of the error box", box["owner"], window["hwnd"])
    checks.equal("main window enabled under the error box",
                 app.state("window")["window"]["enabled"], False)
    app.session.key("Return")
    app.wait_no_boxes()


def main():
    args = harness.arguments()
    with harness.Session("buttons", args) as session:
        checks = harness.Checks(session)
        app = program.Program(session)
        window = app.window
        app.wait_until_settled()
        check_calibration(app, checks)

        for name, button, panel, code in BUTTONS:
            check_too_fast(app, checks, name, button, panel, code, window)

        # After a box has been closed the test goes on: the next quick pair is caught too.
        app.click_quiet_spot(1, repeat=2, delay_ms=30)
        box = app.wait_box(expected.ERROR_CAPTION)
        checks.equal("error after the box was closed", program.box_summary(box)[1],
                     [expected.error_text(10)])
        session.key("Return")
        app.wait_no_boxes()

        # Clicks 300 ms apart are slower than the trigger value: no box.
        for name, button, panel, _ in BUTTONS:
            app.click_quiet_spot(button, repeat=4, delay_ms=300)
            checks.equal("boxes after %s clicks 300 ms apart" % name, app.boxes_after(1.5), [])
            checks.true("%s panel shows values" % name, app.panel_has_values(panel))
        session.screenshot("measuring")

        # The Reset entry of the menu shows its notice, without owner, and resets after it.
        session.key("alt+r")
        box = app.wait_box(expected.RESET_CAPTION)
        checks.equal("Reset notice", program.box_summary(box),
                     (expected.RESET_CAPTION, [expected.RESET_TEXT], [expected.BUTTON_OK]))
        checks.equal("owner of the Reset notice", box["owner"], 0)
        checks.equal("main window enabled under the Reset notice",
                     app.state("window")["window"]["enabled"], True)
        checks.true("values kept while the notice is open", app.panel_has_values(0))
        session.key("Return")
        app.wait_no_boxes()
        for _, _, panel, _ in BUTTONS:
            app.wait_values(panel, shown=False)

        # The R key resets at once, without a notice.
        app.click_quiet_spot(1)
        app.wait_values(0)
        session.key("r")
        app.wait_values(0, shown=False)
        checks.equal("boxes after the R key", app.boxes_after(1.0), [])

        app.exit_by_key(checks)
        return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
