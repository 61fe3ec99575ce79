// What the commands of probe.exe share: JSON text and the windows of another process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

std::string Quote(const char *text);
std::string Number(long long value);

std::string ClassName(HWND window);
// The text of a window of any process (read with WM_GETTEXT, with a time limit).
std::string WindowText(HWND window);

// The top-level windows of a process, optionally of one class only, the visible ones or
// all of them.
std::vector<HWND> TopLevelWindows(DWORD process, const char *className, bool visibleOnly = true);
