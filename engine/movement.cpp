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
    const ScreenLayout &layout = State.Layout;
    int x = LOWORD(lParam);
    int y = HIWORD(lParam);
    int column = layout.ClientWidth / 3;
    int row = layout.MovementTop + 2 * layout.RowUnit;

    DrawValuePair(window, column / 2, row, x, y);
    State.ChangeX = Absolute(State.LastX - x);
    State.ChangeY = Absolute(State.LastY - y);
    DrawValuePair(window, column / 2 + layout.MiddlePanelX, row, State.ChangeX, State.ChangeY);
    DrawMovementBars(window, layout.BarOriginX, layout.MovementTop + 5 * layout.RowUnit - 10,
                     State.ChangeX, State.ChangeY, BARS_LIVE);
    if (State.MostChangeX < State.ChangeX) {
        State.MostChangeX = State.ChangeX;
    }
    if (State.MostChangeY < State.ChangeY) {
        State.MostChangeY = State.ChangeY;
    }
    DrawValuePair(window, column / 2 + layout.RightPanelX, row, State.MostChangeX,
                  State.MostChangeY);
    State.LastX = x;
    State.LastY = y;
}
