// The scripted user: steps that run when a loop would wait, and queued input.
#include "world.h"

namespace headless::detail {

void RunNextStep() {
    World &world = W();
    if (world.Steps.empty()) {
        std::string caption = TopBoxCaption();
        std::string message = "the script has no step left while a message loop waits";
        if (!world.Boxes.empty()) {
            message += ", with \"" + caption + "\" open";
        }
        throw ScriptExhausted(message);
    }
    Step step = std::move(world.Steps.front());
    world.Steps.pop_front();
    step();
}

} // namespace headless::detail

namespace headless {

using namespace detail;

void AddStep(Step step) {
    W().Steps.push_back(std::move(step));
}

void AddSteps(std::vector<Step> steps) {
    for (Step &step : steps) {
        W().Steps.push_back(std::move(step));
    }
}

size_t StepsLeft() {
    return W().Steps.size();
}

void PumpMessages() {
    MSG msg;
    while (FetchMessage(msg, nullptr, 0, 0, true)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage((int)msg.wParam); // left for the program's own loop
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool InQueuedMessage() {
    return W().RunningQueued;
}

void QueueMouse(HWND window, UINT message, int x, int y, WPARAM keys) {
    if (message < WM_MOUSEFIRST || message > WM_MBUTTONDBLCLK) {
        throw std::logic_error("QueueMouse: message " + std::to_string(message) +
                               " is no mouse message");
    }
    World &world = W();
    POINT origin = ClientOrigin(LiveWindow("QueueMouse", window));
    POINT screen{origin.x + x, origin.y + y};
    world.Cursor = screen;
    LPARAM lParam = MAKELPARAM(x, y);
    // The system merges a movement into the one still waiting, as Windows does.
    if (message == WM_MOUSEMOVE && !world.Input.empty()) {
        InputEvent &last = world.Input.back();
        if (!last.Key && last.Message == WM_MOUSEMOVE && last.Window == window &&
            last.WParam == keys) {
            last.LParam = lParam;
            last.Screen = screen;
            return;
        }
    }
    world.Input.push_back(InputEvent{window, message, keys, lParam, screen, false});
}

void QueueKey(UINT virtualKey, char character) {
    if (!character) {
        switch (virtualKey) {
        case VK_RETURN:
            character = '\r';
            break;
        case VK_ESCAPE:
            character = 27;
            break;
        case VK_BACK:
            character = '\b';
            break;
        case VK_TAB:
            character = '\t';
            break;
        case VK_SPACE:
            character = ' ';
            break;
        default:
            break;
        }
    }
    // The character rides in the scan-code bits, where TranslateMessage finds it.
    LPARAM down = 1 | ((LPARAM)(unsigned char)character << 16);
    LPARAM up = down | (LPARAM)0xC0000000u;
    World &world = W();
    world.Input.push_back(InputEvent{nullptr, WM_KEYDOWN, virtualKey, down, world.Cursor, true});
    world.Input.push_back(InputEvent{nullptr, WM_KEYUP, virtualKey, up, world.Cursor, true});
}

void QueueCloseBox(HWND window) {
    Window &target = LiveWindow("QueueCloseBox", window);
    if (!(target.Style & WS_SYSMENU)) {
        throw std::logic_error("QueueCloseBox: the window has no close box");
    }
    POINT screen{target.Rect.right - 10, target.Rect.top + 10};
    W().Cursor = screen;
    W().Input.push_back(InputEvent{window, WM_SYSCOMMAND, SC_CLOSE, 0, screen, false});
}

} // namespace headless
