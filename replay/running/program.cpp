// The replay's one view into TapTally: its entry point and its state.
#include "replay/running/program.h"

#include <headless/driver.h>

#include "base/test_state.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace replay {

void ResetProgram() {
    State = TestState{};
}

void RunProgram() {
    WinMain(headless::ProgramInstance(), nullptr, (LPSTR) "", SW_SHOWNORMAL);
}

int ProgramErrorCode() {
    return State.ErrorCode;
}

int ProgramTriggerMs() {
    return State.TriggerThreshold;
}

POINT ProgramPointer() {
    return POINT{State.LastX, State.LastY};
}

RECT ProgramIcon() {
    return State.Layout.IconRect;
}

POINT ProgramMostChange() {
    return POINT{State.MostChangeX, State.MostChangeY};
}

} // namespace replay
