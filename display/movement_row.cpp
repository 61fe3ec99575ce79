#include "display/movement_row.h"

#include <stdio.h>

#include "base/screen_geometry.h"
#include "base/test_state.h"

namespace {

int BarLengthV; // the bars as last drawn, 0 after every paint
int BarLengthH;

const int BAR_PEN_WIDTH = 5;
const int OUTLINE_PEN_WIDTH = 7;
const int BAR_PIXELS_PER_CHANGE = 5;

int Smaller(int a, int b) {
    return a < b ? a : b;
}

struct BarPens {
    HPEN Green, Red, Background, Black;
};

// Each bar is drawn on from the corner in the direction (dx, dy); the current point ends
// at its new end, where the clearing of a longer former bar (drawn) goes on.
void DrawBar(HDC dc, const BarPens &pens, int x, int y, int dx, int dy, int length, int &drawn) {
    SelectObject(dc, pens.Green);
    MoveToEx(dc, x, y, nullptr);
    int green = Smaller(length, GREEN_LENGTH);
    LineTo(dc, x + dx * green, y + dy * green);
    if (length > GREEN_LENGTH) {
        SelectObject(dc, pens.Red);
        LineTo(dc, x + dx * length, y + dy * length);
    }
    if (drawn > length) {
        SelectObject(dc, pens.Background);
        LineTo(dc, x + dx * drawn, y + dy * drawn);
    }
    drawn = length;
}

// The empty channels: a black line beside each channel, covered along the channel by
// background, so a thin black edge stays right of and below the channels.
void DrawOutline(HDC dc, const BarPens &pens, int x, int y, int most) {
    SelectObject(dc, pens.Black);
    MoveToEx(dc, x + 1, y, nullptr);
    LineTo(dc, x + 1, y - Smaller(most, GREEN_LENGTH));
    if (most > GREEN_LENGTH) {
        LineTo(dc, x + 1, y - most);
    }
    SelectObject(dc, pens.Background);
    MoveToEx(dc, x, y - most, nullptr);
    LineTo(dc, x, y);

    SelectObject(dc, pens.Black);
    MoveToEx(dc, x + 1, y + 1, nullptr);
    LineTo(dc, x + 1 + Smaller(most + 1, GREEN_LENGTH), y + 1);
    if (most + 1 > GREEN_LENGTH) {
        LineTo(dc, x + most + 2, y + 1);
    }
    SelectObject(dc, pens.Background);
    MoveToEx(dc, x + 1 + most, y, nullptr);
    LineTo(dc, x + 1, y);

    BarLengthV = 0;
    BarLengthH = 0;
}

} // namespace

int FormatValuePair(char *text, size_t size, int first, int second) {
    if (size == 0) {
        return 0;
    }
    int length = snprintf(text, size, " %4d, %4d  ", first, second);
    if (length < 0) {
        text[0] = '\0';
        return 0;
    }
    size_t used = (size_t)length < size ? (size_t)length : size - 1;
    int blanks = (first < 100 ? 1 : 0) + (second < 100 ? 1 : 0);
    for (; blanks > 0 && used + 1 < size; --blanks) {
        text[used++] = ' ';
    }
    text[used] = '\0';
    return (int)used;
}

void DrawValuePair(HWND window, MovementCell cell, int first, int second) {
    HDC dc = GetDC(window);
    HFONT font = CreateScreenFont(VALUE_FONT_FACE);
    HGDIOBJ previousFont = SelectObject(dc, font);
    SetBkColor(dc, VALUE_BACK_COLOR);

    char text[VALUE_PAIR_TEXT_SIZE];
    int length = FormatValuePair(text, sizeof text, first, second);
    TextOutA(dc, MovementValueX(cell), MovementRowY(), text, length);

    SelectObject(dc, previousFont);
    DeleteObject(font);
    ReleaseDC(window, dc);
}

void DrawMovementBars(HWND window, int changeX, int changeY, int mode) {
    int most = BarMaximum();
    POINT corner = BarCorner();
    int x = corner.x, y = corner.y;
    HDC dc = GetDC(window);
    BarPens pens;
    pens.Green = CreatePen(PS_SOLID, BAR_PEN_WIDTH, RGB(0, 255, 0));
    pens.Red = CreatePen(PS_SOLID, BAR_PEN_WIDTH, RGB(255, 0, 0));
    pens.Background = CreatePen(PS_SOLID, BAR_PEN_WIDTH, State.Layout.ScreenBackColor);
    pens.Black = CreatePen(PS_SOLID, OUTLINE_PEN_WIDTH, RGB(0, 0, 0));
    HGDIOBJ previousPen = SelectObject(dc, pens.Green);

    if (mode == BARS_LIVE) {
        DrawBar(dc, pens, x, y, 0, -1, Smaller(BAR_PIXELS_PER_CHANGE * changeY, most), BarLengthV);
        DrawBar(dc, pens, x, y, 1, 0, Smaller(BAR_PIXELS_PER_CHANGE * changeX, most), BarLengthH);
    } else {
        DrawOutline(dc, pens, x, y, most);
    }

    SelectObject(dc, previousPen);
    DeleteObject(pens.Green);
    DeleteObject(pens.Red);
    DeleteObject(pens.Background);
    DeleteObject(pens.Black);
    ReleaseDC(window, dc);
}
