// The movement test: position, change and most change of the pointer.
#pragma once

#include <windows.h>

void HandleMouseMove(HWND window, LPARAM lParam);

// The reset of the movement values; the last position stays.
void ResetMovementValues();
