// The cost of the program's work, on whichever build it is built for: the start-up to the
// end of the calibration, a full paint of the main window for two screen sizes, one press
// and release of each button and one movement message (and its parts), drawing included. Prints one
// "name value" line per figure (microseconds unless the name says otherwise), for
// tools/bench.py to put in a table; it asserts nothing.
//   taptally_bench [cycles, default 2000]
#include <windows.h>

#include <chrono>
#include <stdio.h>
#include <stdlib.h>

#include "app/main_window.h"
#include "base/test_state.h"
#include "display/movement_row.h"

#ifdef TAPTALLY_HEADLESS
#include <headless/driver.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

double MicrosSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// Handles everything queued.
void DrainQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Starts the main window as the program does, sized for a screen of width by height,
// and handles messages until the calibration has ended. Returns nullptr when it did not.
HWND StartMainWindow(HINSTANCE instance, int width, int height) {
    State.Layout.ClientWidth = width;
    State.Layout.ClientHeight = height - GetSystemMetrics(SM_CYMENU);
    HWND window = CreateWindowExA(0, MAIN_CLASS_NAME, MAIN_WINDOW_TITLE, WS_OVERLAPPEDWINDOW, 0, 0,
                                  State.Layout.ClientWidth, State.Layout.ClientHeight, nullptr,
                                  nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    DrainQueue();
    return State.Calibrating ? nullptr : window;
}

void StopMainWindow(HWND window) {
    DestroyWindow(window);
    DrainQueue(); // takes the quit message that the window's end posts
}

double FullPaint(HWND window, int cycles) {
    Clock::time_point start = Clock::now();
    for (int i = 0; i < cycles; ++i) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
    return MicrosSince(start) / cycles;
}

// Presses come back to back; the trigger is set out of reach so that no error box
// interrupts the measurement.
double PressAndRelease(HWND window, UINT down, UINT up, int cycles) {
    State.TriggerThreshold = 0;
    Clock::time_point start = Clock::now();
    for (int i = 0; i < cycles; ++i) {
        SendMessageA(window, down, 0, MAKELPARAM(200, 600));
        SendMessageA(window, up, 0, MAKELPARAM(200, 600));
    }
    return MicrosSince(start) / cycles;
}

// Moves that differ in both directions by varying amounts, so the bars grow and shrink.
double Movement(HWND window, int cycles) {
    Clock::time_point start = Clock::now();
    for (int i = 0; i < cycles; ++i) {
        SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(100 + (i % 50) * 7, 200 + (i % 30) * 5));
    }
    return MicrosSince(start) / cycles;
}

// The parts of one movement message: a value pair (one of three) and the two bars.
double ValuePair(HWND window, int cycles) {
    Clock::time_point start = Clock::now();
    for (int i = 0; i < cycles; ++i) {
        DrawValuePair(window, CELL_CHANGE, i % 1000, i % 700);
    }
    return MicrosSince(start) / cycles;
}

double Bars(HWND window, int cycles) {
    Clock::time_point start = Clock::now();
    for (int i = 0; i < cycles; ++i) {
        DrawMovementBars(window, i % 30, i % 20, BARS_LIVE);
    }
    return MicrosSince(start) / cycles;
}

} // namespace

int main(int argc, char **argv) {
    int cycles = argc > 1 ? atoi(argv[1]) : 2000;
    if (cycles < 1) {
        fprintf(stderr, "taptally_bench: the number of cycles must be a positive number\n");
        return 2;
    }
#ifdef TAPTALLY_HEADLESS
    headless::ResetWorld();
    HINSTANCE instance = headless::ProgramInstance();
#else
    HINSTANCE instance = GetModuleHandleA(nullptr);
#endif
    RegisterMainWindowClass(instance);

    const int STARTS = 10;
    double starts[STARTS];
    int calibrationMs = 0;
    for (int i = 0; i < STARTS; ++i) {
        Clock::time_point start = Clock::now();
        HWND window = StartMainWindow(instance, 1024, 768);
        starts[i] = MicrosSince(start);
        if (window == nullptr) {
            fprintf(stderr, "taptally_bench: the calibration did not finish\n");
            return 1;
        }
        calibrationMs += State.CalibrationTotal;
        StopMainWindow(window);
    }
    double later = 0;
    for (int i = 1; i < STARTS; ++i) {
        later += starts[i];
    }
    printf("startup_first %.1f\n", starts[0]);
    printf("startup_again %.1f\n", later / (STARTS - 1));
    printf("calibration_ms %.1f\n", (double)calibrationMs / STARTS);

    const int SIZES[2][2] = {{1024, 768}, {1920, 1080}};
    for (const auto &size : SIZES) {
        HWND window = StartMainWindow(instance, size[0], size[1]);
        if (window == nullptr) {
            fprintf(stderr, "taptally_bench: the calibration did not finish\n");
            return 1;
        }
        printf("paint_%dx%d %.1f\n", size[0], size[1], FullPaint(window, cycles / 10 + 1));
        if (size[0] == 1024) {
            printf("left %.1f\n", PressAndRelease(window, WM_LBUTTONDOWN, WM_LBUTTONUP, cycles));
            printf("middle %.1f\n", PressAndRelease(window, WM_MBUTTONDOWN, WM_MBUTTONUP, cycles));
            printf("right %.1f\n", PressAndRelease(window, WM_RBUTTONDOWN, WM_RBUTTONUP, cycles));
            printf("move %.1f\n", Movement(window, cycles));
            printf("value_pair %.1f\n", ValuePair(window, cycles));
            printf("bars %.1f\n", Bars(window, cycles));
        }
        StopMainWindow(window);
    }
    return 0;
}
