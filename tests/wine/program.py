"""TapTally.exe running in a harness session: start, read back, and drive it."""

import os
import time

import expected
import harness


class Program:
    def __init__(self, session, folder="TapTally"):
        """Installs TapTally.exe into C:\\<folder> of the prefix and starts it from there."""
        self.session = session
        self.folder = folder
        self.exe = session.install(session.args.exe, folder)
        self.module_path = "C:\\" + folder + "\\TapTally.exe"
        self.process = session.start_windows(self.module_path, os.path.dirname(self.exe))
        self.window = harness.wait_for("the TapTally window", self._visible_window, timeout=60)
        self.origin = self.window["origin"]
        client = self.window["client"]
        self.layout = expected.Layout(client[2], client[3])

    def _visible_window(self):
        state = self.session.probe("window")
        window = state.get("window")
        return window if window and window["visible"] else None

    def state(self, *commands):
        return self.session.probe(*commands)

    def boxes(self):
        return self.session.probe("window", "boxes")["boxes"]

    def wait_box(self, caption, timeout=20):
        def find():
            for box in self.boxes():
                if box["text"] == caption:
                    return box
            return None

        return harness.wait_for("the box %r" % caption, find, timeout=timeout)

    def wait_no_boxes(self, timeout=20):
        harness.wait_for("every box to close", lambda: not self.boxes(), timeout=timeout)

    def boxes_after(self, seconds):
        """The boxes open once the program has had `seconds` to react."""
        time.sleep(seconds)
        return self.boxes()

    # --- the screen ---------------------------------------------------------------

    def screen_point(self, x, y):
        return self.origin[0] + x, self.origin[1] + y

    def client_pixel_reader(self, name):
        """Grabs the screen; returns a function giving the colour at a client point."""
        screen = self.session.screen_pixels(name)
        return lambda x, y: screen(*self.screen_point(x, y))

    def panel_has_values(self, panel):
        """True when the panel shows its Current value box (the light grey of values)."""
        read = self.client_pixel_reader("panel")
        return read(*self.layout.value_box(self.layout.panel_lefts()[panel], 0)) == \
            expected.VALUE_GREY

    def wait_values(self, panel, shown=True):
        what = "values %s in panel %d" % ("shown" if shown else "cleared", panel)
        harness.wait_for(what, lambda: self.panel_has_values(panel) == shown, interval=0.3)

    def wait_until_settled(self):
        """Waits for the start-up calibration to end: its presses draw values into the left
        panel, and the reset at its end paints the screen afresh without them."""
        harness.wait_for("the calibration's values to be cleared",
                         lambda: not self.panel_has_values(0), timeout=30, interval=0.5)

    # --- input --------------------------------------------------------------------

    def click(self, x, y, button=1, repeat=1, delay_ms=100):
        """Clicks at a client point of the main window."""
        self.session.click(*self.screen_point(x, y), button=button, repeat=repeat,
                           delay_ms=delay_ms)

    def click_quiet_spot(self, button=1, repeat=1, delay_ms=100):
        """Clicks below the button panels, where nothing is drawn."""
        layout = self.layout
        self.click(layout.width // 2, (layout.panel_bottom + layout.height) // 2, button,
                   repeat, delay_ms)

    def click_control(self, box, control_id):
        for child in box["children"]:
            if child["id"] == control_id:
                left, top, right, bottom = child["rect"]
                self.session.click((left + right) // 2, (top + bottom) // 2)
                return
        raise KeyError("no control %d in %r" % (control_id, box["text"]))

    def exit_by_key(self, checks):
        self.session.key("x")
        harness.wait_for("TapTally to end", lambda: self.process.poll() is not None)
        checks.equal("exit status", self.process.returncode, 0)
        checks.equal("main window after exit", self.session.probe("window")["window"], None)


def box_summary(box):
    """Caption, texts of its static controls (the message) and buttons of a box."""
    statics = [c["text"] for c in box["children"] if c["class"] == "Static" and c["text"]]
    buttons = [(c["id"], c["text"]) for c in box["children"] if c["class"] == "Button"]
    return box["text"], statics, buttons
