// The cost of one left press and release to the program, drawing included: the work
// that the start-up calibration measures. Builds on both builds; under Wine the figure
// is what a user's machine pays per click.
#include <windows.h>

#include <chrono>
#include <stdio.h>
#include <stdlib.h>

#include "app/main_window.h"
#include "engine/test_state.h"

#ifdef TAPTALLY_HEADLESS
#include <headless/driver.h>
#endif

namespace {

// Handles everything queued; stops once the calibration has ended and nothing is left.
void DrainQueue() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

} // namespace

int main(int argc, char **argv) {
    int cycles = argc > 1 ? atoi(argv[1]) : 20000;
#ifdef TAPTALLY_HEADLESS
    headless::ResetWorld();
    HINSTANCE instance = headless::ProgramInstance();
#else
    HINSTANCE instance = GetModuleHandleA(nullptr);
#endif
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszMenuName = "TAPTALLYMENU";
    windowClass.lpszClassName = MAIN_CLASS_NAME;
    RegisterClassA(&windowClass);
    State.Layout.ClientWidth = GetSystemMetrics(SM_CXSCREEN);
    State.Layout.ClientHeight = GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU);
    HWND window = CreateWindowExA(0, MAIN_CLASS_NAME, MAIN_WINDOW_TITLE, WS_OVERLAPPEDWINDOW, 0, 0,
                                  State.Layout.ClientWidth, State.Layout.ClientHeight, nullptr,
                                  nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    DrainQueue();
    if (State.Calibrating) {
        printf("calibration did not finish\n");
        return 1;
    }

    // Presses 500 ms apart (by the tick counter they are as fast as they come; the trigger
    // is set out of reach so that no error box interrupts the measurement).
    State.TriggerThreshold = 0;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < cycles; ++i) {
        SendMessageA(window, WM_LBUTTONDOWN, 0, MAKELPARAM(200, 600));
        SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(200, 600));
    }
    auto stop = std::chrono::steady_clock::now();
    double micros = std::chrono::duration<double, std::micro>(stop - start).count() / cycles;
    printf("left press and release: %.2f us per cycle over %d cycles\n", micros, cycles);
    printf("calibration total measured by the program: %d ms (%.2f ms per cycle)\n",
           State.CalibrationTotal, State.CalibrationTotal * 0.1);
    DestroyWindow(window);
    DrainQueue();
    return 0;
}
