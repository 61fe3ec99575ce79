#include <windows.h>

#include "app/main_window.h"
#include "base/test_state.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showState) {
    if (!RegisterMainWindowClass(instance)) {
        return 0;
    }

    State.Instance = instance;
    State.Layout.ClientWidth = GetSystemMetrics(SM_CXSCREEN);
    State.Layout.ClientHeight = GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU);

    HWND window = CreateWindowExA(0, MAIN_CLASS_NAME, MAIN_WINDOW_TITLE, WS_OVERLAPPEDWINDOW, 0, 0,
                                  State.Layout.ClientWidth, State.Layout.ClientHeight, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) {
        // Without its window the program has nothing to show or test.
        return 0;
    }
    HACCEL accelerators = LoadAcceleratorsA(instance, "acceltable");

    ShowWindow(window, showState);
    UpdateWindow(window);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        if (!TranslateAcceleratorA(window, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return (int)message.wParam;
}
