#include "engine/calibration.h"

#include "base/error_codes.h"
#include "base/post_command.h"
#include "base/test_state.h"
#include "resources/resource.h"

namespace {

// Set when the slow-calibration box has closed; the next completed paint then skips the
// slow-calibration test, unless the program itself asked for a repaint in between.
int SkipNextSlowCheck;

} // namespace

void RequestRepaint(HWND window, const RECT *area) {
    SkipNextSlowCheck = 0;
    InvalidateRect(window, area, FALSE);
}

void NoteErrorBoxClosed(int code) {
    if (code == ERROR_SLOW_CALIBRATION) {
        SkipNextSlowCheck = 1;
    }
}

void CheckAfterPaint(HWND window) {
    if (GetSystemMetrics(SM_MOUSEPRESENT) == 0 && !State.NoMouseReported) {
        State.NoMouseReported = 1;
        PostCommand(window, CMD_REPORT_ERROR, ERROR_NO_MOUSE);
        State.Calibrating = 0;
    }
    if (State.Calibrating) {
        PostMessageA(window, WM_LBUTTONDOWN, 0, 0);
        return;
    }
    if (SkipNextSlowCheck) {
        SkipNextSlowCheck = 0;
        return;
    }
    if (State.CalibrationTotal / 10 > CALIBRATION_LIMIT_MS) {
        PostCommand(window, CMD_REPORT_ERROR, ERROR_SLOW_CALIBRATION);
    }
}

void CalibrationPress(HWND window) {
    if (State.CalibrationCount == 0) {
        State.CalibrationStartTick = State.Buttons[BUTTON_LEFT].LastDownTick;
    }
    ++State.CalibrationCount;
    if (State.CalibrationCount < CALIBRATION_PRESSES) {
        PostMessageA(window, WM_LBUTTONUP, 0, 0);
        return;
    }
    State.Calibrating = 0;
    State.CalibrationTotal =
        (int)(State.Buttons[BUTTON_LEFT].LastDownTick - State.CalibrationStartTick);
    PostCommand(window, CMD_RESET_VALUES, 0);

    // The window stands at the screen's origin: take off its frame, caption and menu.
    DWORD position = GetMessagePos();
    State.LastX = (int)LOWORD(position) - GetSystemMetrics(SM_CXFRAME);
    State.LastY = (int)HIWORD(position) - GetSystemMetrics(SM_CYCAPTION) -
                  GetSystemMetrics(SM_CYMENU) - GetSystemMetrics(SM_CYFRAME);
}

void CalibrationRelease(HWND window) {
    PostMessageA(window, WM_LBUTTONDOWN, 0, 0);
}
