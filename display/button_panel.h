// The live indicators of a button panel: arrow, current and least values, spinner.
#pragma once

#include <windows.h>

const int ARROW_LENGTH = 16;
const int SPINNER_STEP = 25;

// At every button-down: beep (not while calibrating), down arrow, values, spinner.
void UpdateButtonPanel(HWND window, int panelLeft, int panelTop, int stepIndex,
                       DWORD currentInterval, DWORD leastInterval);

// The arrow beside a panel caption, pointing up when up is nonzero; drawn with the
// device context's pen over a box of its background.
void DrawArrowMarker(HDC dc, int x, int bottom, int up);

// Moves (x, y) one spinner step in the direction 0 (up) to 7, clockwise.
void StepOffset(int direction, int &x, int &y);

// The text of one interval: " ---  " from 1000 ms on.
void FormatInterval(char *text, size_t size, DWORD interval);
