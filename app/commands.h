// Command ids of the menu, the accelerators and the commands that the program posts to
// its own main window.
#pragma once

enum CommandId {
    CMD_EXIT = 1,
    CMD_SETUP = 2,
    CMD_INFORMATION = 3,
    CMD_DRIVER_INFO = 4,
    CMD_RESET_VALUES = 5,
    CMD_REPORT_ERROR = 6, // lParam: the error code
    CMD_INSTALL_SHORTCUTS = 8,
    CMD_UNINSTALL_SHORTCUTS = 9,
    CMD_ABOUT = 18,
    CMD_RESET_WITH_NOTICE = 21,
};

#define ICON_PROGRAM 600
