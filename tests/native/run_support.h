// Running the whole program from WinMain against the headless platform.
#pragma once

#include <windows.h>

#include <headless/driver.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace run {

// A world whose main window gets a client area of exactly 1024 x 740.
inline void Use1024By740() {
    headless::SetSystemMetric(SM_CXSCREEN, 1024);
    headless::SetSystemMetric(SM_CYSCREEN, 800);
    headless::SetSystemMetric(SM_CYMENU, 20);
    headless::SetSystemMetric(SM_CYCAPTION, 20);
    headless::SetSystemMetric(SM_CXFRAME, 0);
    headless::SetSystemMetric(SM_CYFRAME, 0);
}

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

} // namespace run
