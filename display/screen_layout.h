// Geometry and colours of the main screen, recomputed at every paint.
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
