#include "engine/buttons.h"

#include "app/commands.h"
#include "app/main_window.h"
#include "display/button_panel.h"
#include "display/fractions.h"
#include "engine/calibration.h"
#include "engine/test_state.h"

namespace {

struct ChannelSetup {
    int TooFastCode;
    int UpBeforeDownCode;
    int DownBeforeUpCode;
};

const ChannelSetup CHANNEL_SETUPS[] = {
    {10, 11, 12}, // left
    {20, 21, 22}, // middle
    {30, 31, 32}, // right
};

const int STEP_COUNT = 8;

ButtonChannel &Channel(int button) {
    switch (button) {
    case BUTTON_MIDDLE:
        return State.Middle;
    case BUTTON_RIGHT:
        return State.Right;
    default:
        return State.Left;
    }
}

int PanelLeft(int button) {
    switch (button) {
    case BUTTON_MIDDLE:
        return State.Layout.MiddlePanelX;
    case BUTTON_RIGHT:
        return State.Layout.RightPanelX;
    default:
        return State.Layout.LeftPanelX;
    }
}

int PanelRight(int button) {
    switch (button) {
    case BUTTON_MIDDLE:
        return State.Layout.RightPanelX;
    case BUTTON_RIGHT:
        return State.Layout.ClientWidth;
    default:
        return State.Layout.MiddlePanelX;
    }
}

void DrawUpArrow(HWND window, int button) {
    const ScreenLayout &layout = State.Layout;
    HDC dc = GetDC(window);
    SetBkColor(dc, layout.ScreenBackColor);
    int x = TruncatedProduct(0.8, layout.MiddlePanelX) + PanelLeft(button);
    DrawArrowMarker(dc, x, layout.PanelTop + layout.RowUnit, 1);
    ReleaseDC(window, dc);
}

} // namespace

void HandleButtonDown(HWND window, int button) {
    ButtonChannel &channel = Channel(button);
    const ChannelSetup &setup = CHANNEL_SETUPS[button];
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

    UpdateButtonPanel(window, PanelLeft(button), State.Layout.PanelTop, channel.StepIndex,
                      State.CurrentInterval, channel.LeastInterval);

    if (button == BUTTON_LEFT && State.Calibrating) {
        CalibrationPress(window);
        return;
    }
    if ((long long)channel.LeastInterval < State.TriggerThreshold) {
        PostCommand(window, CMD_REPORT_ERROR, setup.TooFastCode);
        channel.LeastInterval = LEAST_NONE;
    }
}

void HandleButtonUp(HWND window, int button, unsigned x, unsigned y) {
    ButtonChannel &channel = Channel(button);
    ScreenLayout &layout = State.Layout;
    if (!channel.IsDown) {
        PostCommand(window, CMD_REPORT_ERROR, CHANNEL_SETUPS[button].UpBeforeDownCode);
    }
    channel.IsDown = 0;

    DWORD now = GetTickCount();
    if (now - channel.LastDownTick > HOLD_RESET_MS) {
        channel.LeastInterval = LEAST_NONE;
        RECT panel;
        SetRect(&panel, PanelLeft(button), layout.PanelTop, PanelRight(button), layout.PanelBottom);
        RequestRepaint(window, &panel);
    }

    if (button == BUTTON_LEFT) {
        POINT point = {(LONG)x, (LONG)y};
        if (PtInRect(&layout.IconRect, point)) {
            PostCommand(window, CMD_ABOUT, 0);
        }
    }
    if (button == BUTTON_MIDDLE) {
        layout.RowUnit = layout.ClientHeight / 27;
    }

    DrawUpArrow(window, button);

    if (button == BUTTON_LEFT && State.Calibrating) {
        CalibrationRelease(window);
    }
}
