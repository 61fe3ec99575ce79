// The program-wide record of the test: every value the program measures or shows lives
// here, zero at program start.
#pragma once

#include <windows.h>

#include "base/screen_layout.h"

enum ButtonId { BUTTON_LEFT, BUTTON_MIDDLE, BUTTON_RIGHT, BUTTON_COUNT };

// One mouse button's channel of the timing test.
struct ButtonChannel {
    int IsDown;          // the button is down as far as the messages tell
    DWORD LastDownTick;  // tick of the channel's latest button-down
    DWORD LeastInterval; // least interval since the last reset, or LEAST_NONE
    int StepIndex;       // position of the channel's spinner, 0 to 7
};

struct TestState {
    // Button timing
    ButtonChannel Buttons[BUTTON_COUNT]; // by ButtonId
    DWORD CurrentInterval;               // interval of the latest button-down of any channel
    int TriggerThreshold;                // an interval below this is an error, 10 to 200 ms

    // Start-up calibration and mouse presence
    int Calibrating;
    int CalibrationCount;
    DWORD CalibrationStartTick;
    int CalibrationTotal;
    int NoMouseReported;

    // Movement test
    int LastX, LastY;
    int ChangeX, ChangeY;
    int MostChangeX, MostChangeY;

    ScreenLayout Layout;

    // Error reporting
    int ErrorCode;

    // Program instance, kept at start for loading resources and opening dialogs
    HINSTANCE Instance;
};

extern TestState State;

const DWORD LEAST_NONE = 3000;
