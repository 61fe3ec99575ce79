// A window made the way TapTally makes its main window, which writes down the order in
// which the window system delivers its messages. The Wine tests read the log to prove
// the order that the headless stand-in reproduces:
//   - what CreateWindowExA, ShowWindow and UpdateWindow each deliver (WM_SIZE, WM_PAINT);
//   - a waiting GetMessageA takes posted messages first, then input, then WM_PAINT;
//   - a message box runs its own loop that still dispatches posted messages, an owned
//     box disables its owner and a box without owner does not;
//   - what the owner receives after the box is closed.
// The test closes the boxes with real key presses and ends the program with the X key.
//
//   order_window.exe <log file>
#include <windows.h>

#include <cstdio>

namespace {

FILE *Log;
HWND MainWindow;
bool FirstPaintDone;
bool QueueCheckRunning;
bool BoxesDone;

const UINT MSG_QUEUE_CHECK = WM_APP + 1;
const UINT MSG_POSTED = WM_APP + 2;
const UINT MSG_OPEN_BOXES = WM_APP + 3;
const UINT MSG_DURING_BOX = WM_APP + 4;

void Note(const char *format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(Log, format, args);
    va_end(args);
    std::fputc('\n', Log);
    std::fflush(Log);
}

// Queues one posted message, one input message and one paint request at the same
// moment; the log then shows which the loop handles first.
void StartQueueCheck(HWND window) {
    DWORD position = GetMessagePos();
    POINT cursor;
    GetCursorPos(&cursor);
    Note("first posted message position %d,%d cursor %ld,%ld", static_cast<short>(LOWORD(position)),
         static_cast<short>(HIWORD(position)), cursor.x, cursor.y);
    QueueCheckRunning = true;
    InvalidateRect(window, nullptr, FALSE);
    RECT client;
    GetClientRect(window, &client);
    POINT centre{client.right / 2, client.bottom / 2};
    ClientToScreen(window, &centre);
    SetCursorPos(centre.x, centre.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    input.mi.dx = 3;
    input.mi.dy = 3;
    SendInput(1, &input, sizeof input);
    Sleep(200); // the injected input reaches the queue through the server
    PostMessageA(window, MSG_POSTED, 0, 0);
    Note("queue-check queued");
}

void OpenBoxes(HWND window) {
    PostMessageA(window, MSG_DURING_BOX, 1, 0);
    Note("owned-box open");
    MessageBoxA(window, "Owned box of the order test", "Owned Box", MB_OK | MB_ICONINFORMATION);
    Note("owned-box closed");
    PostMessageA(window, MSG_DURING_BOX, 2, 0);
    Note("unowned-box open");
    MessageBoxA(nullptr, "Box without owner", "Unowned Box", MB_OK | MB_ICONINFORMATION);
    Note("unowned-box closed");
    BoxesDone = true;
}

LRESULT CALLBACK OrderWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        Note("WM_CREATE");
        return 0;
    case WM_SIZE:
        Note("WM_SIZE %u %u", LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_PAINT: {
        RECT update;
        BOOL needed = GetUpdateRect(window, &update, FALSE);
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        HBRUSH brush = CreateSolidBrush(RGB(0, 160, 160));
        RECT client;
        GetClientRect(window, &client);
        FillRect(dc, &client, brush);
        DeleteObject(brush);
        EndPaint(window, &paint);
        Note("WM_PAINT needed=%d update=%ld,%ld,%ld,%ld", needed, update.left, update.top,
             update.right, update.bottom);
        if (!FirstPaintDone) {
            FirstPaintDone = true;
        } else if (QueueCheckRunning) {
            QueueCheckRunning = false;
            Note("queue-check done");
            PostMessageA(window, MSG_OPEN_BOXES, 0, 0);
        }
        return 0;
    }
    case WM_MOUSEMOVE:
        if (QueueCheckRunning)
            Note("WM_MOUSEMOVE");
        return 0;
    case WM_CHAR:
        Note("WM_CHAR %u", static_cast<unsigned>(wParam));
        if ((wParam == 'x' || wParam == 'X') && BoxesDone)
            DestroyWindow(window);
        return 0;
    case MSG_QUEUE_CHECK:
        StartQueueCheck(window);
        return 0;
    case MSG_POSTED: {
        DWORD position = GetMessagePos();
        POINT cursor;
        GetCursorPos(&cursor);
        Note("posted");
        Note("posted message position %d,%d cursor %ld,%ld", static_cast<short>(LOWORD(position)),
             static_cast<short>(HIWORD(position)), cursor.x, cursor.y);
        return 0;
    }
    case MSG_OPEN_BOXES:
        OpenBoxes(window);
        return 0;
    case MSG_DURING_BOX:
        Note("posted-during-box %u owner-enabled=%d", static_cast<unsigned>(wParam),
             IsWindowEnabled(window) ? 1 : 0);
        return 0;
    case WM_DESTROY:
        Note("WM_DESTROY");
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
    Log = std::fopen(commandLine, "w");
    if (!Log)
        return 1;
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = OrderWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "OrderWindow";
    RegisterClassA(&windowClass);
    HMENU menu = CreateMenu();
    AppendMenuA(menu, MF_STRING, 1, "E&xit  ");
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU);
    Note("create begin");
    MainWindow = CreateWindowExA(0, "OrderWindow", "Order Window", WS_OVERLAPPEDWINDOW, 0, 0, width,
                                 height, nullptr, menu, instance, nullptr);
    Note("create end");
    PostMessageA(MainWindow, MSG_QUEUE_CHECK, 0, 0);
    Note("show begin");
    ShowWindow(MainWindow, show);
    Note("show end");
    Note("update begin");
    UpdateWindow(MainWindow);
    Note("update end");
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    Note("exit");
    std::fclose(Log);
    return 0;
}
