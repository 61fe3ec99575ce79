// The driver information report and the About box.
#pragma once

#include <windows.h>

#define PROGRAM_NAME "TapTally"

// The About box's own line: name, version and kind of program.
extern char AboutLine[1000];

// The system's mouse settings and the program's calibration; error 99 instead when no
// mouse was found.
void ShowDriverInfo(HWND window);

// Name and version above the maker's lines.
void ShowAbout(HWND window);

// The report text of the driver information, for the given values.
void FormatDriverReport(char *text, size_t size, int calibrationTotal, UINT doubleClickTime,
                        const int mouseParams[3], int swapped);
