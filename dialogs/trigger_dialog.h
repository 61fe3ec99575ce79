// The trigger setup dialog: the interval below which a button counts as too fast.
#pragma once

#include <windows.h>

const int TRIGGER_MIN_MS = 10;
const int TRIGGER_MAX_MS = 200;

INT_PTR CALLBACK TriggerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The decimal value of an entry: leading white space, one optional sign, digits up to
// the first non-digit; no digits give 0. A number beyond the 32-bit range gives the
// nearest 32-bit value instead of wrapping, so it always stays out of range.
int ConvertEntry(const char *text);
