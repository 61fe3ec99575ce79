#!/usr/bin/env python3
"""TapTally's dialogs and boxes under Wine, opened with real keys: the trigger setup
(refused and accepted entries, and what the new value does), the driver report, the
About box, the information pages, and the shortcut install with its script."""

import os
import sys

import expected
import harness
import program

# The program runs from a folder whose name has a blank, as under "Program Files", so
# that the command line that starts the script host must quote the script's path.
FOLDER = "Program Files\\TapTally"


def mul_div(value, numerator, denominator):
    return (value * numerator + denominator // 2) // denominator


def child(box, control_id):
    for control in box["children"]:
        if control["id"] == control_id:
            return control
    return None


def replace_entry(session, text):
    session.key("End", *["BackSpace"] * 6)
    if text:
        session.type_text(text)


def trigger_dialog(app):
    return app.wait_box(expected.TRIGGER_CAPTION)


def check_trigger_dialog(app, checks):
    session = app.session
    state = app.state("window")
    metrics, main = state["metrics"], state["window"]
    session.key("s")
    dialog = trigger_dialog(app)
    checks.equal("trigger dialog controls", [(c["class"], c["id"]) for c in dialog["children"]],
                 expected.TRIGGER_CONTROLS)
    checks.equal("trigger dialog entry at the start", child(dialog, expected.TRIGGER_EDIT)["text"],
                 "85")
    for control_id, text in expected.TRIGGER_TEXTS.items():
        checks.equal("trigger dialog button %d" % control_id, child(dialog, control_id)["text"],
                     text)
    checks.equal("trigger dialog owner", dialog["owner"], main["hwnd"])
    focus = app.state("window")["focus"]
    checks.equal("focus in the trigger dialog", focus and focus["id"], expected.TRIGGER_EDIT)

    # The template places the client area at (10, 90) dialog units from the main window's
    # client area; the dialog then moves itself 20 pixels down, keeping its size.
    unit_x, unit_y = metrics["dialogunits"]
    x, y = expected.TRIGGER_TEMPLATE_POSITION
    checks.equal("trigger dialog client origin", dialog["origin"],
                 [main["origin"][0] + mul_div(x, unit_x, 4),
                  main["origin"][1] + mul_div(y, unit_y, 8) + 20])
    checks.equal("trigger dialog client size", dialog["client"][2:],
                 [mul_div(145, unit_x, 4), mul_div(64, unit_y, 8)])
    screen = session.screen_pixels("trigger")
    checks.equal("trigger dialog background", screen(dialog["origin"][0] + 3,
                                                     dialog["origin"][1] + 3), expected.VALUE_GREY)

    # 9 is refused: the entry error, owned by the dialog, which stays open with the entry.
    replace_entry(session, "9")
    session.key("Return")
    box = app.wait_box(expected.ENTRY_ERROR_CAPTION)
    checks.equal("entry error for 9", program.box_summary(box),
                 (expected.ENTRY_ERROR_CAPTION, [expected.entry_error_text(9)],
                  [expected.BUTTON_OK]))
    checks.equal("owner of the entry error", box["owner"], dialog["hwnd"])
    session.key("Return")
    harness.wait_for("the entry error to close", lambda: [
        b["text"] for b in app.boxes()] == [expected.TRIGGER_CAPTION])
    state = app.state("window", "boxes")
    checks.equal("entry kept after the refusal",
                 child(state["boxes"][0], expected.TRIGGER_EDIT)["text"], "9")
    checks.equal("focus after the refusal", state["focus"] and state["focus"]["id"],
                 expected.TRIGGER_EDIT)

    # 150 is accepted and closes the dialog.
    replace_entry(session, "150")
    session.key("Return")
    app.wait_no_boxes()

    # Cancel keeps the value: the dialog opens again with 150.
    session.key("s")
    dialog = trigger_dialog(app)
    checks.equal("entry after the change", child(dialog, expected.TRIGGER_EDIT)["text"], "150")
    replace_entry(session, "99")
    app.click_control(dialog, expected.TRIGGER_CANCEL)
    app.wait_no_boxes()


def check_trigger_effect(app, checks, before):
    """Clicks 120 ms apart are slower than 85 ms but quicker than 150 ms."""
    app.click_quiet_spot(1)
    harness.wait_for("the left panel's values", lambda: app.panel_has_values(0), interval=0.3)
    app.boxes_after(0.3)
    app.click_quiet_spot(1, repeat=2, delay_ms=120)
    if before:
        checks.equal("boxes after clicks 120 ms apart at 85 ms", app.boxes_after(1.5), [])
        return
    box = app.wait_box(expected.ERROR_CAPTION)
    checks.equal("clicks 120 ms apart at 150 ms", program.box_summary(box)[1],
                 [expected.error_text(10)])
    app.session.key("Return")
    app.wait_no_boxes()
    app.click_quiet_spot(1, repeat=3, delay_ms=200)
    checks.equal("boxes after clicks 200 ms apart at 150 ms", app.boxes_after(1.5), [])


def check_reports(app, checks):
    session = app.session
    state = app.state("window")
    metrics = state["metrics"]
    threshold1, threshold2, speed = metrics["mouse"]

    # The driver report has no owner: the main window stays enabled.
    session.key("d")
    box = app.wait_box(expected.DRIVER_INFO_CAPTION)
    message = program.box_summary(box)[1]
    text = message[0] if message else ""
    calibration = text.split("Program Calibration = ")[-1].split(" ms.")[0]
    checks.equal("driver report", program.box_summary(box),
                 (expected.DRIVER_INFO_CAPTION,
                  [expected.driver_info_text(calibration, metrics["doubleclick"], speed,
                                             threshold1, threshold2, metrics["swapbutton"])],
                  [expected.BUTTON_OK]))
    checks.equal("owner of the driver report", box["owner"], 0)
    checks.equal("main window enabled under the driver report",
                 app.state("window")["window"]["enabled"], True)
    session.key("Return")
    app.wait_no_boxes()
    checks.equal("buttons not swapped after the report",
                 app.state()["metrics"]["swapbutton"], metrics["swapbutton"])

    # The About box is owned by the main window.
    session.key("a")
    box = app.wait_box(expected.ABOUT_CAPTION)
    caption, message, buttons = program.box_summary(box)
    lines = message[0].split("\n") if message else []
    checks.equal("About box lines", len(lines), 8)
    if len(lines) == 8:
        checks.equal("About line", lines[0], expected.ABOUT_LINE[session.bits])
        checks.equal("About box empty lines", [lines[1], lines[4], lines[6]], ["", "", ""])
        checks.equal("About box closing line", lines[5], expected.CLOSING_LINE)
        checks.true("About box maker's lines", all(lines[i] for i in (2, 3, 7)), str(lines))
    checks.equal("About box buttons", buttons, [expected.BUTTON_OK])
    checks.equal("owner of the About box", box["owner"], state["window"]["hwnd"])
    session.key("Return")
    app.wait_no_boxes()


class Pages:
    """Pictures of the pages of the information dialog, taken from the screen."""

    def __init__(self, app, dialog):
        self.app = app
        left, top = dialog["origin"]
        width, height = dialog["client"][2:]
        buttons_top = min(c["rect"][1] for c in dialog["children"]) - 2
        # The text area above the buttons, and the footer with the page number (the
        # buttons themselves change with the focus).
        self.areas = [(left, top, left + width, buttons_top),
                      (left + int(0.8 * width), top + int(0.9 * height), left + width,
                       top + height)]

    def picture(self):
        screen = self.app.session.screen_pixels("page")
        return b"".join(screen.region(*area) for area in self.areas)

    def after(self, action, changed_from=None, same_as=None):
        """Does the action and returns the picture it leads to."""
        action()
        if same_as is None and changed_from is None:
            self.app.boxes_after(1.0)
            return self.picture()

        def arrived():
            picture = self.picture()
            if same_as is not None:
                return picture if picture == same_as else None
            return picture if picture != changed_from else None

        return harness.wait_for("the page to change", arrived, timeout=10, interval=0.3)


def check_information(app, checks):
    session = app.session
    session.key("i")
    dialog = app.wait_box(expected.INFO_CAPTION)
    checks.equal("information buttons",
                 [(c["id"], c["text"]) for c in dialog["children"]], expected.INFO_BUTTONS)
    focus = app.state("window")["focus"]
    checks.equal("focus in the information dialog", focus and focus["id"], expected.INFO_FORWARD)
    pages = Pages(app, dialog)
    first = harness.wait_for("the first page", pages.picture)

    # Enter pages forward (Forward has the focus), Back goes back, and Back on the first
    # page stays there.
    second = pages.after(lambda: session.key("Return"), changed_from=first)
    forward = lambda: app.click_control(dialog, expected.INFO_FORWARD)  # noqa: E731
    back = lambda: app.click_control(dialog, expected.INFO_BACK)  # noqa: E731
    third = pages.after(forward, changed_from=second)
    pages.after(back, same_as=second)
    pages.after(back, same_as=first)
    checks.equal("Back on the first page", pages.after(back), first)

    # Fifteen different pages; Forward on the last one shows it again.
    pictures = [first]
    for _ in range(expected.INFO_PAGES - 1):
        pictures.append(pages.after(forward, changed_from=pictures[-1]))
    checks.equal("second and third page as before", pictures[1:3], [second, third])
    checks.equal("different pages", len(set(pictures)), expected.INFO_PAGES)
    last = pictures[-1]
    checks.equal("Forward on the last page", pages.after(forward), last)
    checks.equal("Back after Forward on the last page", pages.after(back, changed_from=last),
                 pictures[-2])
    app.click_control(dialog, expected.INFO_RETURN)
    app.wait_no_boxes()

    # F1 opens the pages too, at the first page again; Escape closes them.
    session.key("F1")
    dialog = app.wait_box(expected.INFO_CAPTION)
    checks.equal("F1 opens the first page", harness.wait_for(
        "the first page", lambda: pages.picture() == first, timeout=10, interval=0.3), True)
    session.key("Escape")
    app.wait_no_boxes()


def check_shortcuts(app, checks):
    session = app.session
    script = os.path.join(os.path.dirname(app.exe), expected.SCRIPT_NAME)
    desktop = os.path.join(session.home, "Desktop", "TapTally.lnk")
    if os.path.exists(desktop):
        os.remove(desktop)

    session.key("alt+a")
    harness.wait_for("the About pop-up", lambda: any(
        w["class"] == "#32768" for w in app.state("toplevel")["toplevel"]))
    session.key("Return")
    box = app.wait_box(expected.SCRIPT_NOTE_CAPTION)
    checks.equal("shortcut question", program.box_summary(box),
                 (expected.SCRIPT_NOTE_CAPTION, [expected.SCRIPT_NOTE_TEXT],
                  expected.BUTTONS_YES_NO_CANCEL))
    checks.equal("owner of the shortcut question", box["owner"], app.window["hwnd"])
    checks.equal("script before the answer", os.path.exists(script), False)
    session.key("Return")  # Yes, the default button
    app.wait_no_boxes()

    want = expected.script_lines(4, app.module_path)
    harness.wait_for("the script beside the program", lambda: os.path.exists(script))
    harness.wait_for("the whole script", lambda: os.path.getsize(script) >= len(want))
    with open(script, newline="") as f:
        checks.equal("install script", f.read(), want)

    # The script host runs the script: the desktop shortcut it makes points at the program.
    # (Wine's script host stops at SpecialFolders("Programs"), which it does not know, so
    # the programs-menu shortcut cannot be checked here.)
    harness.wait_for("the desktop shortcut", lambda: os.path.exists(desktop), timeout=30)
    with open(desktop, "rb") as f:
        link = f.read()
    checks.true("desktop shortcut names the program", app.module_path.encode("utf-16-le") in link)
    checks.equal("boxes after the install", app.boxes_after(1.0), [])
    return script


def main():
    args = harness.arguments()
    with harness.Session("dialogs", args) as session:
        checks = harness.Checks(session)
        app = program.Program(session, FOLDER)
        app.wait_until_settled()

        check_trigger_effect(app, checks, before=True)
        check_trigger_dialog(app, checks)
        check_trigger_effect(app, checks, before=False)
        check_reports(app, checks)
        check_information(app, checks)
        script = check_shortcuts(app, checks)

        app.exit_by_key(checks)
        checks.equal("script after exit", os.path.exists(script), False)
        return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
