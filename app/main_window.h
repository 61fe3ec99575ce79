// The main window: its procedure, the start of the program and the command dispatch.
#pragma once

#include <windows.h>

extern const char MAIN_CLASS_NAME[];
extern const char MAIN_WINDOW_TITLE[];

// Scratch text of the About line.
extern char ProgramTitle[1000];

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Posts a command to the main window, to run after the current handling has returned.
void PostCommand(HWND window, int command, LPARAM lParam);
