// Every id of the program's resources and commands, in one place: the resource script,
// the program and its tests all include this file, so that no id is typed twice.
// The resource compiler reads it too, so it holds nothing but definitions.
#ifndef TAPTALLY_RESOURCE_H
#define TAPTALLY_RESOURCE_H

// Commands of the menu and the accelerators, and those the program posts to its own
// main window.
#define CMD_EXIT 1
#define CMD_SETUP 2
#define CMD_INFORMATION 3
#define CMD_DRIVER_INFO 4
#define CMD_RESET_VALUES 5
#define CMD_REPORT_ERROR 6 // lParam: the error code
#define CMD_INSTALL_SHORTCUTS 8
#define CMD_UNINSTALL_SHORTCUTS 9
#define CMD_ABOUT 18
#define CMD_RESET_WITH_NOTICE 21

// The program icon: the class icon and the one drawn on the main screen.
#define ICON_PROGRAM 600

// Controls of the trigger dialog, template "ENTERIT".
#define ID_TRIGGER_EDIT 114
#define ID_TRIGGER_OK 115
#define ID_TRIGGER_CANCEL 116

// Controls of the information dialog, template "DTLINFO".
#define ID_INFO_RETURN 115
#define ID_INFO_BACK 118
#define ID_INFO_FORWARD 119

#endif
