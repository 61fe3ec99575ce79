#include "display/button_panel.h"

#include <stdio.h>

#include "base/screen_geometry.h"
#include "base/test_state.h"
#include "display/screen_paint.h"

namespace {

const int ARROW_LENGTH = 16;
const int SPINNER_STEP = 25;
const int DIAGONAL_STEP = (2 * SPINNER_STEP) / 3;
const int STEP_BOX_HALF = 2;

struct Offset {
    int X, Y;
};

// Clockwise from straight up; screen y grows downward.
const Offset STEP_OFFSETS[8] = {
    {0, -SPINNER_STEP}, {DIAGONAL_STEP, -DIAGONAL_STEP},
    {SPINNER_STEP, 0},  {DIAGONAL_STEP, DIAGONAL_STEP},
    {0, SPINNER_STEP},  {-DIAGONAL_STEP, DIAGONAL_STEP},
    {-SPINNER_STEP, 0}, {-DIAGONAL_STEP, -DIAGONAL_STEP},
};

// Moves (x, y) one spinner step in the direction 0 (up) to 7, clockwise.
void StepOffset(int direction, int &x, int &y) {
    x += STEP_OFFSETS[direction].X;
    y += STEP_OFFSETS[direction].Y;
}

void DrawSpinnerLine(HDC dc, int centreX, int centreY, int direction, COLORREF color) {
    HPEN pen = CreatePen(PS_SOLID, 0, color);
    HBRUSH brush = CreateSolidBrush(color);
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, centreX, centreY, nullptr);
    int x = centreX, y = centreY;
    StepOffset(direction, x, y);
    LineTo(dc, x, y);
    RECT box;
    SetRect(&box, x - STEP_BOX_HALF, y - STEP_BOX_HALF, x + STEP_BOX_HALF, y + STEP_BOX_HALF);
    FillRect(dc, &box, brush);
    SelectObject(dc, previous);
    DeleteObject(pen);
    DeleteObject(brush);
}

// The arrow beside a panel caption, pointing up when up is nonzero; drawn with the
// device context's pen over a box of its background.
void DrawArrowMarker(HDC dc, int x, int bottom, int up) {
    const int head = ARROW_LENGTH / 4;
    HBRUSH brush = CreateSolidBrush(State.Layout.ScreenBackColor);
    RECT box;
    SetRect(&box, x - head, bottom - ARROW_LENGTH, x + head, bottom);
    FillRect(dc, &box, brush);
    DeleteObject(brush);

    MoveToEx(dc, x, bottom, nullptr);
    LineTo(dc, x, bottom - ARROW_LENGTH);
    int tipY = up ? bottom - ARROW_LENGTH : bottom;
    int headY = up ? bottom - ARROW_LENGTH + head : bottom - head;
    MoveToEx(dc, x, tipY, nullptr);
    LineTo(dc, x - head, headY);
    MoveToEx(dc, x, tipY, nullptr);
    LineTo(dc, x + head, headY);
}

} // namespace

void FormatInterval(char *text, size_t size, DWORD interval) {
    if (interval >= 1000) {
        snprintf(text, size, " ---  ");
    } else {
        snprintf(text, size, " %ld  ", (long)interval);
    }
}

void UpdateButtonPanel(HWND window, int button, int stepIndex, DWORD currentInterval,
                       DWORD leastInterval) {
    const ScreenLayout &layout = State.Layout;
    HDC dc = GetDC(window);
    HFONT font = CreateScreenFont(VALUE_FONT_FACE);
    HGDIOBJ previousFont = SelectObject(dc, font);
    PanelPlaces places = PressPlaces(button);
    if (!State.Calibrating) {
        MessageBeep(0xFFFFFFFF);
    }

    SetBkColor(dc, layout.ScreenBackColor);
    DrawArrowMarker(dc, places.ArrowX, places.ArrowBottom, 0);

    SetBkColor(dc, VALUE_BACK_COLOR);
    char text[32];
    FormatInterval(text, sizeof text, currentInterval);
    TextAt(dc, places.ValueX, places.CurrentY, text);
    FormatInterval(text, sizeof text, leastInterval);
    TextAt(dc, places.ValueX, places.LeastY, text);

    int previousDirection = stepIndex == 0 ? 7 : stepIndex - 1;
    DrawSpinnerLine(dc, places.SpinnerX, places.SpinnerY, previousDirection,
                    layout.ScreenBackColor);
    DrawSpinnerLine(dc, places.SpinnerX, places.SpinnerY, stepIndex, FRAME_COLOR);

    SelectObject(dc, previousFont);
    DeleteObject(font);
    ReleaseDC(window, dc);
}

void DrawReleaseArrow(HWND window, int button) {
    HDC dc = GetDC(window);
    SetBkColor(dc, State.Layout.ScreenBackColor);
    POINT bottom = ReleaseArrowPlace(button);
    DrawArrowMarker(dc, bottom.x, bottom.y, 1);
    ReleaseDC(window, dc);
}
