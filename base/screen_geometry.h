// Where everything stands on the main screen, worked out in one place.
//
// The screen is 27 rows of one row unit (ClientHeight / 27) high and three columns
// (ClientWidth / 3) wide. The paint works the layout out afresh and stores it in
// State.Layout; every drawing between paints stands where the last paint put the screen,
// except what is said to be worked out afresh from the client size: a press's panel, the
// bars' maximum and the movement values' columns. So after a size change the values keep
// to the picture on the screen until the next paint.
#pragma once

#include <windows.h>

#include "base/test_state.h"

// The paint's layout from the client size and rectangle: row unit, text area, panel and
// movement rows, panel columns.
void ComputeScreenLayout(const RECT &client);

// ClientHeight / 27 into RowUnit, as the middle button's release does before its arrow.
void RecomputeRowUnit();

// ---- The paint's picture (from the paint's layout) ---------------------------------
// The whole client area, filled with the background.
RECT ScreenRect();

// The line along the bottom of the menu bar, in the window's own coordinates (origin at
// its top-left corner): from (Left, Y) to (Right, Y), in the colour found at
// (SampleX, Y - 1).
struct MenuBarLine {
    int Left, Right, Y, SampleX;
};
MenuBarLine MenuBarLineOf();

// A title line of the given width, centred on the text area; line 0 to 5 stands at row
// line + 2.
int TitleX(int textWidth);
int TitleY(int line);
// A panel's caption of the given width, centred in its third of the text area.
int CaptionX(int button, int textWidth);

enum PanelRow { ROW_CURRENT, ROW_LEAST };
// The y of a panel row, given the row unit it is worked out with.
int PanelRowY(PanelRow row, int unit);
// Where a panel's labels end and its values start (the middle of the panel).
int PanelLabelEndX(int button);

enum MovementCell { CELL_POSITION, CELL_CHANGE, CELL_MOST_CHANGE };
int MovementRowY();
int MovementLabelEndX(MovementCell cell);
// The bars' corner, left of the "Change: " label that starts at changeLabelX.
int BarOriginOf(int changeLabelX);

// The right edge of the frames, and the left edge of column 1 or 2.
int FrameRightX();
int ColumnEdgeX(int column);

// The program icon, 32 pixels square, its top 8 pixels above title row 4.
RECT IconRectOf();

// ---- Between paints ------------------------------------------------------------------
// A button's panel, from the last paint's columns: its left edge and its rectangle.
int PanelLeft(int button);
RECT PanelRect(int button);

// What a press draws in its panel, with the row unit and column worked out afresh.
struct PanelPlaces {
    int ArrowX, ArrowBottom;
    int ValueX, CurrentY, LeastY;
    int SpinnerX, SpinnerY;
};
PanelPlaces PressPlaces(int button);

// The bottom of a release's up arrow, from the last paint's column and row unit.
POINT ReleaseArrowPlace(int button);

// A movement value's left edge; its column is worked out afresh from the client width.
int MovementValueX(MovementCell cell);
// Where the two bars start, from the last paint's bar origin and row unit.
POINT BarCorner();
// The longest bar, in pixels, from the client height.
int BarMaximum();
