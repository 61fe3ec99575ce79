#include "dialogs/info_pages.h"

#include <stdio.h>
#include <string.h>

#include "base/maker_lines.h"
#include "dialogs/dialog_paint.h"
#include "base/fractions.h"
#include "display/screen_paint.h"
#include "resources/resource.h"

const char *const InfoPageTable[16] = {
#include "resources/info_pages.inc"
    "",
};

int InfoPageIndex;

namespace {

const size_t LINE_LIMIT = 256;

int CountPages() {
    int count = 0;
    while (InfoPageTable[count][0] != '\0') {
        ++count;
    }
    return count;
}

void DrawPageLine(HDC dc, const char *line, int centred, int width, int y) {
    int length = (int)strlen(line);
    SIZE size = {0, 0};
    GetTextExtentPointA(dc, line, length, &size);
    int x = centred ? (width - size.cx) / 2 : width / 13;
    TextOutA(dc, x, y, line, length);
}

void PaintInfoDialog(HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginGreyDialogPaint(dialog, &paint);
    if (!PaintInfoPage(dialog, dc, InfoPageIndex)) {
        MessageBeep(MB_ICONASTERISK);
        if (InfoPageIndex > 0) {
            --InfoPageIndex;
        }
    }
    EndPaint(dialog, &paint);
}

INT_PTR RunInfoCommand(HWND dialog, unsigned command) {
    switch (command) {
    case IDCANCEL:
    case ID_INFO_RETURN:
        EndDialog(dialog, 1);
        return TRUE;
    case ID_INFO_BACK:
        if (InfoPageIndex > 0) {
            --InfoPageIndex;
        } else {
            MessageBeep(MB_ICONASTERISK);
        }
        InvalidateRgn(dialog, nullptr, TRUE);
        return TRUE;
    case ID_INFO_FORWARD:
        ++InfoPageIndex;
        InvalidateRgn(dialog, nullptr, TRUE);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

int PaintInfoPage(HWND dialog, HDC dc, int index) {
    int count = CountPages();
    int result = 1;
    if (index >= count) {
        index = count - 1;
        result = 0;
    }
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    int lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
    RECT client;
    GetClientRect(dialog, &client);
    int width = client.right - client.left + 1;
    int height = client.bottom - client.top + 1;

    char line[LINE_LIMIT];
    size_t length = 0;
    int centred = 0;
    int row = 0;
    for (const char *c = InfoPageTable[index]; *c != '\0'; ++c) {
        if (*c == '\t') {
            centred = 1;
        } else if (*c == '\n') {
            line[length] = '\0';
            DrawPageLine(dc, line, centred, width, row * lineHeight);
            ++row;
            length = 0;
            centred = 0;
        } else if (length < LINE_LIMIT - 1) {
            line[length++] = *c;
        }
    }

    char footer[32];
    snprintf(footer, sizeof footer, "Page %d of %d", index + 1, count);
    TextAt(dc, TruncatedProduct(0.8, width), TruncatedProduct(0.9, height), footer);
    return result;
}

INT_PTR CALLBACK InfoDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        InfoPageIndex = 0;
        SetFocus(GetDlgItem(dialog, ID_INFO_FORWARD));
        return FALSE;
    case WM_COMMAND:
        return RunInfoCommand(dialog, LOWORD(wParam));
    case WM_PAINT:
        PaintInfoDialog(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}
