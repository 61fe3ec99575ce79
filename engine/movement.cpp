#include "engine/movement.h"

#include "base/test_state.h"
#include "display/movement_row.h"

namespace {

int Absolute(int value) {
    return value < 0 ? -value : value;
}

} // namespace

void ResetMovementValues() {
    State.MostChangeX = 0;
    State.MostChangeY = 0;
    State.ChangeX = 0;
    State.ChangeY = 0;
}

void HandleMouseMove(HWND window, LPARAM lParam) {
    int x = LOWORD(lParam);
    int y = HIWORD(lParam);

    DrawValuePair(window, CELL_POSITION, x, y);
    State.ChangeX = Absolute(State.LastX - x);
    State.ChangeY = Absolute(State.LastY - y);
    DrawValuePair(window, CELL_CHANGE, State.ChangeX, State.ChangeY);
    DrawMovementBars(window, State.ChangeX, State.ChangeY, BARS_LIVE);
    if (State.MostChangeX < State.ChangeX) {
        State.MostChangeX = State.ChangeX;
    }
    if (State.MostChangeY < State.ChangeY) {
        State.MostChangeY = State.ChangeY;
    }
    DrawValuePair(window, CELL_MOST_CHANGE, State.MostChangeX, State.MostChangeY);
    State.LastX = x;
    State.LastY = y;
}
