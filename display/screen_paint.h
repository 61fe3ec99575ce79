// The painting of the main screen and the geometry every other drawing uses.
#pragma once

#include <windows.h>

#define SCREEN_FONT_FACE "Arial"
#define VALUE_FONT_FACE "MS Serif"

const COLORREF SCREEN_BACK_WANTED = RGB(0, 160, 160);
const COLORREF FRAME_COLOR = RGB(255, 255, 0);
const COLORREF VALUE_BACK_COLOR = RGB(192, 192, 192);

// The 18-pixel font of the main screen in the given face.
HFONT CreateScreenFont(const char *face);

// Paints the whole screen when any of it needs painting, then makes the after-paint
// checks; does nothing when nothing needs painting.
void PaintMainScreen(HWND window);

// The yellow frame of one band of the screen, with the two column dividers when asked.
void DrawFrame(HDC dc, int top, int bottom, int withDividers);

// Recomputes the layout from the client size and rectangle.
void ComputeScreenLayout(const RECT &client);
