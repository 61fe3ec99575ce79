// Geometry, colours and fonts of the main screen; the geometry is recomputed at every paint.
#pragma once

#include <windows.h>

struct ScreenLayout {
    int ClientWidth;
    int ClientHeight;
    int RowUnit;       // ClientHeight / 27
    int TextAreaWidth; // client width + 1, used to centre texts
    int PanelTop;      // 15 row units: the captions of the button panels
    int PanelBottom;   // 25 row units: bottom edge of the panel frame
    int LeftPanelX;
    int MiddlePanelX; // also the width of one column
    int RightPanelX;
    int MovementTop;   // 9.5 row units, truncated
    int PanelFrameTop; // 14.5 row units, truncated
    RECT IconRect;     // the program icon on the screen
    int BarOriginX;    // corner where the two movement bars start
    COLORREF ScreenBackColor;
    COLORREF ScreenTextColor;
};

#define SCREEN_FONT_FACE "Arial"
#define VALUE_FONT_FACE "MS Serif"

const COLORREF SCREEN_BACK_WANTED = RGB(0, 160, 160);
const COLORREF FRAME_COLOR = RGB(255, 255, 0);
const COLORREF VALUE_BACK_COLOR = RGB(192, 192, 192);

// The 18-pixel font of the main screen in the given face.
inline HFONT CreateScreenFont(const char *face) {
    return CreateFontA(-18, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, face);
}
