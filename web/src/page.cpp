// TapTally in a web page: the program runs unchanged against the headless stand-in, and
// the browser's events become its input. Whenever the program waits for a message and
// none is queued, one browser event is taken from the page's queue, the clock is set to
// that event's time, and the event is queued as the input it stands for. With no event
// waiting, the program sleeps until the page has one.
#include <windows.h>

#include "web/src/findings.h"

#include <emscripten.h>
#include <headless/driver.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace {

// Event kinds, as page.js numbers them.
enum EventKind {
    EVENT_PRESS = 1,   // a = button (0 left, 1 middle, 2 right), b, c = screen point
    EVENT_RELEASE = 2, // as EVENT_PRESS
    EVENT_MOVE = 3,    // b, c = screen point, d = buttons held (browser bits)
    EVENT_KEY = 4,     // a = virtual key, b = character or 0
    EVENT_COMMAND = 5, // a = menu command
    EVENT_RESIZE = 6,  // a, b = the canvas's new size
};

struct PageEvent {
    int Kind, A, B, C, D, Tick;
};

const COLORREF DESKTOP_COLOR = RGB(0, 128, 128);

std::vector<COLORREF> Screen;
int ScreenWidth = 0, ScreenHeight = 0;
int PressedBoxButton = 0; // the box button that the left button went down on
size_t ScriptStartsTold = 0;
size_t BeepsTold = 0;
// The stand-in keeps a record of every drawing call, beep and box; a page that runs for
// hours forgets them once this many drawing calls are kept.
const size_t RECORDS_KEPT = 4096;

} // namespace

EM_JS(int, page_take_event, (int *out), {
    const event = Module.taptallyTakeEvent();
    if (!event) {
        return 0;
    }
    for (let i = 0; i < 6; i++) {
        HEAP32[(out >> 2) + i] = event[i] | 0;
    }
    return 1;
});

EM_ASYNC_JS(void, page_wait_for_event, (), { await Module.taptallyWaitForEvent(); });

EM_JS(void, page_screen_changed, (), { Module.taptallyScreenChanged(); });

EM_JS(void, page_ended, (), { Module.taptallyEnded(); });

EM_JS(void, page_beep, (), { Module.taptallyBeep(); });

EM_JS(void, page_script_host_asked, (), { Module.taptallyScriptHostAsked(); });

EM_JS(void, page_box_shown, (int tick, int isDialog, const char *caption, const char *text),
      { Module.taptallyBoxShown(tick, isDialog, UTF8ToString(caption), UTF8ToString(text)); });

namespace {

WPARAM KeysOf(int browserButtons) {
    WPARAM keys = 0;
    if (browserButtons & 1) {
        keys |= MK_LBUTTON;
    }
    if (browserButtons & 2) {
        keys |= MK_RBUTTON;
    }
    if (browserButtons & 4) {
        keys |= MK_MBUTTON;
    }
    return keys;
}

UINT ButtonMessage(int button, bool press) {
    static const UINT presses[] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};
    static const UINT releases[] = {WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP};
    return press ? presses[button] : releases[button];
}

POINT ClientPoint(HWND window, int x, int y) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return POINT{x - origin.x, y - origin.y};
}

bool InClient(HWND window, POINT point) {
    RECT client;
    GetClientRect(window, &client);
    return PtInRect(&client, point) != FALSE;
}

void PassToBox(const PageEvent &event) {
    if (event.A != 0) {
        return; // a box takes the left button only
    }
    int button = headless::BoxButtonAt(event.B, event.C);
    if (event.Kind == EVENT_PRESS) {
        PressedBoxButton = button;
        HWND under = headless::WindowAtScreen(event.B, event.C);
        if (!button && under && headless::DialogControlId(under)) {
            POINT point = ClientPoint(under, event.B, event.C);
            headless::QueueMouse(under, WM_LBUTTONDOWN, point.x, point.y, MK_LBUTTON);
        }
        return;
    }
    if (button && button == PressedBoxButton) {
        headless::AnswerBox(button);
    }
    PressedBoxButton = 0;
}

// The screen takes the canvas's size, one menu bar taller, so that the program's window,
// one menu bar less tall than the screen, fills the canvas.
void SizeScreen(int width, int height) {
    ScreenWidth = std::max(320, width);
    ScreenHeight = std::max(240, height);
    Screen.assign((size_t)ScreenWidth * (size_t)ScreenHeight, 0);
    headless::SetSystemMetric(SM_CXSCREEN, ScreenWidth);
    headless::SetSystemMetric(SM_CYSCREEN, ScreenHeight + GetSystemMetrics(SM_CYMENU));
}

void PassEvent(const PageEvent &event) {
    HWND main = headless::MainWindow();
    if (!main || !IsWindow(main)) {
        return;
    }
    headless::SetTick((DWORD)event.Tick);
    switch (event.Kind) {
    case EVENT_PRESS:
    case EVENT_RELEASE: {
        if (event.A < 0 || event.A > 2) {
            return;
        }
        if (headless::BoxOpen()) {
            PassToBox(event);
            return;
        }
        POINT point = ClientPoint(main, event.B, event.C);
        // A press counts over the client area only; its release counts anywhere.
        if (event.Kind == EVENT_PRESS && !InClient(main, point)) {
            return;
        }
        headless::QueueMouse(main, ButtonMessage(event.A, event.Kind == EVENT_PRESS), point.x,
                             point.y, 0);
        return;
    }
    case EVENT_MOVE: {
        POINT point = ClientPoint(main, event.B, event.C);
        if (!headless::BoxOpen() && InClient(main, point)) {
            headless::QueueMouse(main, WM_MOUSEMOVE, point.x, point.y, KeysOf(event.D));
        }
        return;
    }
    case EVENT_KEY:
        headless::QueueKey((UINT)event.A, (char)event.B);
        return;
    case EVENT_RESIZE:
        // As a user drags the window's frame: the program gets WM_SIZE and paints anew.
        SizeScreen(event.A, event.B);
        SetWindowPos(main, nullptr, 0, 0, ScreenWidth, ScreenHeight,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    case EVENT_COMMAND:
        try {
            headless::QueueMenuCommand(main, (UINT)event.A);
        } catch (const std::logic_error &) {
            // An entry that went away or was disabled since the menu was opened.
        }
        return;
    default:
        return;
    }
}

// The step the stand-in runs whenever the program waits and nothing is queued.
void TakeBrowserEvent() {
    headless::AddStep(TakeBrowserEvent);
    if (headless::WinExecCalls().size() > ScriptStartsTold) {
        ScriptStartsTold = headless::WinExecCalls().size();
        page_script_host_asked();
    }
    if (headless::Beeps().size() > BeepsTold) {
        BeepsTold = headless::Beeps().size();
        page_beep();
    }
    if (headless::DrawLog().size() > RECORDS_KEPT && !headless::BoxOpen()) {
        headless::ForgetRecords();
        ScriptStartsTold = BeepsTold = 0;
    }
    PageEvent event{};
    while (!page_take_event(&event.Kind)) {
        page_screen_changed();
        page_wait_for_event();
    }
    PassEvent(event);
}

} // namespace

extern "C" {

// The screen as it is now, as RGBA bytes for an ImageData.
EMSCRIPTEN_KEEPALIVE const uint8_t *page_compose() {
    headless::ComposeScreen(Screen.data(), ScreenWidth, ScreenHeight, DESKTOP_COLOR);
    for (COLORREF &pixel : Screen) {
        pixel |= 0xFF000000u;
    }
    return reinterpret_cast<const uint8_t *>(Screen.data());
}

EMSCRIPTEN_KEEPALIVE int page_screen_width() {
    return ScreenWidth;
}

EMSCRIPTEN_KEEPALIVE int page_screen_height() {
    return ScreenHeight;
}

// How many drawing calls the stand-in keeps on record now.
EMSCRIPTEN_KEEPALIVE int page_records_kept() {
    return (int)headless::DrawLog().size();
}

EMSCRIPTEN_KEEPALIVE int page_box_open() {
    return headless::BoxOpen() ? 1 : 0;
}

// The menu bar entry at a screen point: its position, or -1.
EMSCRIPTEN_KEEPALIVE int page_menu_bar_at(int x, int y) {
    HWND main = headless::MainWindow();
    if (!main || !IsWindow(main)) {
        return -1;
    }
    std::vector<headless::MenuBarEntry> entries = headless::MenuBarEntries(main);
    for (size_t i = 0; i < entries.size(); ++i) {
        POINT point{x, y};
        if (PtInRect(&entries[i].Screen, point)) {
            return (int)i;
        }
    }
    return -1;
}

// The menu bar and its popups as JSON, for the page's menus.
EMSCRIPTEN_KEEPALIVE const char *page_menu_json() {
    static std::string json;
    json = "[";
    HWND main = headless::MainWindow();
    if (main && IsWindow(main)) {
        std::vector<headless::MenuBarEntry> bar = headless::MenuBarEntries(main);
        auto quoted = [](const std::string &text) {
            std::string out = "\"";
            for (char c : text) {
                if (c == '"' || c == '\\') {
                    out += '\\';
                }
                if ((unsigned char)c >= 32) {
                    out += c;
                }
            }
            return out + "\"";
        };
        for (size_t i = 0; i < bar.size(); ++i) {
            const headless::MenuBarEntry &entry = bar[i];
            json += i ? "," : "";
            json += "{\"label\":" + quoted(entry.Label) +
                    ",\"left\":" + std::to_string(entry.Screen.left) +
                    ",\"top\":" + std::to_string(entry.Screen.top) +
                    ",\"right\":" + std::to_string(entry.Screen.right) +
                    ",\"bottom\":" + std::to_string(entry.Screen.bottom) +
                    ",\"command\":" + std::to_string(entry.Command) +
                    ",\"disabled\":" + (entry.Disabled ? "true" : "false") + ",\"popup\":[";
            std::vector<headless::MenuPopupEntry> popup = headless::MenuPopupEntries(main, i);
            for (size_t j = 0; j < popup.size(); ++j) {
                const headless::MenuPopupEntry &item = popup[j];
                json += j ? "," : "";
                json += "{\"label\":" + quoted(item.Label) +
                        ",\"accelerator\":" + quoted(item.Accelerator) +
                        ",\"command\":" + std::to_string(item.Command) +
                        ",\"separator\":" + (item.Separator ? "true" : "false") +
                        ",\"disabled\":" + (item.Disabled ? "true" : "false") +
                        ",\"checked\":" + (item.Checked ? "true" : "false") + "}";
            }
            json += "]}";
        }
    }
    json += "]";
    return json.c_str();
}

} // extern "C"

int main(int argc, char **argv) {
    if (argc < 4) {
        return 2;
    }
    headless::ResetWorld();
    headless::SetTick((DWORD)atoi(argv[3]));
    SizeScreen(atoi(argv[1]), atoi(argv[2]));
    headless::OnBoxShown([](const headless::BoxInfo &box) {
        NoteBoxForFindings(box, (int)headless::Tick());
        page_box_shown((int)headless::Tick(), box.IsDialog ? 1 : 0, box.Caption.c_str(),
                       box.Text.c_str());
    });
    headless::AddStep(TakeBrowserEvent);
    int result = WinMain(headless::ProgramInstance(), nullptr, (LPSTR) "", SW_SHOWNORMAL);
    page_ended();
    return result;
}
