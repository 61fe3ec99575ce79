#include "display/screen_paint.h"

#include <stdio.h>
#include <string.h>

#include "base/maker_lines.h"
#include "base/test_state.h"
#include "base/version_lookup.h"
#include "display/fractions.h"
#include "display/movement_row.h"
#include "resources/resource.h"

namespace {

const int ROWS = 27;
const int FRAME_PEN_WIDTH = 5;
const int ICON_SIZE = 32;

// Centred at rows 2 to 7; entry 0 is formatted with the version text.
const char *const TitleLines[6] = {
    "Version %s", "", "Mouse              Tester", "", MAKER_NOTICE_LINE, "",
};

int TextWidth(HDC dc, const char *text) {
    SIZE size = {0, 0};
    GetTextExtentPointA(dc, text, (int)strlen(text), &size);
    return size.cx;
}

// The line along the bottom of the menu bar, in the menu bar's own colour.
void DrawMenuBarLine(HWND window) {
    const ScreenLayout &layout = State.Layout;
    HDC dc = GetWindowDC(window);
    int y = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU);
    int border = GetSystemMetrics(SM_CXBORDER);
    HPEN pen = CreatePen(PS_SOLID, 1, GetPixel(dc, layout.ClientWidth / 2, y - 1));
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, border, y, nullptr);
    LineTo(dc, layout.ClientWidth - border, y);
    SelectObject(dc, previous);
    DeleteObject(pen);
    ReleaseDC(window, dc);
}

void FillBackground(HDC dc) {
    const ScreenLayout &layout = State.Layout;
    HBRUSH brush = CreateSolidBrush(layout.ScreenBackColor);
    RECT all;
    SetRect(&all, 0, 0, layout.ClientWidth, layout.ClientHeight);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
}

void DrawTitleLines(HDC dc) {
    const ScreenLayout &layout = State.Layout;
    for (int i = 0; i < 6; ++i) {
        // Only the version line is a format; the others are drawn as they stand.
        const char *line = TitleLines[i];
        char versionLine[128];
        if (i == 0) {
            snprintf(versionLine, sizeof versionLine, TitleLines[0], VersionText);
            line = versionLine;
        }
        if (line[0] == '\0') {
            continue;
        }
        TextAt(dc, (layout.TextAreaWidth - TextWidth(dc, line)) / 2, (i + 2) * layout.RowUnit,
               line);
    }
}

void DrawPanelLabels(HDC dc) {
    const ScreenLayout &layout = State.Layout;
    int area = layout.TextAreaWidth;
    int column = layout.MiddlePanelX;
    int currentY = layout.PanelTop + 2 * layout.RowUnit;
    int leastY = layout.PanelTop + TruncatedProduct(3.15, layout.RowUnit);
    const int panelLefts[3] = {0, column, layout.RightPanelX};

    TextAt(dc, (area / 3 - TextWidth(dc, "Left Button")) / 2, layout.PanelTop, "Left Button");
    for (int panel = 0; panel < 3; ++panel) {
        if (panel == 1) {
            TextAt(dc, area / 2 - TextWidth(dc, "Middle Button") / 2, layout.PanelTop,
                   "Middle Button");
        } else if (panel == 2) {
            TextAt(dc, (2 * area) / 3 + (area / 3 - TextWidth(dc, "Right Button")) / 2,
                   layout.PanelTop, "Right Button");
        }
        int middle = column / 2 + panelLefts[panel];
        TextAt(dc, middle - TextWidth(dc, "Current: "), currentY, "Current: ");
        TextAt(dc, middle - TextWidth(dc, "Least: "), leastY, "Least: ");
    }
}

void DrawProgramIcon(HDC dc) {
    ScreenLayout &layout = State.Layout;
    int previousMode = SetMapMode(dc, MM_TEXT);
    int left = layout.TextAreaWidth / 2 - ICON_SIZE / 2;
    int top = 4 * layout.RowUnit - 8;
    SetRect(&layout.IconRect, left, top, left + ICON_SIZE, top + ICON_SIZE);
    HICON icon = LoadIconA(State.Instance, MAKEINTRESOURCEA(ICON_PROGRAM));
    DrawIcon(dc, left, top, icon);
    DestroyIcon(icon);
    SetMapMode(dc, previousMode);
}

void DrawMovementLabels(HWND window, HDC dc) {
    ScreenLayout &layout = State.Layout;
    int column = layout.MiddlePanelX;
    int y = layout.MovementTop + 2 * layout.RowUnit;
    TextAt(dc, (layout.TextAreaWidth / 3) / 2 - TextWidth(dc, "Position: "), y, "Position: ");
    int changeX = column / 2 + column - TextWidth(dc, "Change: ");
    TextAt(dc, changeX, y, "Change: ");
    layout.BarOriginX = changeX - layout.ClientWidth / 60;
    DrawMovementBars(window, layout.BarOriginX, layout.MovementTop + 5 * layout.RowUnit - 10, 0, 0,
                     BARS_OUTLINE);
    TextAt(dc, column / 2 + layout.RightPanelX - TextWidth(dc, "Most Change: "), y,
           "Most Change: ");
}

// The yellow frame of one band of the screen, with the two column dividers when asked.
void DrawFrame(HDC dc, int top, int bottom, int withDividers) {
    int width = State.Layout.ClientWidth;
    HPEN pen = CreatePen(PS_INSIDEFRAME, FRAME_PEN_WIDTH, FRAME_COLOR);
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, 2, top, nullptr);
    LineTo(dc, width - 3, top);
    LineTo(dc, width - 3, bottom);
    LineTo(dc, 2, bottom);
    LineTo(dc, 2, top);
    if (withDividers == 1) {
        MoveToEx(dc, width / 3, top, nullptr);
        LineTo(dc, width / 3, bottom);
        MoveToEx(dc, (2 * width) / 3, top, nullptr);
        LineTo(dc, (2 * width) / 3, bottom);
    }
    SelectObject(dc, previous);
    DeleteObject(pen);
}

} // namespace

void TextAt(HDC dc, int x, int y, const char *text) {
    TextOutA(dc, x, y, text, (int)strlen(text));
}

void ComputeScreenLayout(const RECT &client) {
    ScreenLayout &layout = State.Layout;
    int unit = layout.ClientHeight / ROWS;
    layout.RowUnit = unit;
    layout.TextAreaWidth = client.right - client.left + 1;
    layout.PanelTop = 15 * unit;
    layout.PanelBottom = layout.PanelTop + 10 * unit;
    layout.LeftPanelX = 0;
    layout.MiddlePanelX = layout.ClientWidth / 3;
    layout.RightPanelX = (2 * layout.ClientWidth) / 3;
    layout.MovementTop = TruncatedSum(layout.PanelTop - 5 * unit, -0.5, unit);
    layout.PanelFrameTop = TruncatedSum(layout.PanelTop, -0.5, unit);
}

int PaintMainScreen(HWND window) {
    if (!GetUpdateRect(window, nullptr, FALSE)) {
        return 0;
    }
    DrawMenuBarLine(window);

    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    ScreenLayout &layout = State.Layout;
    layout.ScreenBackColor = GetNearestColor(dc, SCREEN_BACK_WANTED);
    layout.ScreenTextColor = GetNearestColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, layout.ScreenBackColor);
    SetTextColor(dc, layout.ScreenTextColor);
    HFONT font = CreateScreenFont(SCREEN_FONT_FACE);
    HGDIOBJ previousFont = SelectObject(dc, font);

    FillBackground(dc);
    RECT client;
    GetClientRect(window, &client);
    ComputeScreenLayout(client);

    DrawTitleLines(dc);
    DrawPanelLabels(dc);
    DrawProgramIcon(dc);
    DrawFrame(dc, layout.PanelFrameTop, layout.PanelBottom, 1);
    DrawFrame(dc, layout.MovementTop, layout.PanelFrameTop, 0);
    DrawMovementLabels(window, dc);

    SelectObject(dc, previousFont);
    DeleteObject(font);
    EndPaint(window, &paint);
    return 1;
}
