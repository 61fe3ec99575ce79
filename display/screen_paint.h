// The painting of the main screen, which stores the layout every other drawing uses.
#pragma once

#include <windows.h>

// Paints the whole screen when any of it needs painting; 1 when it painted, 0 (and
// nothing done) when nothing needed painting.
int PaintMainScreen(HWND window);

// The text at (x, y) in the device context's font and colours.
void TextAt(HDC dc, int x, int y, const char *text);
