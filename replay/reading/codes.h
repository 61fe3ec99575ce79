// The numbers of the kernel's input protocol that the replay looks at, and the buttons it
// follows, numbered once for the whole replay.
#pragma once

namespace replay {

// Event numbers of the kernel's input protocol that the replay looks at.
enum : int {
    EV_SYN_TYPE = 0,
    EV_KEY_TYPE = 1,
    EV_REL_TYPE = 2,
    EV_MSC_TYPE = 4,
    SYN_REPORT_CODE = 0,
    SYN_DROPPED_CODE = 3,
    BTN_LEFT_CODE = 0x110,
    BTN_RIGHT_CODE = 0x111,
    BTN_MIDDLE_CODE = 0x112,
    BTN_SIDE_CODE = 0x113,
    BTN_BACK_CODE = 0x116,
    MSC_SCAN_CODE = 4,
    REL_X_CODE = 0,
    REL_Y_CODE = 1,
    REL_HWHEEL_CODE = 6,
    REL_WHEEL_CODE = 8,
    REL_WHEEL_HI_RES_CODE = 11,
    REL_HWHEEL_HI_RES_CODE = 12,
};

// The buttons the replay follows: TapTally's three, then the side buttons it cannot see.
enum Button {
    BUTTON_LEFT = 0,
    BUTTON_MIDDLE = 1,
    BUTTON_RIGHT = 2,
    BUTTON_SIDE = 3,    // BTN_SIDE
    BUTTON_EXTRA = 4,   // BTN_EXTRA
    BUTTON_FORWARD = 5, // BTN_FORWARD
    BUTTON_BACK = 6,    // BTN_BACK
    BUTTON_KINDS = 7,
};
const int PANEL_BUTTONS = 3; // the buttons TapTally itself tests

// The button of a kernel code, BTN_LEFT to BTN_BACK; BUTTON_KINDS for any other code.
inline Button ButtonOfCode(int code) {
    // The kernel's order is left, right, middle; the replay's follows TapTally.
    static const Button BY_CODE[BUTTON_KINDS] = {BUTTON_LEFT, BUTTON_RIGHT, BUTTON_MIDDLE,
                                                 BUTTON_SIDE, BUTTON_EXTRA, BUTTON_FORWARD,
                                                 BUTTON_BACK};
    return code >= BTN_LEFT_CODE && code <= BTN_BACK_CODE ? BY_CODE[code - BTN_LEFT_CODE]
                                                          : BUTTON_KINDS;
}

} // namespace replay
