// The button timing test: one channel per mouse button.
#pragma once

#include <windows.h>

enum ButtonId { BUTTON_LEFT, BUTTON_MIDDLE, BUTTON_RIGHT };

const DWORD HOLD_RESET_MS = 700;

void HandleButtonDown(HWND window, int button);
// x and y are the client position of the release (used by the left button only).
void HandleButtonUp(HWND window, int button, unsigned x, unsigned y);
