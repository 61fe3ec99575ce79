// A small window of the tests' own that logs what it receives, for the tests of the
// headless platform itself.
#pragma once

#include <windows.h>

#include <headless/driver.h>

#include <string>
#include <vector>

namespace probe {

// Messages received, as "WM_PAINT" style names or "0x1234" for others.
inline std::vector<std::string> &Log() {
    static std::vector<std::string> log;
    return log;
}

// When set, WM_PAINT is answered with BeginPaint/EndPaint and nothing drawn.
inline bool &ValidatesPaint() {
    static bool validates = true;
    return validates;
}

inline std::string Name(UINT message) {
    switch (message) {
    case WM_CREATE:
        return "WM_CREATE";
    case WM_DESTROY:
        return "WM_DESTROY";
    case WM_SIZE:
        return "WM_SIZE";
    case WM_PAINT:
        return "WM_PAINT";
    case WM_CLOSE:
        return "WM_CLOSE";
    case WM_ERASEBKGND:
        return "WM_ERASEBKGND";
    case WM_KEYDOWN:
        return "WM_KEYDOWN";
    case WM_KEYUP:
        return "WM_KEYUP";
    case WM_CHAR:
        return "WM_CHAR";
    case WM_COMMAND:
        return "WM_COMMAND";
    case WM_SYSCOMMAND:
        return "WM_SYSCOMMAND";
    case WM_MOUSEMOVE:
        return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN:
        return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
        return "WM_LBUTTONUP";
    case WM_USER:
        return "WM_USER";
    case WM_USER + 1:
        return "WM_USER+1";
    default: {
        char text[16];
        snprintf(text, sizeof text, "0x%x", message);
        return text;
    }
    }
}

inline LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Log().push_back(Name(message));
    switch (message) {
    case WM_PAINT:
        if (ValidatesPaint()) {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            EndPaint(window, &paint);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(3);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

inline void Register(const char *menu = nullptr, UINT style = 0) {
    WNDCLASSA windowClass = {};
    windowClass.style = style;
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = headless::ProgramInstance();
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszMenuName = menu;
    windowClass.lpszClassName = "Probe";
    RegisterClassA(&windowClass);
}

// A fresh world with the probe class; a window of 400 x 300 at (0, 0) when asked.
inline HWND Start(const char *menu = nullptr, bool create = true, UINT style = 0) {
    headless::ResetWorld();
    Log().clear();
    ValidatesPaint() = true;
    headless::LoadProgramResources(TAPTALLY_TEST_RES_DIR "/window_resources.res");
    Register(menu, style);
    if (!create) {
        return nullptr;
    }
    return CreateWindowExA(0, "Probe", "Probe Window", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                           nullptr, headless::ProgramInstance(), nullptr);
}

inline std::vector<std::string> Names(std::initializer_list<const char *> names) {
    return std::vector<std::string>(names.begin(), names.end());
}

// Dispatches every waiting message, the way a program's loop would, without script.
inline void Pump() {
    headless::PumpMessages();
}

} // namespace probe
