// Graphics of the headless platform: device contexts and their clipping, the line
// rasteriser, text in the built-in face, icons, live object counts and the drawing log.
#include <gtest/gtest.h>

#include "probe_window.h"

#include <cstdio>
#include <fstream>

using headless::Pixel;

namespace {

const COLORREF RED = RGB(255, 0, 0);
const COLORREF BLUE = RGB(0, 0, 255);
const COLORREF WHITE = RGB(255, 255, 255);

HWND Painted() {
    HWND window = probe::Start();
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window); // erased white by the class brush
    return window;
}

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    RECT rect{left, top, right, bottom};
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, int style, int width, COLORREF color) {
    HPEN pen = CreatePen(style, width, color);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

} // namespace

TEST(HeadlessGdi, APaintDrawsOnlyIntoTheInvalidArea) {
    HWND window = Painted();
    RECT first{10, 10, 20, 20}, second{50, 10, 60, 20};
    InvalidateRect(window, &first, FALSE);
    InvalidateRect(window, &second, FALSE);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    EXPECT_EQ(paint.rcPaint.left, 10);
    EXPECT_EQ(paint.rcPaint.right, 60);
    EXPECT_FALSE(paint.fErase);
    Fill(dc, 0, 0, 392, 273, RED);
    EXPECT_EQ(GetPixel(dc, 30, 15), CLR_INVALID); // between the two: outside the clip
    EndPaint(window, &paint);
    EXPECT_EQ(Pixel(window, 10, 10), RED);
    EXPECT_EQ(Pixel(window, 19, 19), RED);
    EXPECT_EQ(Pixel(window, 20, 19), WHITE);
    EXPECT_EQ(Pixel(window, 30, 15), WHITE);
    EXPECT_EQ(Pixel(window, 55, 15), RED);
    EXPECT_EQ(Pixel(window, 9, 10), WHITE);

    // GetDC draws into the whole client area and not beyond it.
    dc = GetDC(window);
    Fill(dc, -10, -10, 1000, 1000, BLUE);
    ReleaseDC(window, dc);
    EXPECT_EQ(Pixel(window, 0, 0), BLUE);
    EXPECT_EQ(Pixel(window, 391, 272), BLUE);
    EXPECT_EQ(Pixel(window, -1, 0), headless::WindowFrameColor);
    EXPECT_EQ(Pixel(window, 0, -1), headless::CaptionColor);

    // GetWindowDC has the window's corner as origin and reaches the frame.
    dc = GetWindowDC(window);
    EXPECT_EQ(GetPixel(dc, 4, 23), BLUE);
    EXPECT_EQ(GetPixel(dc, 0, 0), headless::WindowFrameColor);
    ReleaseDC(window, dc);
    EXPECT_EQ(headless::LiveDCs(), 0);
}

TEST(HeadlessGdi, TheMenuBarHasItsKnownColour) {
    HWND window = probe::Start("PROBEMENU");
    ShowWindow(window, SW_SHOWNORMAL);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.bottom, 300 - 4 - 19 - 19 - 4);
    HDC dc = GetWindowDC(window);
    // The row the program reads: caption + menu - 1, far right of the menu texts.
    EXPECT_EQ(GetPixel(dc, 300, 19 + 19 - 1), headless::MenuBarColor);
    EXPECT_EQ(GetPixel(dc, 300, 4 + 19), headless::MenuBarColor);
    EXPECT_EQ(GetPixel(dc, 300, 4 + 18), headless::CaptionColor);
    ReleaseDC(window, dc);
}

TEST(HeadlessGdi, LinesLeaveOutTheirLastPointAndWidePensAreCentred) {
    HWND window = Painted();
    HDC dc = GetDC(window);
    Line(dc, 10, 10, 20, 10, PS_SOLID, 1, RED);
    EXPECT_EQ(Pixel(window, 10, 10), RED);
    EXPECT_EQ(Pixel(window, 19, 10), RED);
    EXPECT_EQ(Pixel(window, 20, 10), WHITE);
    EXPECT_EQ(Pixel(window, 15, 11), WHITE);

    Line(dc, 10, 30, 10, 40, PS_SOLID, 0, RED); // width 0 draws one pixel wide
    EXPECT_EQ(Pixel(window, 10, 39), RED);
    EXPECT_EQ(Pixel(window, 11, 35), WHITE);
    EXPECT_EQ(Pixel(window, 10, 40), WHITE);

    // Five wide: two pixels on each side of the line, also around its start.
    Line(dc, 100, 100, 150, 100, PS_INSIDEFRAME, 5, BLUE);
    EXPECT_EQ(Pixel(window, 120, 98), BLUE);
    EXPECT_EQ(Pixel(window, 120, 102), BLUE);
    EXPECT_EQ(Pixel(window, 120, 97), WHITE);
    EXPECT_EQ(Pixel(window, 120, 103), WHITE);
    EXPECT_EQ(Pixel(window, 98, 100), BLUE);
    EXPECT_EQ(Pixel(window, 97, 100), WHITE);
    EXPECT_EQ(Pixel(window, 151, 100), BLUE); // the pen around x = 149
    EXPECT_EQ(Pixel(window, 152, 100), WHITE);
    // Drawn upwards: the pen around every point from the start to just short of the end.
    Line(dc, 60, 80, 60, 60, PS_SOLID, 5, BLUE);
    EXPECT_EQ(Pixel(window, 60, 82), BLUE);
    EXPECT_EQ(Pixel(window, 60, 83), WHITE);
    EXPECT_EQ(Pixel(window, 60, 59), BLUE); // the pen around y = 61
    EXPECT_EQ(Pixel(window, 60, 58), WHITE);
    EXPECT_EQ(Pixel(window, 62, 70), BLUE);
    EXPECT_EQ(Pixel(window, 63, 70), WHITE);

    // A diagonal steps one pixel in each direction per point.
    Line(dc, 200, 200, 205, 205, PS_SOLID, 1, RED);
    EXPECT_EQ(Pixel(window, 203, 203), RED);
    EXPECT_EQ(Pixel(window, 204, 203), WHITE);
    EXPECT_EQ(Pixel(window, 205, 205), WHITE);
    ReleaseDC(window, dc);

    const std::vector<headless::DrawCall> &log = headless::DrawLog();
    ASSERT_GE(log.size(), 8u);
    const headless::DrawCall &wide = log[5];
    EXPECT_EQ(wide.Name, "LineTo");
    EXPECT_EQ(wide.X1, 100);
    EXPECT_EQ(wide.X2, 150);
    EXPECT_EQ(wide.PenWidth, 5);
    EXPECT_EQ(wide.PenStyle, PS_INSIDEFRAME);
    EXPECT_EQ(wide.PenColor, BLUE);
    EXPECT_FALSE(wide.PaintDC);
    EXPECT_EQ(wide.Window, window);
}

TEST(HeadlessGdi, TextUsesTheBuiltInFaceOnAnOpaqueBackground) {
    HWND window = Painted();
    HDC dc = GetDC(window);
    SIZE size;
    GetTextExtentPointA(dc, "Hello", 5, &size);
    EXPECT_EQ(size.cx, 40);
    EXPECT_EQ(size.cy, 16);
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    EXPECT_EQ(metrics.tmHeight + metrics.tmExternalLeading, 16);

    HFONT font = CreateFontA(-18, 0, 0, 0, 0, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    HGDIOBJ old = SelectObject(dc, font);
    GetTextExtentPointA(dc, "Hello", 5, &size);
    EXPECT_EQ(size.cx, 45);
    EXPECT_EQ(size.cy, 18);
    EXPECT_EQ(headless::TextWidth("Hello", -18), 45);

    SetBkColor(dc, BLUE);
    SetTextColor(dc, RED);
    TextOutA(dc, 10, 10, "I I", 3);
    // The opaque box covers the extent; the glyphs are in the text colour; the blank
    // between them draws no glyph pixel.
    int red = 0, blue = 0, other = 0;
    for (int y = 10; y < 28; ++y) {
        for (int x = 10; x < 37; ++x) {
            COLORREF color = Pixel(window, x, y);
            red += color == RED;
            blue += color == BLUE;
            other += color != RED && color != BLUE;
        }
        EXPECT_EQ(Pixel(window, 22, y), BLUE); // inside the blank
    }
    EXPECT_GT(red, 20);
    EXPECT_GT(blue, red);
    EXPECT_EQ(other, 0);
    EXPECT_EQ(Pixel(window, 37, 10), WHITE);

    TextOutA(dc, 10, 50, "I", 1);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(window, dc);

    const headless::DrawCall &call = headless::DrawLog().back();
    EXPECT_EQ(call.Name, "TextOutA");
    EXPECT_EQ(call.Text, "I");
    EXPECT_EQ(call.FontFace, "Arial");
    EXPECT_EQ(call.FontHeight, 18);
    EXPECT_EQ(call.TextColor, RED);
    EXPECT_EQ(call.X2, 19);
}

TEST(HeadlessGdi, ObjectsAreCountedUntilDeletedAndSelectedOnesAreRefused) {
    HWND window = Painted();
    int base = headless::LiveGdiObjects();
    HDC dc = GetDC(window);
    HGDIOBJ stock = GetStockObject(BLACK_PEN);
    EXPECT_EQ(headless::LiveGdiObjects(), base); // stock objects are not counted
    EXPECT_TRUE(DeleteObject(stock));
    HPEN pen = CreatePen(PS_SOLID, 1, RED);
    HBRUSH brush = CreateSolidBrush(RED);
    EXPECT_EQ(headless::LiveGdiObjects(), base + 2);
    EXPECT_EQ(SelectObject(dc, pen), stock);
    EXPECT_FALSE(DeleteObject(pen)); // still selected
    EXPECT_EQ(headless::SelectedObjectsDeleted(), 1);
    EXPECT_EQ(headless::LiveGdiObjects(), base + 2);
    SelectObject(dc, stock);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(headless::LiveGdiObjects(), base);
    EXPECT_EQ(headless::LiveDCs(), 1);
    EXPECT_EQ(ReleaseDC(window, dc), 1);
    EXPECT_EQ(ReleaseDC(window, dc), 0);
    EXPECT_EQ(headless::LiveDCs(), 0);

    // The icon of the test resources, drawn with its transparency mask.
    HICON icon = LoadIconA(headless::ProgramInstance(), MAKEINTRESOURCEA(7));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(headless::LiveGdiObjects(), base + 1);
    EXPECT_EQ(LoadIconA(headless::ProgramInstance(), MAKEINTRESOURCEA(8)), nullptr);
    dc = GetDC(window);
    Fill(dc, 0, 0, 100, 100, BLUE);
    DrawIcon(dc, 10, 10, icon);
    ReleaseDC(window, dc);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_EQ(headless::LiveGdiObjects(), base);
    int kept = 0, drawn = 0;
    for (int y = 10; y < 42; ++y) {
        for (int x = 10; x < 42; ++x) {
            (Pixel(window, x, y) == BLUE ? kept : drawn)++;
        }
    }
    EXPECT_GT(kept, 0);
    EXPECT_GT(drawn, 100);
    EXPECT_EQ(Pixel(window, 42, 42), BLUE);
    EXPECT_EQ(headless::DrawLog().back().Name, "DrawIcon");
    EXPECT_EQ(headless::DrawLog().back().X2, 42);
}

// Objects held by several device contexts at once, one replacing another, and device
// contexts released while they still hold them.
TEST(HeadlessGdi, AnObjectIsRefusedWhileAnyDeviceContextHoldsIt) {
    HWND window = Painted();
    HDC first = GetDC(window), second = GetDC(window);
    HPEN pen = CreatePen(PS_SOLID, 1, RED), otherPen = CreatePen(PS_SOLID, 1, BLUE);
    HBRUSH brush = CreateSolidBrush(RED);
    HFONT font = CreateFontA(-18, 0, 0, 0, 0, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    SelectObject(first, pen);
    SelectObject(first, pen); // held once still
    SelectObject(first, otherPen);
    SelectObject(second, brush);
    SelectObject(second, font);
    SelectObject(first, font);
    SelectObject(second, GetStockObject(SYSTEM_FONT));
    ReleaseDC(window, first); // with the other pen and the font in it

    const struct {
        HGDIOBJ Object;
        BOOL Deleted;
    } deletions[] = {
        {pen, TRUE},      // replaced by the other pen
        {brush, FALSE},   // in the second
        {otherPen, TRUE}, // in the first, released
        {font, TRUE},     // in the first, released, and replaced in the second
    };
    for (const auto &deletion : deletions) {
        EXPECT_EQ(DeleteObject(deletion.Object), deletion.Deleted) << deletion.Object;
    }
    EXPECT_EQ(headless::SelectedObjectsDeleted(), 1);
    SelectObject(second, GetStockObject(WHITE_BRUSH));
    EXPECT_TRUE(DeleteObject(brush));
    ReleaseDC(window, second);
}

TEST(HeadlessGdi, TheClockAndADrawingCost) {
    HWND window = Painted();
    headless::SetTick(0xFFFFFFF0u);
    headless::SetDrawCost(10);
    HDC dc = GetDC(window);
    Fill(dc, 0, 0, 5, 5, RED);
    MoveToEx(dc, 0, 0, nullptr); // moving is no drawing
    LineTo(dc, 3, 3);
    ReleaseDC(window, dc);
    EXPECT_EQ(GetTickCount(), 0x00000004u); // wrapped past 2^32
    headless::AdvanceTick(6);
    EXPECT_EQ(headless::Tick(), 10u);
}

TEST(HeadlessGdi, APictureOfTheWindowIsAPngFile) {
    HWND window = Painted();
    std::string path = std::string(TAPTALLY_ARTIFACT_DIR) + "/headless_probe.png";
    ASSERT_TRUE(headless::SavePng(window, path.c_str()));
    std::ifstream in(path, std::ios::binary);
    char header[24] = {};
    in.read(header, sizeof header);
    EXPECT_EQ(std::string(header + 1, 3), "PNG");
    // Width and height of the whole window, frame included, big-endian in IHDR.
    auto number = [&](int at) {
        return ((unsigned char)header[at] << 24) | ((unsigned char)header[at + 1] << 16) |
               ((unsigned char)header[at + 2] << 8) | (unsigned char)header[at + 3];
    };
    EXPECT_EQ(number(16), 400);
    EXPECT_EQ(number(20), 300);
    EXPECT_FALSE(headless::SavePng(window, "/nonexistent-folder/x.png"));
}

TEST(HeadlessGdi, TheDrawingLogIsKeptOnlyWhenAsked) {
    HWND window = Painted(); // the probe keeps it
    HDC dc = GetDC(window);
    headless::KeepDrawLog(false);
    Line(dc, 0, 0, 10, 0, PS_SOLID, 1, RED);
    EXPECT_TRUE(headless::DrawLog().empty());
    EXPECT_EQ(Pixel(window, 9, 0), RED); // drawn all the same
    headless::KeepDrawLog(true);
    TextOutA(dc, 5, 6, "ab", 2);
    ASSERT_EQ(headless::DrawLog().size(), 1u);
    EXPECT_EQ(headless::DrawLog()[0].Name, "TextOutA");
    EXPECT_EQ(headless::DrawLog()[0].X2, 5 + 2 * 8);
    ReleaseDC(window, dc);
    headless::ResetWorld();
    EXPECT_TRUE(headless::DrawLog().empty());
}

// Thousands of drawings over one another, of every kind, read back at the end and half way:
// each pixel shows the last drawing that reached it.
TEST(HeadlessGdi, PixelsShowTheLastDrawingOfManyOverOneAnother) {
    HWND window = Painted();
    HDC dc = GetDC(window);
    Line(dc, 100, 100, 140, 120, PS_SOLID, 3, BLUE); // under everything, left in part
    Fill(dc, 150, 10, 200, 60, BLUE);                // left around the small fills in it
    for (int i = 0; i < 3000; ++i) {
        COLORREF color = RGB(i % 256, i / 256, 7);
        Fill(dc, 10, 10, 50, 30, color);
        SetBkColor(dc, color);
        TextOutA(dc, 10, 40, "12", 2);
        Line(dc, 60, 10, 90, 40, PS_SOLID, 1, color); // the same diagonal each time
        Line(dc, 95, 10, 95, 60, PS_SOLID, 5, color);
        Fill(dc, 160, 20, 170, 30, color);
        if (i == 1500) {
            EXPECT_EQ(GetPixel(dc, 49, 29), RGB(1500 % 256, 1500 / 256, 7));
        }
    }
    Fill(dc, 100, 100, 120, 130, RED); // covers the left part of the blue line
    Fill(dc, 12, 42, 14, 44, RED);     // inside the last text's box: the text stays around it
    ReleaseDC(window, dc);
    const COLORREF last = RGB(2999 % 256, 2999 / 256, 7);
    const struct {
        int X, Y;
        COLORREF Color;
    } pixels[] = {
        {10, 10, last},  {49, 29, last},         {50, 30, WHITE},   {11, 40, last},
        {13, 43, RED},   {12, 45, RGB(0, 0, 0)}, {60, 10, last},    {89, 39, last},
        {90, 40, WHITE}, {93, 10, last},         {97, 59, last},    {98, 10, WHITE},
        {110, 105, RED}, {130, 115, BLUE},       {143, 122, WHITE}, {165, 25, last},
        {199, 59, BLUE}, {150, 10, BLUE},
    };
    for (const auto &pixel : pixels) {
        EXPECT_EQ(Pixel(window, pixel.X, pixel.Y), pixel.Color) << pixel.X << ", " << pixel.Y;
    }
}

// Thousands of small texts side by side, none drawn over another, and an icon destroyed
// before its pixels are read: each shows its own characters and image when read at the end.
TEST(HeadlessGdi, TextsAndIconsKeptLongShowTheirOwnCharactersAndImage) {
    HWND window = Painted();
    HDC dc = GetDC(window);
    Fill(dc, 150, 100, 200, 150, BLUE);
    HICON icon = LoadIconA(headless::ProgramInstance(), MAKEINTRESOURCEA(7));
    ASSERT_NE(icon, nullptr);
    DrawIcon(dc, 160, 110, icon);
    EXPECT_TRUE(DestroyIcon(icon));
    // A cell of 1 x 2 pixels: its lower pixel is the glyph's middle row, leftmost column.
    HFONT font = CreateFontA(-2, 0, 0, 0, 0, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Small");
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, RED);
    SetBkColor(dc, WHITE);
    for (int i = 0; i < 3000; ++i) {
        TextOutA(dc, i % 100, 2 * (i / 100), i % 3 ? " " : "H", 1);
    }
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(window, dc);
    int wrong = 0;
    for (int i = 0; i < 3000; ++i) {
        wrong += Pixel(window, i % 100, 2 * (i / 100) + 1) != (i % 3 ? WHITE : RED);
    }
    EXPECT_EQ(wrong, 0);
    int kept = 0, drawn = 0;
    for (int y = 110; y < 142; ++y) {
        for (int x = 160; x < 192; ++x) {
            (Pixel(window, x, y) == BLUE ? kept : drawn)++;
        }
    }
    EXPECT_GT(kept, 0);
    EXPECT_GT(drawn, 100);
}

// Fills drawn in pieces over an earlier fill, with gaps and edges out of line: what the
// pieces leave of the earlier fill still shows once thousands of drawings follow.
TEST(HeadlessGdi, AFillShowsWhereLaterPiecesLeaveGaps) {
    HWND window = Painted();
    HDC dc = GetDC(window);
    const struct {
        RECT Under, First, Second;
        POINT Shows; // a pixel of the earlier fill that no piece covers
    } cases[] = {
        {{10, 10, 20, 50}, {10, 10, 20, 30}, {10, 31, 20, 50}, {15, 30}},   // a gap in a column
        {{30, 10, 50, 31}, {30, 10, 40, 30}, {40, 11, 50, 31}, {45, 10}},   // a row out of line
        {{60, 10, 71, 50}, {60, 10, 70, 30}, {60, 25, 71, 50}, {70, 20}},   // widths differ
        {{80, 10, 100, 30}, {80, 10, 89, 30}, {90, 10, 100, 30}, {89, 20}}, // a gap in a row
    };
    for (const auto &each : cases) {
        Fill(dc, each.Under.left, each.Under.top, each.Under.right, each.Under.bottom, BLUE);
        Fill(dc, each.First.left, each.First.top, each.First.right, each.First.bottom, RED);
        Fill(dc, each.Second.left, each.Second.top, each.Second.right, each.Second.bottom, RED);
    }
    for (int i = 0; i < 3000; ++i) {
        Fill(dc, 200, 200, 210, 210, RGB(i % 256, 0, 0));
    }
    ReleaseDC(window, dc);
    for (const auto &each : cases) {
        EXPECT_EQ(Pixel(window, each.Shows.x, each.Shows.y), BLUE) << each.Shows.x;
        EXPECT_EQ(Pixel(window, each.First.left, each.First.top), RED) << each.Shows.x;
    }
}

// Handles that name nothing live stop the run: deleted or released ones, one whose slot
// holds a newer object, one of another kind, and one a byte off.
TEST(HeadlessGdiDeathTest, AHandleOfNothingLiveStopsTheRun) {
    const struct {
        const char *Case;
        void (*Use)(HWND window);
        const char *Expected;
    } rows[] = {
        {"deleted pen",
         [](HWND window) {
             HPEN pen = CreatePen(PS_SOLID, 1, RED);
             DeleteObject(pen);
             SelectObject(GetDC(window), pen);
         },
         "is no graphics object"},
        {"slot used again",
         [](HWND window) {
             HPEN pen = CreatePen(PS_SOLID, 1, RED);
             DeleteObject(pen);
             CreatePen(PS_SOLID, 1, BLUE);
             SelectObject(GetDC(window), pen);
         },
         "is no graphics object"},
        {"released context",
         [](HWND window) {
             HDC dc = GetDC(window);
             ReleaseDC(window, dc);
             SetBkColor(dc, RED);
         },
         "is no device context"},
        {"pen as a context", [](HWND) { SetBkColor((HDC)CreatePen(PS_SOLID, 1, RED), RED); },
         "is no device context"},
        {"context as a pen",
         [](HWND window) {
             HDC dc = GetDC(window);
             SelectObject(dc, (HGDIOBJ)dc);
         },
         "is no graphics object"},
        {"a byte off",
         [](HWND window) {
             HPEN pen = CreatePen(PS_SOLID, 1, RED);
             SelectObject(GetDC(window), (HGDIOBJ)((uintptr_t)pen + 1));
         },
         "is no graphics object"},
    };
    for (const auto &row : rows) {
        EXPECT_DEATH(row.Use(probe::Start()), row.Expected) << row.Case;
    }
}
