#!/usr/bin/env python3
"""TapTally's main window under Wine: class, title and rectangle, the painted screen at
the real client size, the program icon, the About pop-up of the menu, and the X key."""

import os
import sys

import expected
import harness
import program

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import make_icon  # noqa: E402  (the icon's own picture, to compare the screen with)


def frame_points(layout):
    """Points on and just beside the yellow frame lines, with the colour each must have.
    A 5-pixel line covers its own row or column and two on each side."""
    points = []
    x = layout.width // 4
    for name, y in (("movement frame top", layout.movement_top),
                    ("line between the frames", layout.panel_frame_top),
                    ("panel frame bottom", layout.panel_bottom)):
        points += [("%s, row %+d" % (name, d), (x, y + d), expected.YELLOW) for d in range(-2, 3)]
        points += [("beside the %s, row %+d" % (name, d), (x, y + d), expected.BACKGROUND)
                   for d in (-3, 3)]
    panel_y = (layout.panel_frame_top + layout.panel_bottom) // 2
    movement_y = (layout.movement_top + layout.panel_frame_top) // 2
    for name, line_x in (("left edge", layout.frame_left), ("right edge", layout.frame_right),
                         ("first divider", layout.width // 3),
                         ("second divider", (2 * layout.width) // 3)):
        points += [("%s, column %+d" % (name, d), (line_x + d, panel_y), expected.YELLOW)
                   for d in range(-2, 3)]
        if name.endswith("divider"):
            points += [("beside the %s, column %+d" % (name, d), (line_x + d, panel_y),
                        expected.BACKGROUND) for d in (-3, 3)]
            # The movement frame has no dividers.
            points.append(("movement band at the %s" % name, (line_x, movement_y),
                           expected.BACKGROUND))
        else:
            points.append(("movement frame %s" % name, (line_x, movement_y), expected.YELLOW))
    return points


def background_points(layout):
    return [
        ("top left corner", (10, 10), expected.BACKGROUND),
        ("right of the title lines", (layout.width - 10, layout.movement_top - 10),
         expected.BACKGROUND),
        ("below the frames", (layout.width // 2, (layout.panel_bottom + layout.height) // 2),
         expected.BACKGROUND),
        ("bottom right corner", (layout.width - 10, layout.height - 10), expected.BACKGROUND),
        ("empty lower left panel", (layout.width // 12, layout.panel_top + 9 * layout.row),
         expected.BACKGROUND),
    ]


def check_screen(app, checks):
    layout = app.layout
    points = background_points(layout) + frame_points(layout)
    # Read once by GetPixel on the window's device context and once from the screen.
    listed = ";".join("%d,%d" % point for _, point, _ in points)
    read = app.state("pixels=" + listed)["pixels"]
    screen = app.client_pixel_reader("screen")
    for (name, point, colour), (_, _, got) in zip(points, read):
        checks.equal("GetPixel at %s %s" % (name, point), tuple(got) if got else None, colour)
        checks.equal("screen at %s %s" % (name, point), screen(*point), colour)

    # The icon, drawn at IconRect over the gap of the "Mouse ... Tester" line.
    picture = make_icon.picture()
    wrong = []
    for y in range(expected.ICON_SIZE):
        for x in range(expected.ICON_SIZE):
            index = picture[y][x]
            want = expected.BACKGROUND if index is None else make_icon.PALETTE[index]
            got = screen(layout.icon_left + x, layout.icon_top + y)
            if got != want:
                wrong.append((x, y, got, want))
    checks.true("icon picture at (%d, %d)" % (layout.icon_left, layout.icon_top), not wrong,
                "%d pixels differ, first %r" % (len(wrong), wrong[:3]))


def popup_menu(app):
    state = app.state("toplevel")
    for window in state["toplevel"]:
        if window["class"] == "#32768":
            return window
    return None


def about_popup_slots(app, checks):
    """Opens the About pop-up with Alt+A and measures its item rows on the screen: the
    first item is highlighted, which gives the border and the height of one item."""
    app.session.key("alt+a")
    popup = harness.wait_for("the About pop-up", lambda: popup_menu(app))
    left, top, right, bottom = popup["rect"]
    screen = app.session.screen_pixels("popup")
    column = [screen(right - 8, y) for y in range(top, bottom)]
    runs = []
    for colour in column:
        if runs and runs[-1][0] == colour:
            runs[-1][1] += 1
        else:
            runs.append([colour, 1])
    # Border rows, then the highlighted first item: the first run whose colour appears
    # nowhere else in the column.
    border = 0
    highlight = None
    for colour, length in runs:
        if column.count(colour) == length and length > 2:
            highlight = length
            break
        border += length
    checks.true("first pop-up item highlighted", highlight, str(runs))
    if not highlight:
        return None
    height = bottom - top
    rest = height - 2 * border - 3 * highlight
    # Three text items and one separator, which is less tall than an item.
    checks.true("pop-up height: three items and a separator", 0 < rest < highlight,
                "height %d, border %d, item %d" % (height, border, highlight))
    separator_rows = column[border + 2 * highlight:border + 2 * highlight + rest]
    checks.true("separator line after the second item",
                any(colour != separator_rows[0] for colour in separator_rows), str(runs))
    x = (left + right) // 2
    return {
        "install": (x, top + border + highlight // 2),
        "uninstall": (x, top + border + highlight + highlight // 2),
        "separator": (x, top + border + 2 * highlight + rest // 2),
        "about": (x, top + border + 2 * highlight + rest + highlight // 2),
    }


def check_menu(app, checks):
    session = app.session
    script = os.path.join(os.path.dirname(app.exe), expected.SCRIPT_NAME)
    slots = about_popup_slots(app, checks)
    if slots is None:
        return

    # A click on the separator chooses nothing; the pop-up stays open.
    session.click(*slots["separator"])
    checks.equal("boxes after a click on the separator", app.boxes_after(1.0), [])
    checks.true("pop-up open after a click on the separator", popup_menu(app))

    # The item after the separator is About TapTally.
    session.click(*slots["about"])
    box = app.wait_box(expected.ABOUT_CAPTION)
    message = program.box_summary(box)[1]
    checks.true("About box from the fourth row", message and
                message[0].split("\n")[0] == expected.ABOUT_LINE[session.bits], str(message))
    session.key("Return")
    app.wait_no_boxes()

    # The first item asks the shortcut question; Cancel does nothing.
    session.key("alt+a")
    harness.wait_for("the About pop-up", lambda: popup_menu(app))
    session.key("Return")
    box = app.wait_box(expected.SCRIPT_NOTE_CAPTION)
    checks.equal("first item: the shortcut question", program.box_summary(box),
                 (expected.SCRIPT_NOTE_CAPTION, [expected.SCRIPT_NOTE_TEXT],
                  expected.BUTTONS_YES_NO_CANCEL))
    session.key("Escape")
    app.wait_no_boxes()
    checks.equal("script after Cancel", os.path.exists(script), False)

    # The second item removes the shortcuts at once, with a script beside the program.
    session.key("alt+a")
    harness.wait_for("the About pop-up", lambda: popup_menu(app))
    session.key("Down", "Return")
    harness.wait_for("the removal script", lambda: os.path.exists(script))
    want = expected.script_lines(0, app.module_path)
    harness.wait_for("the whole script", lambda: os.path.getsize(script) >= len(want))
    with open(script, newline="") as f:
        checks.equal("second item: the removal script", f.read(), want)
    checks.equal("boxes after the removal", app.boxes_after(1.0), [])
    return script


def main():
    args = harness.arguments()
    with harness.Session("window", args) as session:
        checks = harness.Checks(session)
        app = program.Program(session)
        state = session.probe("window")
        window, metrics = state["window"], state["metrics"]
        checks.equal("window class", window["class"], expected.WINDOW_CLASS)
        checks.equal("window title", window["text"], expected.WINDOW_TITLE)
        checks.equal("window rectangle", window["rect"],
                     [0, 0, metrics["cxscreen"], metrics["cyscreen"] - metrics["cymenu"]])
        checks.equal("client size", window["client"][2:], [
            metrics["cxscreen"] - 2 * metrics["cxframe"],
            metrics["cyscreen"] - 2 * metrics["cymenu"] - metrics["cycaption"] -
            2 * metrics["cyframe"]])
        print("client area %d x %d, system version %d.%d" % (
            app.layout.width, app.layout.height, *metrics["version"]))

        # The native stand-in answers a version size as Windows does: twice the block and
        # 4 more, well below the 2500 bytes the version lookup accepts.
        version = session.probe("version=" + app.module_path)["version"]
        checks.equal("version size asked for the block", version["size"],
                     2 * version["block"] + 4)
        checks.true("version size within the lookup's limit", 0 < version["size"] < 2500,
                    str(version))

        app.wait_until_settled()
        checks.equal("boxes after the start", app.boxes_after(1.0), [])
        session.screenshot("window")
        check_screen(app, checks)

        # Shortcut entries are offered from system version 3.50 on; Wine reports a newer one.
        checks.true("system version with shortcut entries", metrics["version"][0] > 3)
        script = check_menu(app, checks)

        app.exit_by_key(checks)
        if script:
            checks.equal("script after exit", os.path.exists(script), False)
        return checks.finish()


if __name__ == "__main__":
    sys.exit(main())
