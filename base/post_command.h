// A command for the main window, from any part of the program.
#pragma once

#include <windows.h>

// Posts the command to the main window, to run after the current handling has returned.
inline void PostCommand(HWND window, int command, LPARAM lParam) {
    PostMessageA(window, WM_COMMAND, (WPARAM)command, lParam);
}
