// The live indicators of a button panel: arrows, current and least values, spinner.
#pragma once

#include <windows.h>

// At every button-down: beep (not while calibrating), down arrow, values, spinner.
void UpdateButtonPanel(HWND window, int button, int stepIndex, DWORD currentInterval,
                       DWORD leastInterval);

// At every button-up: the arrow of the panel pointing up.
void DrawReleaseArrow(HWND window, int button);

// The text of one interval: " ---  " from 1000 ms on.
void FormatInterval(char *text, size_t size, DWORD interval);
