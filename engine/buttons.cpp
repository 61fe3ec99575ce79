#include "engine/buttons.h"

#include "base/error_codes.h"
#include "base/post_command.h"
#include "base/screen_geometry.h"
#include "base/test_state.h"
#include "display/button_panel.h"
#include "engine/calibration.h"
#include "resources/resource.h"

namespace {

// What tells the buttons apart: their messages and their error codes.
struct ButtonSetup {
    UINT DownMessage, UpMessage;
    ErrorNumber TooFastCode, UpBeforeDownCode, DownBeforeUpCode;
};

const ButtonSetup BUTTON_SETUPS[BUTTON_COUNT] = {
    {WM_LBUTTONDOWN, WM_LBUTTONUP, ERROR_LEFT_TOO_FAST, ERROR_LEFT_UP_BEFORE_DOWN,
     ERROR_LEFT_DOWN_BEFORE_UP},
    {WM_MBUTTONDOWN, WM_MBUTTONUP, ERROR_MIDDLE_TOO_FAST, ERROR_MIDDLE_UP_BEFORE_DOWN,
     ERROR_MIDDLE_DOWN_BEFORE_UP},
    {WM_RBUTTONDOWN, WM_RBUTTONUP, ERROR_RIGHT_TOO_FAST, ERROR_RIGHT_UP_BEFORE_DOWN,
     ERROR_RIGHT_DOWN_BEFORE_UP},
};

const DWORD HOLD_RESET_MS = 700;
const int STEP_COUNT = 8;

void HandleButtonDown(HWND window, int button) {
    ButtonChannel &channel = State.Buttons[button];
    const ButtonSetup &setup = BUTTON_SETUPS[button];
    if (channel.IsDown) {
        PostCommand(window, CMD_REPORT_ERROR, setup.DownBeforeUpCode);
    }
    channel.IsDown = 1;
    channel.StepIndex = (channel.StepIndex + 1) % STEP_COUNT;

    // The tick is read before anything is drawn, so drawing does not enter the interval.
    DWORD now = GetTickCount();
    State.CurrentInterval = now - channel.LastDownTick;
    if (channel.LeastInterval > State.CurrentInterval) {
        channel.LeastInterval = State.CurrentInterval;
    }
    channel.LastDownTick = now;

    UpdateButtonPanel(window, button, channel.StepIndex, State.CurrentInterval,
                      channel.LeastInterval);

    if (button == BUTTON_LEFT && State.Calibrating) {
        CalibrationPress(window);
        return;
    }
    if ((long long)channel.LeastInterval < State.TriggerThreshold) {
        PostCommand(window, CMD_REPORT_ERROR, setup.TooFastCode);
        channel.LeastInterval = LEAST_NONE;
    }
}

// x and y are the client position of the release (used by the left button only).
void HandleButtonUp(HWND window, int button, unsigned x, unsigned y) {
    ButtonChannel &channel = State.Buttons[button];
    const ButtonSetup &setup = BUTTON_SETUPS[button];
    if (!channel.IsDown) {
        PostCommand(window, CMD_REPORT_ERROR, setup.UpBeforeDownCode);
    }
    channel.IsDown = 0;

    DWORD now = GetTickCount();
    if (now - channel.LastDownTick > HOLD_RESET_MS) {
        channel.LeastInterval = LEAST_NONE;
        RECT panel = PanelRect(button);
        RequestRepaint(window, &panel);
    }

    if (button == BUTTON_LEFT) {
        POINT point = {(LONG)x, (LONG)y};
        if (PtInRect(&State.Layout.IconRect, point)) {
            PostCommand(window, CMD_ABOUT, 0);
        }
    }
    if (button == BUTTON_MIDDLE) {
        RecomputeRowUnit();
    }

    DrawReleaseArrow(window, button);

    if (button == BUTTON_LEFT && State.Calibrating) {
        CalibrationRelease(window);
    }
}

} // namespace

bool HandleButtonMessage(HWND window, UINT message, LPARAM lParam) {
    for (int button = 0; button < BUTTON_COUNT; ++button) {
        if (message == BUTTON_SETUPS[button].DownMessage) {
            HandleButtonDown(window, button);
            return true;
        }
        if (message == BUTTON_SETUPS[button].UpMessage) {
            HandleButtonUp(window, button, LOWORD(lParam), HIWORD(lParam));
            return true;
        }
    }
    return false;
}
