// Whole pictures of the screen, boxes and dialogs after fixed sessions, compared by a hash of
// every pixel of the window (frame included). The hashes were taken from pictures checked by
// eye; any change of a single pixel of them shows here, whatever the stand-in does inside.
#include <gtest/gtest.h>

#include "run_support.h"

#include "headless/probe_window.h"

#include <cstdint>
#include <map>
#include <string>

namespace {

// FNV-1a over red, green and blue of every pixel, rows top first, and the window's size.
uint64_t PixelHash(HWND window) {
    RECT outer{};
    GetWindowRect(window, &outer);
    POINT client{0, 0};
    ClientToScreen(window, &client);
    int left = outer.left - client.x, top = outer.top - client.y;
    int width = outer.right - outer.left, height = outer.bottom - outer.top;
    uint64_t hash = 14695981039346656037ull;
    auto add = [&hash](uint8_t byte) { hash = (hash ^ byte) * 1099511628211ull; };
    add((uint8_t)width), add((uint8_t)(width >> 8)), add((uint8_t)height),
        add((uint8_t)(height >> 8));
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            COLORREF color = headless::Pixel(window, x, y);
            add(GetRValue(color)), add(GetGValue(color)), add(GetBValue(color));
        }
    }
    return hash;
}

std::string Hex(uint64_t hash) {
    char text[20];
    snprintf(text, sizeof text, "%016llx", (unsigned long long)hash);
    return text;
}

// The named pictures of a session, as hashes.
using Pictures = std::map<std::string, std::string>;

void Take(Pictures &pictures, const char *name, HWND window) {
    pictures[name] = Hex(PixelHash(window));
}

void MoveTo(int x, int y) {
    headless::QueueMouse(run::Main(), WM_MOUSEMOVE, x, y);
}

} // namespace

TEST(ScreenPixels, ASessionOfClicksMovesAndBoxesShowTheSamePictures) {
    headless::ResetWorld();
    run::Use1024By740();
    headless::SetCursorScreenPos(300, 200);
    Pictures pictures;
    // Calibration ends before the first step; then presses of every button, timed.
    headless::AddSteps({
        [] {
            headless::AdvanceTick(300);
            run::Click(WM_LBUTTONDOWN, WM_LBUTTONUP, 210, 600);
        },
        [] {
            headless::AdvanceTick(150);
            run::Click(WM_LBUTTONDOWN, WM_LBUTTONUP, 210, 600);
        },
        [] {
            headless::AdvanceTick(120);
            run::Click(WM_RBUTTONDOWN, WM_RBUTTONUP, 700, 600);
        },
        [] {
            headless::AdvanceTick(200);
            run::Click(WM_MBUTTONDOWN, WM_MBUTTONUP, 500, 620);
        },
        [] { MoveTo(100, 100); },
        [] { MoveTo(109, 108); },
        [] { MoveTo(5, 300); },
        [] { MoveTo(65535, 99); },
        [] { MoveTo(400, 420); },
        [&pictures] {
            Take(pictures, "screen after use", run::Main());
            headless::AdvanceTick(100);
            run::Click(WM_LBUTTONDOWN, WM_LBUTTONUP, 210, 600);
        },
        [] {
            headless::AdvanceTick(40); // too quick a press: an error box
            run::Click(WM_LBUTTONDOWN, WM_LBUTTONUP, 210, 600);
        },
        [&pictures] {
            ASSERT_TRUE(headless::BoxOpen());
            Take(pictures, "error box", headless::TopBox().Window);
            Take(pictures, "screen under a box", run::Main());
            headless::AnswerBox(IDOK);
        },
        [] { run::PressKey('a'); },
        [&pictures] {
            ASSERT_TRUE(headless::BoxOpen());
            Take(pictures, "about", headless::TopBox().Window);
            headless::AnswerBox(IDOK);
        },
        [] { run::PressKey('d'); },
        [&pictures] {
            ASSERT_TRUE(headless::BoxOpen());
            Take(pictures, "driver info", headless::TopBox().Window);
            headless::AnswerBox(IDOK);
        },
        [] { run::PressKey('s'); },
        [&pictures] {
            ASSERT_TRUE(headless::BoxOpen());
            Take(pictures, "setup", headless::TopBox().Window);
            headless::AnswerBox(IDCANCEL);
        },
        [] { run::PressKey('i'); },
        [&pictures] {
            ASSERT_TRUE(headless::BoxOpen());
            Take(pictures, "information", headless::TopBox().Window);
            headless::AnswerBox(IDCANCEL);
        },
        [&pictures] {
            Take(pictures, "screen after the boxes", run::Main());
            run::PressKey('X');
        },
    });
    run::Start();
    EXPECT_EQ(pictures, (Pictures{
                            {"screen after use", "87732cbf8725677c"},
                            {"error box", "48080d4bb8a9222a"},
                            {"screen under a box", "56335495909e9b88"},
                            {"about", "bf07c4edb618409f"},
                            {"driver info", "f92ff4bbd638e1f0"},
                            {"setup", "b3881455d1370e8e"},
                            {"information", "307ef3ae4cc960f6"},
                            {"screen after the boxes", "237aacbf0b11bc2f"},
                        }));
}

TEST(ScreenPixels, TheFramedWindowOfTheDefaultWorldShowsTheSamePicture) {
    headless::ResetWorld(); // frame, caption and menu bar drawn by the system
    Pictures pictures;
    headless::AddSteps({
        [] {
            headless::AdvanceTick(500);
            run::Click(WM_LBUTTONDOWN, WM_LBUTTONUP, 100, 500);
            MoveTo(600, 300);
        },
        [&pictures] {
            Take(pictures, "framed screen", run::Main());
            run::PressKey('X');
        },
    });
    run::Start();
    EXPECT_EQ(pictures, (Pictures{{"framed screen", "315115590c22e160"}}));
}

TEST(ScreenPixels, PrimitivesOfTheStandInDrawTheSamePixels) {
    HWND window = probe::Start();
    ShowWindow(window, SW_SHOWNORMAL);
    probe::Pump();
    Pictures pictures;
    HDC dc = GetDC(window);
    HPEN pens[] = {CreatePen(PS_SOLID, 1, RGB(200, 0, 0)), CreatePen(PS_SOLID, 5, RGB(0, 0, 200)),
                   CreatePen(PS_INSIDEFRAME, 3, RGB(0, 120, 0)), CreatePen(PS_NULL, 1, 0)};
    const int lines[][4] = {{10, 10, 60, 10},   {60, 12, 10, 12},   {20, 20, 20, 90},
                            {22, 90, 22, 20},   {30, 30, 110, 70},  {110, 75, 30, 35},
                            {40, 100, 45, 180}, {-20, -5, 420, 330}};
    for (size_t i = 0; i < sizeof lines / sizeof lines[0]; ++i) {
        HGDIOBJ old = SelectObject(dc, pens[i % 4]);
        MoveToEx(dc, lines[i][0] + (int)(i / 4) * 150, lines[i][1], nullptr);
        LineTo(dc, lines[i][2] + (int)(i / 4) * 150, lines[i][3]);
        SelectObject(dc, old);
    }
    HBRUSH brush = CreateSolidBrush(RGB(250, 200, 10));
    RECT fill{200, 150, 260, 190};
    FillRect(dc, &fill, brush);
    RECT system{250, 180, 300, 230};
    FillRect(dc, &system, (HBRUSH)(COLOR_BTNSHADOW + 1));
    HFONT font =
        CreateFontA(-22, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "MS Serif");
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkColor(dc, RGB(0, 0, 0));
    TextOutA(dc, 5, 200, "Hello, 0123456789 {~}", 21);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetTextColor(dc, RGB(10, 20, 30));
    SetBkColor(dc, RGB(220, 220, 255));
    TextOutA(dc, 150, 230, "Wg|@#", 5);
    TextOutA(dc, 350, 260, "cut at the edge", 15);
    SelectObject(dc, oldFont);
    headless::LoadProgramResources(TAPTALLY_PROGRAM_RES);
    DrawIcon(dc, 300, 40, LoadIconA(headless::ProgramInstance(), MAKEINTRESOURCEA(600)));
    DrawIcon(dc, 380, 280, LoadIconA(nullptr, IDI_APPLICATION));
    ReleaseDC(window, dc);
    Take(pictures, "client drawing", window);

    // A paint of two small areas draws nowhere else.
    RECT first{15, 15, 70, 60}, second{100, 100, 180, 130};
    InvalidateRect(window, &first, FALSE);
    InvalidateRect(window, &second, FALSE);
    PAINTSTRUCT paint;
    dc = BeginPaint(window, &paint);
    RECT all{0, 0, 400, 300};
    FillRect(dc, &all, (HBRUSH)GetStockObject(GRAY_BRUSH));
    HGDIOBJ old = SelectObject(dc, pens[1]);
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 390, 260);
    SelectObject(dc, old);
    TextOutA(dc, 10, 110, "clipped text across both", 24);
    EndPaint(window, &paint);
    Take(pictures, "paint of two areas", window);

    HDC windowDC = GetWindowDC(window);
    RECT corner{0, 0, 30, 30};
    FillRect(windowDC, &corner, brush);
    ReleaseDC(window, windowDC);
    Take(pictures, "window corner", window);
    for (HPEN pen : pens) {
        DeleteObject(pen);
    }
    DeleteObject(brush);
    DeleteObject(font);
    EXPECT_EQ(pictures, (Pictures{
                            {"client drawing", "d93db79a91bab479"},
                            {"paint of two areas", "98850f1a6e28b312"},
                            {"window corner", "838fbb67e938f149"},
                        }));
}
