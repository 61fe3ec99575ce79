// The information pages: fifteen fixed pages shown one at a time in a modal dialog.
#pragma once

#include <windows.h>

// The pages in display order, ended by an empty text.
extern const char *const InfoPageTable[16];
extern int InfoPageIndex;

INT_PTR CALLBACK InfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Draws page `index`, or the last page when the index lies at or past the page count;
// 1 when the index named a page, 0 otherwise.
int PaintInfoPage(HWND dialog, HDC dc, int index);
