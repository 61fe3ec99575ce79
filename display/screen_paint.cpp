#include "display/screen_paint.h"

#include <stdio.h>
#include <string.h>

#include "base/maker_lines.h"
#include "base/screen_geometry.h"
#include "base/test_state.h"
#include "base/version_lookup.h"
#include "display/movement_row.h"
#include "resources/resource.h"

namespace {

const int FRAME_PEN_WIDTH = 5;

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
    MenuBarLine line = MenuBarLineOf();
    HDC dc = GetWindowDC(window);
    HPEN pen = CreatePen(PS_SOLID, 1, GetPixel(dc, line.SampleX, line.Y - 1));
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, line.Left, line.Y, nullptr);
    LineTo(dc, line.Right, line.Y);
    SelectObject(dc, previous);
    DeleteObject(pen);
    ReleaseDC(window, dc);
}

void FillBackground(HDC dc) {
    HBRUSH brush = CreateSolidBrush(State.Layout.ScreenBackColor);
    RECT all = ScreenRect();
    FillRect(dc, &all, brush);
    DeleteObject(brush);
}

void DrawTitleLines(HDC dc) {
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
        TextAt(dc, TitleX(TextWidth(dc, line)), TitleY(i), line);
    }
}

// Each panel's caption, then its labels, which end where its values start.
void DrawPanelLabels(HDC dc) {
    static const char *const captions[BUTTON_COUNT] = {"Left Button", "Middle Button",
                                                       "Right Button"};
    int unit = State.Layout.RowUnit;
    for (int button = 0; button < BUTTON_COUNT; ++button) {
        const char *caption = captions[button];
        TextAt(dc, CaptionX(button, TextWidth(dc, caption)), State.Layout.PanelTop, caption);
        int end = PanelLabelEndX(button);
        TextAt(dc, end - TextWidth(dc, "Current: "), PanelRowY(ROW_CURRENT, unit), "Current: ");
        TextAt(dc, end - TextWidth(dc, "Least: "), PanelRowY(ROW_LEAST, unit), "Least: ");
    }
}

void DrawProgramIcon(HDC dc) {
    int previousMode = SetMapMode(dc, MM_TEXT);
    State.Layout.IconRect = IconRectOf();
    HICON icon = LoadIconA(State.Instance, MAKEINTRESOURCEA(ICON_PROGRAM));
    DrawIcon(dc, State.Layout.IconRect.left, State.Layout.IconRect.top, icon);
    DestroyIcon(icon);
    SetMapMode(dc, previousMode);
}

void DrawMovementLabels(HWND window, HDC dc) {
    int y = MovementRowY();
    TextAt(dc, MovementLabelEndX(CELL_POSITION) - TextWidth(dc, "Position: "), y, "Position: ");
    int changeX = MovementLabelEndX(CELL_CHANGE) - TextWidth(dc, "Change: ");
    TextAt(dc, changeX, y, "Change: ");
    State.Layout.BarOriginX = BarOriginOf(changeX);
    DrawMovementBars(window, 0, 0, BARS_OUTLINE);
    TextAt(dc, MovementLabelEndX(CELL_MOST_CHANGE) - TextWidth(dc, "Most Change: "), y,
           "Most Change: ");
}

// The yellow frame of one band of the screen, with the two column dividers when asked.
void DrawFrame(HDC dc, int top, int bottom, int withDividers) {
    int right = FrameRightX();
    HPEN pen = CreatePen(PS_INSIDEFRAME, FRAME_PEN_WIDTH, FRAME_COLOR);
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, 2, top, nullptr);
    LineTo(dc, right, top);
    LineTo(dc, right, bottom);
    LineTo(dc, 2, bottom);
    LineTo(dc, 2, top);
    if (withDividers == 1) {
        for (int column = 1; column <= 2; ++column) {
            MoveToEx(dc, ColumnEdgeX(column), top, nullptr);
            LineTo(dc, ColumnEdgeX(column), bottom);
        }
    }
    SelectObject(dc, previous);
    DeleteObject(pen);
}

} // namespace

void TextAt(HDC dc, int x, int y, const char *text) {
    TextOutA(dc, x, y, text, (int)strlen(text));
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
