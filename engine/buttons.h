// The button timing test: one channel per mouse button.
#pragma once

#include <windows.h>

// A press or release of any button: the handling of its channel. Returns false for a
// message that is no button's.
bool HandleButtonMessage(HWND window, UINT message, LPARAM lParam);
