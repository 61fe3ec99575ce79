// Running the whole program from WinMain against the headless platform.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <headless/driver.h>

#include "resources/resource.h"

#include <sstream>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace run {

// A world whose main window gets a client area of exactly this size: no frame, caption
// and menu bar 20 each, the window one menu bar less tall than the screen.
inline void UseClientSize(int width, int height) {
    headless::SetSystemMetric(SM_CXSCREEN, width);
    headless::SetSystemMetric(SM_CYSCREEN, height + 60);
    headless::SetSystemMetric(SM_CYMENU, 20);
    headless::SetSystemMetric(SM_CYCAPTION, 20);
    headless::SetSystemMetric(SM_CXFRAME, 0);
    headless::SetSystemMetric(SM_CYFRAME, 0);
}

inline void Use1024By740() {
    UseClientSize(1024, 740);
}

// A fresh world that keeps the log of drawing calls, for the tests that read it.
inline void FreshWorld() {
    headless::ResetWorld();
    headless::KeepDrawLog(true);
}

// A fresh world at the standard client size of 1024 x 740, for every test of a suite.
class StandardWorld : public ::testing::Test {
  protected:
    void SetUp() override {
        FreshWorld();
        Use1024By740();
    }
};

inline int Start() {
    return WinMain(headless::ProgramInstance(), nullptr, (LPSTR) "", SW_SHOWNORMAL);
}

inline HWND Main() {
    return headless::MainWindow();
}

inline void Click(UINT down, UINT up, int x = 200, int y = 600) {
    headless::QueueMouse(Main(), down, x, y);
    headless::QueueMouse(Main(), up, x, y);
}

inline void LeftClick(int x = 200, int y = 600) {
    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, x, y);
}

// A step of the script: the given milliseconds pass, then a left click.
inline void AddLeftClickAfter(DWORD milliseconds) {
    headless::AddStep([milliseconds] {
        headless::AdvanceTick(milliseconds);
        LeftClick();
    });
}

inline void PressKey(char key) {
    headless::QueueKey((UINT)(unsigned char)(key >= 'a' && key <= 'z' ? key - 32 : key), key);
}

// Number of "Error Message" boxes shown so far whose code is the given one.
inline int ErrorBoxes(int code) {
    std::string header = "Error # " + std::to_string(code) + " Occurred! - \n";
    int count = 0;
    for (const headless::BoxInfo &box : headless::BoxesShown()) {
        if (!box.IsDialog && box.Caption == "Error Message" && box.Text.rfind(header, 0) == 0) {
            ++count;
        }
    }
    return count;
}

inline int BoxesWithCaption(const char *caption) {
    int count = 0;
    for (const headless::BoxInfo &box : headless::BoxesShown()) {
        count += box.Caption == caption;
    }
    return count;
}

// The texts of the dialog's controls with these ids; "(none)" where there is none.
inline std::vector<std::string> ControlTexts(HWND dialog, std::initializer_list<int> ids) {
    std::vector<std::string> texts;
    for (int id : ids) {
        HWND control = GetDlgItem(dialog, id);
        char text[64] = "";
        if (control) {
            GetWindowTextA(control, text, sizeof text);
        }
        texts.push_back(control ? text : "(none)");
    }
    return texts;
}

// Where the dialog's controls with these ids stand: left, top, width and height in the
// dialog's client area.
inline std::vector<std::vector<int>> ControlPlaces(HWND dialog, std::initializer_list<int> ids) {
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    std::vector<std::vector<int>> places;
    for (int id : ids) {
        RECT rect{};
        GetWindowRect(GetDlgItem(dialog, id), &rect);
        places.push_back({rect.left - origin.x, rect.top - origin.y, rect.right - rect.left,
                          rect.bottom - rect.top});
    }
    return places;
}

// Colours of the main screen and the program's dialogs.
const COLORREF TEAL = RGB(0, 160, 160);   // the screen's background
const COLORREF GREY = RGB(192, 192, 192); // under every value, and the dialogs' face
const COLORREF YELLOW = RGB(255, 255, 0);
const COLORREF GREEN = RGB(0, 255, 0);
const COLORREF RED = RGB(255, 0, 0);
const COLORREF BLACK = RGB(0, 0, 0);

// One drawing call as the screen should show it. Lines match by end points, pen colour
// and width; fills by rectangle and brush colour; texts by start, text, text colour and
// background colour; icons by their square.
struct Shape {
    std::string Name;
    int X1, Y1, X2, Y2;
    COLORREF Color; // pen, brush or text colour
    int Width;      // pen width
    COLORREF Back;  // text background
    std::string Text;
    std::string Face; // the font's face, when it matters

    Shape In(const char *face) const {
        Shape shape = *this;
        shape.Face = face;
        return shape;
    }

    Shape(std::string name, int x1, int y1, int x2 = 0, int y2 = 0, COLORREF color = 0,
          int width = 0, COLORREF back = 0, std::string text = "")
        : Name(std::move(name)), X1(x1), Y1(y1), X2(x2), Y2(y2), Color(color), Width(width),
          Back(back), Text(std::move(text)) {}

    bool Matches(const headless::DrawCall &call) const {
        if (call.Name != Name || call.X1 != X1 || call.Y1 != Y1) {
            return false;
        }
        if (Name == "TextOutA") {
            return call.Text == Text && call.TextColor == Color && call.BkColor == Back &&
                   (Face.empty() || (call.FontFace == Face && call.FontHeight == 18));
        }
        if (call.X2 != X2 || call.Y2 != Y2) {
            return false;
        }
        if (Name == "LineTo") {
            return call.PenColor == Color && call.PenWidth == Width;
        }
        return Name != "FillRect" || call.BrushColor == Color;
    }

    std::string Describe() const {
        std::ostringstream out;
        out << Name << " (" << X1 << ", " << Y1 << ", " << X2 << ", " << Y2 << ") colour 0x"
            << std::hex << Color << std::dec << " width " << Width << " \"" << Text << "\"";
        return out.str();
    }
};

// Whether the shape was drawn since the mark (an index into the drawing log).
inline bool Drawn(size_t mark, const Shape &shape) {
    const std::vector<headless::DrawCall> &log = headless::DrawLog();
    for (size_t i = mark; i < log.size(); ++i) {
        if (shape.Matches(log[i])) {
            return true;
        }
    }
    return false;
}

} // namespace run
