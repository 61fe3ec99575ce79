// The numbers of the errors the program reports, as the error box shows them.
#pragma once

enum ErrorNumber {
    ERROR_LEFT_TOO_FAST = 10,
    ERROR_LEFT_UP_BEFORE_DOWN = 11,
    ERROR_LEFT_DOWN_BEFORE_UP = 12,
    ERROR_MIDDLE_TOO_FAST = 20,
    ERROR_MIDDLE_UP_BEFORE_DOWN = 21,
    ERROR_MIDDLE_DOWN_BEFORE_UP = 22,
    ERROR_RIGHT_TOO_FAST = 30,
    ERROR_RIGHT_UP_BEFORE_DOWN = 31,
    ERROR_RIGHT_DOWN_BEFORE_UP = 32,
    ERROR_SLOW_CALIBRATION = 80,
    ERROR_NO_MOUSE = 99,
};
