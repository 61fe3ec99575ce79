// The button timing test: one channel per mouse button.
#pragma once

#include <windows.h>

#include "engine/test_state.h"

const DWORD HOLD_RESET_MS = 700;

// A press or release of any button: the handling of its channel. Returns false for a
// message that is no button's.
bool HandleButtonMessage(HWND window, UINT message, LPARAM lParam);

void HandleButtonDown(HWND window, int button);
// x and y are the client position of the release (used by the left button only).
void HandleButtonUp(HWND window, int button, unsigned x, unsigned y);
