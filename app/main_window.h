// The main window: its procedure, the start of the program and the command dispatch.
#pragma once

#include <windows.h>

extern const char MAIN_CLASS_NAME[];
extern const char MAIN_WINDOW_TITLE[];

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The main window's class, with the program's icon, menu and procedure; 0 on failure.
ATOM RegisterMainWindowClass(HINSTANCE instance);
