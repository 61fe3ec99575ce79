// The start-up calibration (eleven synthetic left presses timed back to back) and the
// checks made after every completed paint: mouse presence and a slow calibration.
#pragma once

#include <windows.h>

const int CALIBRATION_PRESSES = 11;
const int CALIBRATION_LIMIT_MS = 30; // most allowed average of one press and release

// Mouse presence, the first synthetic press, or the slow-calibration test.
void CheckAfterPaint(HWND window);

// The calibration steps inside the left button's handling, while calibrating.
void CalibrationPress(HWND window);
void CalibrationRelease(HWND window);

// The program's own requests for a repaint (area null: the whole window).
void RequestRepaint(HWND window, const RECT *area);

// Called when an error box has been closed. Closing the box makes the platform repaint
// what it covered; that repaint must not raise the slow-calibration error again, or the
// box would come back at once, without end.
void NoteErrorBoxClosed(int code);
