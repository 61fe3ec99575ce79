// Writes the whole drawing log of a fixed session to a file: the program started at five
// client sizes, moved, clicked, held, resized between paints, reset, and its dialogs and
// boxes opened. Two builds of the program that draw alike write the same bytes, so a
// change of the code that must not change the screen is checked with cmp.
//
// Usage: taptally_drawing_log OUTPUT
#include <windows.h>

#include <headless/driver.h>

#include "base/test_state.h"
#include "resources/resource.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

using headless::AddStep;

unsigned long long ScreenHash;

HWND Main() {
    return headless::MainWindow();
}

void UseClientSize(int width, int height) {
    headless::SetSystemMetric(SM_CXSCREEN, width);
    headless::SetSystemMetric(SM_CYSCREEN, height + 60);
    headless::SetSystemMetric(SM_CYMENU, 20);
    headless::SetSystemMetric(SM_CYCAPTION, 20);
    headless::SetSystemMetric(SM_CXFRAME, 0);
    headless::SetSystemMetric(SM_CYFRAME, 0);
}

void Click(UINT down, UINT up, int x, int y) {
    headless::QueueMouse(Main(), down, x, y);
    headless::QueueMouse(Main(), up, x, y);
}

void Key(char key) {
    headless::QueueKey((UINT)(unsigned char)key, key);
}

// Answers every message box open now with OK, one a step.
void AnswerBoxes() {
    AddStep([] {
        if (headless::BoxOpen() && !headless::TopBox().IsDialog) {
            headless::AnswerBox(IDOK);
            AnswerBoxes();
        }
    });
}

void Moves(std::initializer_list<std::pair<int, int>> points) {
    for (const auto &point : points) {
        AddStep([point] {
            headless::AdvanceTick(20);
            headless::QueueMouse(Main(), WM_MOUSEMOVE, point.first, point.second);
        });
    }
}

// A click of each button in turn, gap milliseconds after the one before; twice each when
// asked, so that the second press of a button comes gap after its first.
void Buttons(DWORD gap, int y, int times = 1) {
    const UINT downs[3][2] = {{WM_LBUTTONDOWN, WM_LBUTTONUP},
                              {WM_MBUTTONDOWN, WM_MBUTTONUP},
                              {WM_RBUTTONDOWN, WM_RBUTTONUP}};
    for (int i = 0; i < 3 * times; ++i) {
        UINT down = downs[i / times][0], up = downs[i / times][1];
        AddStep([down, up, gap, y, i, times] {
            headless::AdvanceTick(gap);
            Click(down, up, 100 + 300 * (i / times), y);
        });
        AnswerBoxes();
    }
}

void Session(int width, int height) {
    headless::ResetWorld();
    headless::KeepDrawLog(true);
    UseClientSize(width, height);
    headless::SetCursorScreenPos(300, 200);
    Moves({{100, 100}, {109, 108}, {109, 108}, {5, 300}, {65535, 99}, {110, 90}});
    Buttons(300, height - 100);
    Buttons(50, height - 100, 2); // too fast: an error box each
    Buttons(999, height - 100);
    // A long hold of each button: its panel alone is painted again.
    for (UINT down : {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN}) {
        AddStep([down, height] {
            headless::AdvanceTick(1000);
            headless::QueueMouse(Main(), down, 400, height - 100);
        });
        AddStep([down, height] {
            headless::AdvanceTick(701);
            headless::QueueMouse(Main(), down + 1, 400, height - 100);
        });
        Moves({{120, 95}});
    }
    // A release on the program icon opens the About box.
    AddStep([] {
        const RECT &icon = State.Layout.IconRect;
        headless::AdvanceTick(500);
        Click(WM_LBUTTONDOWN, WM_LBUTTONUP, icon.left + 16, icon.top + 16);
    });
    AnswerBoxes();
    AddStep([] { Key('R'); });
    Moves({{130, 80}, {130, 80}, {131, 84}});
    // A new size between paints: the drawing goes on with the last paint's layout.
    AddStep([width, height] {
        SendMessageA(Main(), WM_SIZE, 0, MAKELPARAM(width - 100, height - 50));
    });
    Moves({{150, 60}, {150, 70}});
    Buttons(400, height - 120);
    Moves({{140, 65}});
    AddStep([] { InvalidateRect(Main(), nullptr, FALSE); });
    Moves({{140, 70}, {160, 100}});
    Buttons(400, height - 120);
    // The information pages and the trigger dialog, and the repaint after them.
    AddStep([] { headless::QueueMenuCommand(Main(), CMD_INFORMATION); });
    AddStep([] { headless::AnswerBox(ID_INFO_FORWARD); });
    AddStep([] { headless::AnswerBox(ID_INFO_RETURN); });
    Moves({{170, 110}});
    AddStep([] { headless::QueueMenuCommand(Main(), CMD_SETUP); });
    AddStep([] { headless::AnswerBox(ID_TRIGGER_OK); });
    Moves({{180, 120}});
    // What the screen shows at the end, as one number.
    AddStep([width, height] {
        unsigned long long hash = 14695981039346656037ull;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                hash = (hash ^ headless::Pixel(Main(), x, y)) * 1099511628211ull;
            }
        }
        ScreenHash = hash;
        Key('X');
    });
    WinMain(headless::ProgramInstance(), nullptr, (LPSTR) "", SW_SHOWNORMAL);
}

std::string Line(const headless::DrawCall &call) {
    char text[512];
    snprintf(text, sizeof text,
             "%s main=%d paint=%d window=%d (%d, %d, %d, %d) pen=%06lx/%d/%d brush=%06lx "
             "text=%06lx back=%06lx font=%s/%d \"%s\"\n",
             call.Name.c_str(), call.Window == Main(), call.PaintDC, call.WindowDC, call.X1,
             call.Y1, call.X2, call.Y2, (unsigned long)call.PenColor, call.PenWidth, call.PenStyle,
             (unsigned long)call.BrushColor, (unsigned long)call.TextColor,
             (unsigned long)call.BkColor, call.FontFace.c_str(), call.FontHeight,
             call.Text.c_str());
    return text;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT\n", argv[0]);
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    const int sizes[][2] = {{1024, 740}, {799, 561}, {1024, 270}, {200, 740}, {1024, 20}};
    try {
        for (const auto &size : sizes) {
            Session(size[0], size[1]);
            out << "== session " << size[0] << " x " << size[1] << "\n";
            for (const headless::DrawCall &call : headless::DrawLog()) {
                out << Line(call);
            }
            for (const headless::BoxInfo &box : headless::BoxesShown()) {
                out << "box " << box.Caption << "\n";
            }
            out << "screen " << std::hex << ScreenHash << std::dec << " boxes "
                << headless::BoxesShown().size() << " beeps " << headless::Beeps().size() << "\n";
        }
    } catch (const std::exception &error) {
        fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return out.good() ? 0 : 1;
}
