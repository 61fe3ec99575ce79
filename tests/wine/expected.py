"""What TapTally must show, typed from its description: the message texts, the error
descriptions, the dialog texts and the geometry of the main screen."""

import math

ICON_SIZE = 32
BACKGROUND = (0, 160, 160)
YELLOW = (255, 255, 0)
VALUE_GREY = (192, 192, 192)

WINDOW_CLASS = "TapTally"
WINDOW_TITLE = "TapTally - Mouse Testing Program"

CLOSING_LINE = "Please see INFORMATION for details."

# Message-box captions and templates, by catalog number.
ABOUT_CAPTION = "About TapTally"
DRIVER_INFO_CAPTION = "Mouse Driver Info"
DRIVER_INFO_TEMPLATE = "Mouse Driver Information\n\n" + " " * 156 + "\n" + CLOSING_LINE
ENTRY_ERROR_CAPTION = "Entry Error"
ENTRY_ERROR_TEMPLATE = ("Allowable values are 10-200.\n\nYou entered" + " " * 10 + "\n\n" +
                        CLOSING_LINE)
RESET_CAPTION = "Reset Test Values"
RESET_TEXT = ("TapTally values have been RESET.\n\nUse this to RESET test values,\n"
              "OR simply press the 'R' key.\n\n" + CLOSING_LINE)
ERROR_CAPTION = "Error Message"
ERROR_TEMPLATE = " " * 153 + "\n" + CLOSING_LINE
SCRIPT_NOTE_CAPTION = "Note:"
SCRIPT_NOTE_TEXT = (
    "TapTally temporarily uses a script to install the icons.\n\n"
    "Depending on your security settings, a message may warn\n"
    "that a script is being run.  This is normal and protects you\n"
    "from web pages making unexpected changes.\n\n"
    "See Information for more details.\n\n"
    "Continue?")

TOO_FAST = "'Least' value was too small.\n\nClick 'OK' and press 'R' for RESET\n"
ERROR_DESCRIPTIONS = {
    10: "The Left Button " + TOO_FAST,
    20: "The Middle Button " + TOO_FAST,
    30: "The Right Button " + TOO_FAST,
    80: "The Calibration Value is TOO high (max 40).\nClick 'Driver Info'\n",
    99: "No mouse was found on this PC\nCheck Mouse Plug\n",
}

# The About line by the word size of the exe: the product is the 32-bit one.
ABOUT_LINE = {32: "TapTally      Ver. 1.90  (32 bit)", 64: "TapTally      Ver. 1.90  (64 bit)"}

TRIGGER_CAPTION = "Change the 'Least' Trigger Value"
TRIGGER_EDIT, TRIGGER_OK, TRIGGER_CANCEL = 114, 115, 116
TRIGGER_CONTROLS = [("Edit", TRIGGER_EDIT), ("Button", TRIGGER_CANCEL), ("Button", TRIGGER_OK)]
TRIGGER_TEXTS = {TRIGGER_CANCEL: "Cancel", TRIGGER_OK: " OK "}
TRIGGER_TEMPLATE_POSITION = (10, 90)  # dialog units from the owner's client area

INFO_CAPTION = "Information and Details"
INFO_BACK, INFO_RETURN, INFO_FORWARD = 118, 115, 119
INFO_BUTTONS = [(INFO_BACK, "<< &Back"), (INFO_RETURN, "&Return"), (INFO_FORWARD, "&Forward >>")]
INFO_PAGES = 15

SCRIPT_NAME = "TapTally.vbs"

# Buttons of MessageBoxA as the platform labels them.
BUTTON_OK = (1, "OK")
BUTTONS_YES_NO_CANCEL = [(6, "&Yes"), (7, "&No"), (2, "Cancel")]


def fill_longest_blank_run(template, text):
    """The run-time text written over the first of the longest runs of blanks."""
    best_start, best_length = 0, 0
    start = None
    for position, character in enumerate(template + "\0"):
        if character == " ":
            if start is None:
                start = position
        elif start is not None:
            if position - start > best_length:
                best_start, best_length = start, position - start
            start = None
    if best_length < len(text):
        return template
    return template[:best_start] + text + template[best_start + len(text):]


def error_text(code):
    report = "Error # %d Occurred! - \n" % code + ERROR_DESCRIPTIONS.get(code, "")
    return fill_longest_blank_run(ERROR_TEMPLATE, report)


def entry_error_text(value):
    return fill_longest_blank_run(ENTRY_ERROR_TEMPLATE, " %d" % value)


def driver_info_text(calibration, double_click, speed, threshold1, threshold2, swapped):
    """The driver report; the calibration value (text "d.dd") is what the run measured."""
    report = ("Program Calibration = %s ms.\n\nDoubleClickTime = %d ms.\n\nSpeed = %d,\n"
              "Threshold #1 = %d pixels,\nThreshold #2 = %d pixels\n\nButton Reverse = %s\n"
              % (calibration, double_click, speed, threshold1, threshold2,
                 "Reversed" if swapped else "Normal"))
    return fill_longest_blank_run(DRIVER_INFO_TEMPLATE, report)


def script_lines(mode, module_path):
    """The script that the shortcut commands write, for mode 0 (remove) or 4 (both)."""
    directory = module_path[:module_path.rfind("\\") + 1]
    name = "TapTally"
    head = [
        "Dim WSHShell, MyShortcut, MyDesktop, DesktopPath, folderspec, f",
        'Set WSHShell=WScript.CreateObject("WScript.Shell")',
        'Set FSO = CreateObject("Scripting.FileSystemObject")',
        'DesktopPath=WSHShell.SpecialFolders("Desktop")',
    ]

    def shortcut(folder):
        return [
            'Set MyShortcut=WSHShell.CreateShortcut(%s & "\\%s.lnk")' % (folder, name),
            'MyShortcut.TargetPath="%s"' % module_path,
            'MyShortcut.WorkingDirectory="%s"' % directory,
            "MyShortcut.WindowStyle=4",
            'MyShortcut.IconLocation = "%s, 0"' % module_path,
            "MyShortcut.Save",
        ]

    programs = [
        'folderspec=WSHShell.SpecialFolders("Programs")',
        'folderspec=(folderspec & "\\%s")' % name,
    ]

    def remove(folder):
        return [
            'If FSO.FileExists(%s & "\\%s.lnk") Then' % (folder, name),
            'FSO.DeleteFile(%s & "\\%s.lnk")' % (folder, name),
            "End If",
        ]

    if mode == 4:
        lines = (head + shortcut("DesktopPath") + programs +
                 ["If Not FSO.FolderExists(folderspec) Then", "FSO.CreateFolder(folderspec)",
                  "End If"] + shortcut("folderspec"))
    elif mode == 0:
        lines = (head + remove("DesktopPath") + programs + remove("folderspec") +
                 ["If FSO.FolderExists(folderspec) Then", "Set f=FSO.GetFolder(folderspec)",
                  "If f.size=0 Then", "FSO.DeleteFolder(folderspec)", "End If", "End If"])
    else:
        raise ValueError(mode)
    return "".join(line + "\n" for line in lines)


class Layout:
    """The geometry of the main screen for a client area of width x height."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.row = height // 27
        self.text_width = width + 1
        self.panel_top = 15 * self.row
        self.panel_bottom = self.panel_top + 10 * self.row
        self.column = width // 3
        self.middle_x = width // 3
        self.right_x = (2 * width) // 3
        self.movement_top = math.trunc(self.panel_top - 5 * self.row - 0.5 * self.row)
        self.panel_frame_top = math.trunc(self.panel_top - 0.5 * self.row)
        self.icon_left = self.text_width // 2 - 16
        self.icon_top = 4 * self.row - 8
        self.frame_left, self.frame_right = 2, width - 3

    def value_box(self, panel_left, row):
        """A point inside the grey box of a panel's Current (row 0) or Least (row 1) value."""
        y = self.panel_top + (2 * self.row if row == 0 else math.trunc(3.15 * self.row))
        return panel_left + self.column // 2 + 3, y + 4

    def panel_lefts(self):
        return [0, self.middle_x, self.right_x]
