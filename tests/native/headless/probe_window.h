// A small window of the tests' own that logs what it receives, for the tests of the
// headless platform itself.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>
#include <headless/driver.h>

#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

namespace probe {

// A row of a message sequence: the message, how it arrived (sent by a call, or queued:
// taken from the queue and dispatched), and the parameters that matter (flagged wparam,
// lparam); the others may be anything. The log holds what arrived, every parameter flagged.
enum : unsigned { sent = 1, queued = 2, wparam = 4, lparam = 8 };
struct Row {
    UINT Message;
    unsigned Flags;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
};
using Sequence = std::vector<Row>;

inline Sequence &Log() {
    static Sequence log;
    return log;
}

inline void Record(UINT message, WPARAM wParam, LPARAM lParam) {
    unsigned how = headless::InQueuedMessage() ? queued : sent;
    Log().push_back({message, how | wparam | lparam, wParam, lParam});
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
    case WM_LBUTTONDBLCLK:
        return "WM_LBUTTONDBLCLK";
    case WM_INITDIALOG:
        return "WM_INITDIALOG";
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
    Record(message, wParam, lParam);
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
    headless::KeepDrawLog(true);
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

inline bool Fits(const Row &want, const Row &got) {
    return want.Message == got.Message && (want.Flags & queued) == (got.Flags & queued) &&
           (!(want.Flags & wparam) || want.WParam == got.WParam) &&
           (!(want.Flags & lparam) || want.LParam == got.LParam);
}

inline std::string Text(const Row &row) {
    char w[24], l[24];
    snprintf(w, sizeof w, " w=%#lx", (unsigned long)row.WParam);
    snprintf(l, sizeof l, " l=%#lx", (unsigned long)row.LParam);
    return Name(row.Message) + (row.Flags & queued ? " queued" : " sent") +
           (row.Flags & wparam ? w : "") + (row.Flags & lparam ? l : "");
}

// Compares the log with the expected rows and empties it. A mismatch names the step and
// shows both sequences side by side, marking the first row that differs.
inline ::testing::AssertionResult Matches(const char *step, const Sequence &rows) {
    Sequence got = Log();
    Log().clear();
    size_t bad = 0;
    while (bad < rows.size() && bad < got.size() && Fits(rows[bad], got[bad])) {
        ++bad;
    }
    if (bad == rows.size() && bad == got.size()) {
        return ::testing::AssertionSuccess();
    }
    std::ostringstream out;
    out << "step \"" << step << "\": row " << bad << " differs\n"
        << std::left << std::setw(9) << "" << std::setw(44) << "expected"
        << "received\n";
    for (size_t i = 0; i < rows.size() || i < got.size(); ++i) {
        out << (i == bad ? " >> " : "    ") << std::right << std::setw(2) << i << "   " << std::left
            << std::setw(44) << (i < rows.size() ? Text(rows[i]) : "")
            << (i < got.size() ? Text(got[i]) : "") << "\n";
    }
    return ::testing::AssertionFailure() << out.str();
}

// Dispatches every waiting message, the way a program's loop would, without script.
inline void Pump() {
    headless::PumpMessages();
}

} // namespace probe
