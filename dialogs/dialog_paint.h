// The light grey face that the program's own dialogs paint under their texts.
#pragma once

#include <windows.h>

const COLORREF DIALOG_BACK_COLOR = RGB(192, 192, 192);

// BeginPaint, then a grey text background and the whole client area filled grey.
HDC BeginGreyDialogPaint(HWND dialog, PAINTSTRUCT *paint);
