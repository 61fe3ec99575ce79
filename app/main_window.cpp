// The main window procedure is the hub: it hands each message to the engine, the display
// or a dialog, which call down only (to the display and the program-wide state in base/).
//
// Start-up, in order: WinMain registers the class and creates the window; WM_CREATE sets
// the trigger, starts the calibration and posts a reset. UpdateWindow sends the first
// WM_PAINT; after that real paint CheckAfterPaint finds the mouse (error 99 without one)
// and posts the first synthetic left press. The message loop then runs the reset, and
// the calibration's synthetic presses and releases post one another until the eleventh
// press ends it and posts another reset; the paint that follows checks the calibration's
// speed (error 80 when it was slow).
#include "app/main_window.h"

#include <stdio.h>

#include "base/post_command.h"
#include "base/test_state.h"
#include "base/version_lookup.h"
#include "dialogs/info_pages.h"
#include "dialogs/message_catalog.h"
#include "dialogs/reports.h"
#include "dialogs/trigger_dialog.h"
#include "display/screen_paint.h"
#include "engine/buttons.h"
#include "engine/calibration.h"
#include "engine/movement.h"
#include "resources/resource.h"
#include "shortcuts/shortcut_script.h"

const char MAIN_CLASS_NAME[] = "TapTally";
const char MAIN_WINDOW_TITLE[] = "TapTally - Mouse Testing Program";

namespace {

char ProgramPath[775];

const int DEFAULT_TRIGGER_MS = 85;

void InsertShortcutEntries(HWND window) {
    DWORD version = GetVersion();
    BYTE major = LOBYTE(LOWORD(version));
    BYTE minor = HIBYTE(LOWORD(version));
    if (major <= 3 && minor <= 15) {
        return;
    }
    HMENU menu = GetMenu(window);
    InsertMenuA(menu, CMD_ABOUT, MF_BYCOMMAND | MF_STRING, CMD_INSTALL_SHORTCUTS,
                "Install Shortcut Icons");
    InsertMenuA(menu, CMD_ABOUT, MF_BYCOMMAND | MF_STRING, CMD_UNINSTALL_SHORTCUTS,
                "UnInstall Shortcut Icons");
    InsertMenuA(menu, CMD_ABOUT, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
}

void CreateMainWindow(HWND window, const CREATESTRUCTA *creation) {
    State.Instance = creation->hInstance;

    // The full path finds the program's own version block; its title would not, since
    // Windows hides the known extension ".exe" by default and the version services would
    // then look for "TapTally.dll".
    GetModuleFileNameA(State.Instance, ProgramPath, sizeof ProgramPath);
    LoadVersionText(ProgramPath);

    State.TriggerThreshold = DEFAULT_TRIGGER_MS;
    State.Calibrating = 1;
    State.CalibrationCount = 0;
    State.CalibrationTotal = 0;
    State.NoMouseReported = 0;

    InsertShortcutEntries(window);

    DWORD now = GetTickCount();
    for (ButtonChannel &channel : State.Buttons) {
        channel.LastDownTick = now;
    }

    PostCommand(window, CMD_RESET_VALUES, 0);

    // Presses made while the program was starting are not timed.
    MSG pending;
    while (PeekMessageA(&pending, window, WM_MOUSEMOVE, WM_MBUTTONDBLCLK, PM_REMOVE)) {
    }
}

void ResetTestValues(HWND window) {
    for (ButtonChannel &channel : State.Buttons) {
        channel.LeastInterval = LEAST_NONE;
        channel.StepIndex = 0;
        channel.IsDown = 0;
    }
    ResetMovementValues();
    RequestRepaint(window, nullptr);
}

void ReportError(HWND window, int code) {
    State.ErrorCode = code;
    char text[200];
    snprintf(text, sizeof text, "%s", BuildErrorText());
    ShowFilledMessage(window, MSG_ERROR_REPORT, text, BOX_OWNED_INFO);
    NoteErrorBoxClosed(code);
    for (ButtonChannel &channel : State.Buttons) {
        channel.IsDown = 0;
    }
}

void OpenDialog(HWND window, const char *templateName, DLGPROC procedure) {
    if (DialogBoxParamA(State.Instance, templateName, window, procedure, 0) != 0) {
        RequestRepaint(window, nullptr);
    }
}

void RunCommand(HWND window, unsigned command, LPARAM lParam) {
    switch (command) {
    case CMD_EXIT:
        DestroyWindow(window);
        break;
    case CMD_SETUP:
        OpenDialog(window, "enterit", TriggerDialogProc);
        break;
    case CMD_INFORMATION: {
        OpenDialog(window, "DTLINFO", InfoDialogProc);
        // The pointer's screen position, not converted to client coordinates.
        POINT pointer;
        GetCursorPos(&pointer);
        State.LastX = pointer.x;
        State.LastY = pointer.y;
        break;
    }
    case CMD_DRIVER_INFO:
        ShowDriverInfo(window);
        break;
    case CMD_RESET_VALUES:
        ResetTestValues(window);
        break;
    case CMD_REPORT_ERROR:
        ReportError(window, (int)lParam);
        break;
    case CMD_INSTALL_SHORTCUTS:
        if (ShowFilledMessage(window, MSG_SCRIPT_NOTE, "", BOX_QUESTION) == IDYES) {
            RunShortcutScript(SHORTCUT_BOTH);
        }
        break;
    case CMD_UNINSTALL_SHORTCUTS:
        RunShortcutScript(SHORTCUT_REMOVE);
        break;
    case CMD_ABOUT:
        ShowAbout(window);
        break;
    case CMD_RESET_WITH_NOTICE:
        ShowCatalogMessage(MSG_RESET_NOTICE);
        PostCommand(window, CMD_RESET_VALUES, 0);
        break;
    default:
        break;
    }
}

} // namespace

ATOM RegisterMainWindowClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_PROGRAM));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
    windowClass.lpszMenuName = "TAPTALLYMENU";
    windowClass.lpszClassName = MAIN_CLASS_NAME;
    return RegisterClassA(&windowClass);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        CreateMainWindow(window, (const CREATESTRUCTA *)lParam);
        return 0;
    case WM_DESTROY:
        RunShortcutScript(SHORTCUT_CLEANUP);
        PostQuitMessage(0);
        return 0;
    case WM_SIZE:
        State.Layout.ClientWidth = LOWORD(lParam);
        State.Layout.ClientHeight = HIWORD(lParam);
        return 0;
    case WM_PAINT:
        if (PaintMainScreen(window)) {
            CheckAfterPaint(window);
        }
        return 0;
    case WM_COMMAND:
        RunCommand(window, LOWORD(wParam), lParam);
        return 0;
    case WM_MOUSEMOVE:
        HandleMouseMove(window, lParam);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        HandleButtonMessage(window, message, lParam);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
