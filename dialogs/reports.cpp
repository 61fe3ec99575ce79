#include "dialogs/reports.h"

#include <stdio.h>

#include "base/error_codes.h"
#include "base/post_command.h"
#include "base/test_state.h"
#include "base/version_lookup.h"
#include "dialogs/message_catalog.h"
#include "resources/resource.h"

char AboutLine[1000];

namespace {

// The About line names the kind of Windows program this exe is; the native build stands
// in for the 32-bit one.
#ifdef _WIN64
const char PROGRAM_WIDTH[] = "64 bit";
#else
const char PROGRAM_WIDTH[] = "32 bit";
#endif

// First threshold, second threshold, speed: the order SPI_GETMOUSE delivers them in.
int MouseParams[3];

// The swap state without changing it: making the buttons normal tells whether they were
// swapped, and the second call puts back what the user had.
int ButtonsSwapped() {
    BOOL wasSwapped = SwapMouseButton(FALSE);
    SwapMouseButton(wasSwapped);
    return wasSwapped != 0;
}

} // namespace

void FormatDriverReport(char *text, size_t size, int calibrationTotal, UINT doubleClickTime,
                        const int mouseParams[3], int swapped) {
    double calibration = (double)calibrationTotal * 0.1;
    snprintf(text, size,
             "Program Calibration = %.2f ms.\n\nDoubleClickTime = %d ms.\n\nSpeed = "
             "%d,\nThreshold #1 = %d pixels,\nThreshold #2 = %d pixels\n\nButton Reverse = %s\n",
             calibration, (int)doubleClickTime, mouseParams[2], mouseParams[0], mouseParams[1],
             swapped ? "Reversed" : "Normal");
}

void ShowDriverInfo(HWND window) {
    if (State.NoMouseReported) {
        PostCommand(window, CMD_REPORT_ERROR, ERROR_NO_MOUSE);
        return;
    }
    SystemParametersInfoA(SPI_GETMOUSE, 0, MouseParams, 0);
    int swapped = ButtonsSwapped();
    UINT doubleClickTime = GetDoubleClickTime();
    char report[300];
    FormatDriverReport(report, sizeof report, State.CalibrationTotal, doubleClickTime, MouseParams,
                       swapped);
    ShowFilledMessage(window, MSG_DRIVER_INFO, report, BOX_UNOWNED_INFO);
}

void ShowAbout(HWND window) {
    snprintf(AboutLine, sizeof AboutLine, "%s      Ver. %s  (%s)", PROGRAM_NAME, VersionText,
             PROGRAM_WIDTH);
    ShowFilledMessage(window, MSG_ABOUT, AboutLine, BOX_OWNED_INFO);
}
