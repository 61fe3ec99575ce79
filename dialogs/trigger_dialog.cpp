#include "dialogs/trigger_dialog.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>

#include "base/test_state.h"
#include "dialogs/dialog_paint.h"
#include "dialogs/message_catalog.h"
#include "display/screen_paint.h"
#include "resources/resource.h"

namespace {

const int ENTRY_LIMIT = 32;
const int DIALOG_DROP = 20;

void InitTriggerDialog(HWND dialog) {
    RECT rect;
    GetWindowRect(dialog, &rect);
    rect.top += DIALOG_DROP;
    SetWindowPos(dialog, nullptr, rect.left, rect.top, rect.right - rect.left + 1,
                 rect.bottom - rect.top + 1, SWP_NOSIZE);
    char text[100];
    snprintf(text, sizeof text, "%d", State.TriggerThreshold);
    SetDlgItemTextA(dialog, ID_TRIGGER_EDIT, text);
    SetFocus(GetDlgItem(dialog, ID_TRIGGER_EDIT));
}

void AcceptEntry(HWND dialog) {
    char text[100];
    GetDlgItemTextA(dialog, ID_TRIGGER_EDIT, text, ENTRY_LIMIT);
    SetFocus(GetDlgItem(dialog, ID_TRIGGER_EDIT));
    int value = ConvertEntry(text);
    if (value < TRIGGER_MIN_MS || value > TRIGGER_MAX_MS) {
        snprintf(text, sizeof text, " %d", value);
        ShowFilledMessage(dialog, MSG_ENTRY_ERROR, text, BOX_OWNED_INFO);
        return;
    }
    State.TriggerThreshold = value;
    EndDialog(dialog, 1);
}

void PaintTriggerDialog(HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginGreyDialogPaint(dialog, &paint);
    TextAt(dc, 30, 16, "Enter (10-200):");
    TextAt(dc, 35, 50, "Then Press Enter or click 'OK'");
    EndPaint(dialog, &paint);
}

} // namespace

int ConvertEntry(const char *text) {
    // The conversion saturates at the 64-bit range, far beyond every 32-bit value.
    long long value = strtoll(text, nullptr, 10);
    if (value > INT_MAX) {
        return INT_MAX;
    }
    return value < INT_MIN ? INT_MIN : (int)value;
}

INT_PTR CALLBACK TriggerDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        InitTriggerDialog(dialog);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case ID_TRIGGER_OK:
            AcceptEntry(dialog);
            return TRUE;
        case ID_TRIGGER_CANCEL:
        case IDCANCEL:
            EndDialog(dialog, 1);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_PAINT:
        PaintTriggerDialog(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}
