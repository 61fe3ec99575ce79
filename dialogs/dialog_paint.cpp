#include "dialogs/dialog_paint.h"

HDC BeginGreyDialogPaint(HWND dialog, PAINTSTRUCT *paint) {
    HDC dc = BeginPaint(dialog, paint);
    SetBkColor(dc, DIALOG_BACK_COLOR);
    RECT client;
    GetClientRect(dialog, &client);
    HBRUSH brush = CreateSolidBrush(DIALOG_BACK_COLOR);
    FillRect(dc, &client, brush);
    DeleteObject(brush);
    return dc;
}
