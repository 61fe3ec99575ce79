// A cycle posts one press of each button, downs and ups interleaved with moves (and, in
// plain cycles, resets by key or command where every button is up), waits until TapTally
// has handled all of it, checks the boxes then open and answers them, and posts more
// moves while the time to the next cycle's presses runs. Every few cycles a twist raises
// boxes: an up without its down, a quick second press, a second down before the up, or
// the menu's Reset with its notice. A box opened in the middle of a cycle runs its own
// loop, which goes on dispatching the rest of the cycle to the main window; closing an
// error box marks every button up, and each cycle ends with all of them up anyway.
#include "probe_drive.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <vector>

#include "probe_support.h"

namespace {

// TapTally's trigger value while it is not changed under Setup, and its command ids.
const DWORD TRIGGER_MS = 85;
const WPARAM CMD_RESET_VALUES = 5;
const WPARAM CMD_RESET_WITH_NOTICE = 21;
const char RESET_NOTICE_CAPTION[] = "Reset Test Values";
const char ERROR_CAPTION[] = "Error Message";

// The presses of a button in two cycles are at least this far apart: slower than the
// trigger value, with room for the steps of the tick counter.
const DWORD SLOW_GAP_MS = TRIGGER_MS + 10;
// Two presses handled within this time of each other are surely quicker than the
// trigger value; a pair that took longer may raise its error or not.
const DWORD SURELY_QUICK_MS = TRIGGER_MS - 5;
// The longest wait for TapTally to handle what was posted or to close its boxes.
const DWORD WAIT_LIMIT_MS = 10000;
const size_t MOST_PROBLEMS = 20;
// TapTally's screen is 27 rows high and its button panels end at the 25th.
const int SCREEN_ROWS = 27, PANEL_BOTTOM_ROW = 25;

struct ButtonMessages {
    UINT Down, Up;
    WPARAM Key;
    int Codes; // its error codes: too fast, then up before down, then down before up
};
const ButtonMessages BUTTONS[] = {
    {WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, 10},
    {WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, 20},
    {WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, 30},
};
const int BUTTON_COUNT = 3;
const int TOO_FAST = 0, UP_BEFORE_DOWN = 1, DOWN_BEFORE_UP = 2;
const int NOTICE = 0; // the Reset notice among the error codes of the boxes

// What a cycle does besides one slow press of each button.
enum Twist { PLAIN, QUICK_PAIR, UP_WITHOUT_DOWN, DOUBLE_DOWN, RESET_NOTICE };

// A second down of a button in one cycle: too fast, if it came soon enough after the
// first.
struct QuickPress {
    int Code;
    DWORD FirstPosted;
};

struct Drive {
    HWND Window;
    DWORD Process;
    unsigned Seed, Random;
    int Width, Height;
    int QuietTop; // below the button panels, where a press touches nothing else

    // The buttons as TapTally's messages tell it, and what the current cycle raises.
    bool Down[BUTTON_COUNT];
    DWORD DownPosted[BUTTON_COUNT]; // the button's latest down of the cycle, or 0
    std::vector<QuickPress> Quick;
    std::vector<int> Expected;
    std::vector<int> Possible;
    DWORD PressesHandled; // the latest presses were handled by then

    long Events, Downs, Ups, Moves, Resets, Notices, BoxesAnswered, Uncertain, UncertainRaised;
    std::map<int, long> Raised;
    std::vector<std::string> Problems;
    bool Stopped;
};

unsigned Next(Drive &drive, unsigned bound) {
    drive.Random = drive.Random * 1664525u + 1013904223u;
    return (drive.Random >> 8) % bound;
}

void Problem(Drive &drive, const std::string &text) {
    if (drive.Problems.size() < MOST_PROBLEMS)
        drive.Problems.push_back(text);
}

template <typename Condition> bool WaitFor(Drive &drive, const char *what, Condition done) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (!IsWindow(drive.Window)) {
            Problem(drive, std::string("the main window went away while waiting for ") + what);
            drive.Stopped = true;
            return false;
        }
        if (GetTickCount() - start > WAIT_LIMIT_MS) {
            Problem(drive, std::string("timed out waiting for ") + what);
            drive.Stopped = true;
            return false;
        }
        Sleep(1);
    }
    return true;
}

// Waits until TapTally has handled everything posted so far. A waiting GetMessageA
// takes posted messages before WM_PAINT, so once a spot made invalid here is painted
// again, the queue held no posted message: neither those of the probe nor the commands
// that TapTally posted to itself meanwhile (each error box is open by then).
bool Drain(Drive &drive) {
    RECT spot = {drive.Width - 2, drive.Height - 2, drive.Width - 1, drive.Height - 1};
    InvalidateRect(drive.Window, &spot, FALSE);
    return WaitFor(drive, "the posted messages to be handled",
                   [&] { return !GetUpdateRect(drive.Window, nullptr, FALSE); });
}

void Post(Drive &drive, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!PostMessageA(drive.Window, message, wParam, lParam)) {
        Problem(drive, "PostMessageA failed with error " + Number(GetLastError()));
        drive.Stopped = true;
        return;
    }
    ++drive.Events;
}

WPARAM KeysDown(const Drive &drive) {
    WPARAM keys = 0;
    for (int button = 0; button < BUTTON_COUNT; ++button)
        if (drive.Down[button])
            keys |= BUTTONS[button].Key;
    return keys;
}

bool AllUp(const Drive &drive) {
    return !KeysDown(drive);
}

LPARAM QuietPoint(Drive &drive) {
    int x = static_cast<int>(Next(drive, drive.Width));
    int y = drive.QuietTop + static_cast<int>(Next(drive, drive.Height - drive.QuietTop));
    return MAKELPARAM(x, y);
}

void Moves(Drive &drive, int least, int most) {
    int count = least + static_cast<int>(Next(drive, most - least + 1));
    for (int i = 0; i < count; ++i) {
        LPARAM point = MAKELPARAM(Next(drive, drive.Width), Next(drive, drive.Height));
        Post(drive, WM_MOUSEMOVE, KeysDown(drive), point);
        ++drive.Moves;
    }
}

void PressDown(Drive &drive, int button) {
    const ButtonMessages &messages = BUTTONS[button];
    if (drive.Down[button])
        drive.Expected.push_back(messages.Codes + DOWN_BEFORE_UP);
    DWORD now = GetTickCount();
    if (drive.DownPosted[button])
        drive.Quick.push_back({messages.Codes + TOO_FAST, drive.DownPosted[button]});
    drive.DownPosted[button] = now;
    drive.Down[button] = true;
    Post(drive, messages.Down, KeysDown(drive), QuietPoint(drive));
    ++drive.Downs;
}

void PressUp(Drive &drive, int button) {
    const ButtonMessages &messages = BUTTONS[button];
    if (!drive.Down[button])
        drive.Expected.push_back(messages.Codes + UP_BEFORE_DOWN);
    drive.Down[button] = false;
    Post(drive, messages.Up, KeysDown(drive), QuietPoint(drive));
    ++drive.Ups;
}

// A reset while every button is up: by the R or C key (through the accelerators of the
// main loop) or by the command itself.
void Reset(Drive &drive) {
    switch (Next(drive, 3)) {
    case 0:
        Post(drive, WM_CHAR, 'r', 1);
        break;
    case 1:
        Post(drive, WM_CHAR, 'c', 1);
        break;
    default:
        Post(drive, WM_COMMAND, CMD_RESET_VALUES, 0);
        break;
    }
    ++drive.Resets;
}

// Every box takes a while to close under Wine without a window manager (its X11 driver
// waits for the window manager to withdraw it, two seconds), so only a few cycles raise
// boxes: every TWIST_EVERY-th, each kind of twist in turn.
const long TWIST_EVERY = 32;
const Twist TWISTS[] = {UP_WITHOUT_DOWN, QUICK_PAIR, RESET_NOTICE, DOUBLE_DOWN};

Twist PickTwist(long cycle, unsigned seed) {
    if ((cycle + 1) % TWIST_EVERY != 0)
        return PLAIN;
    const unsigned long kinds = sizeof TWISTS / sizeof TWISTS[0];
    return TWISTS[(seed + static_cast<unsigned long>(cycle / TWIST_EVERY)) % kinds];
}

// One press of each button, their downs and ups interleaved at random with moves
// between, and the cycle's twist on one of them.
void PostPresses(Drive &drive, Twist twist) {
    int twisted = static_cast<int>(Next(drive, BUTTON_COUNT));
    if (twist == UP_WITHOUT_DOWN)
        PressUp(drive, twisted);
    if (twist == RESET_NOTICE) {
        Post(drive, WM_COMMAND, CMD_RESET_WITH_NOTICE, 0);
        drive.Expected.push_back(NOTICE);
        ++drive.Notices;
    }
    bool pressed[BUTTON_COUNT] = {};
    for (int left = 2 * BUTTON_COUNT; left > 0 && !drive.Stopped; --left) {
        int button = static_cast<int>(Next(drive, BUTTON_COUNT));
        while (pressed[button] && !drive.Down[button])
            button = (button + 1) % BUTTON_COUNT;
        if (!drive.Down[button]) {
            pressed[button] = true;
            PressDown(drive, button);
            if (twist == DOUBLE_DOWN && button == twisted)
                PressDown(drive, button);
        } else {
            PressUp(drive, button);
            if (twist == QUICK_PAIR && button == twisted) {
                PressDown(drive, button);
                PressUp(drive, button);
            }
        }
        Moves(drive, 0, 3);
        // Resets only where no box can be open, so that the main loop gets the keys.
        if (twist == PLAIN && AllUp(drive) && Next(drive, 4) == 0)
            Reset(drive);
    }
}

// The error number of an error box, NOTICE for the Reset notice, -1 for anything else.
int BoxCode(HWND box, std::string &summary) {
    std::string caption = WindowText(box);
    summary = caption;
    if (caption == RESET_NOTICE_CAPTION)
        return NOTICE;
    HWND control = nullptr;
    while ((control = FindWindowExA(box, control, "Static", nullptr)) != nullptr) {
        std::string text = WindowText(control);
        if (text.empty())
            continue;
        summary += ": " + text.substr(0, 60);
        int code = -1;
        if (caption == ERROR_CAPTION &&
            std::sscanf(text.c_str(), "Error # %d Occurred!", &code) == 1)
            return code;
    }
    return -1;
}

bool Take(std::vector<int> &codes, int code) {
    for (size_t i = 0; i < codes.size(); ++i) {
        if (codes[i] == code) {
            codes.erase(codes.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

// Every box open must be one the cycle surely or possibly raises, and every sure one
// must be open. Then each box is answered with its OK button's command.
void AnswerBoxes(Drive &drive) {
    for (const QuickPress &quick : drive.Quick) {
        bool sure = drive.PressesHandled - quick.FirstPosted < SURELY_QUICK_MS;
        (sure ? drive.Expected : drive.Possible).push_back(quick.Code);
    }
    drive.Uncertain += static_cast<long>(drive.Possible.size());
    std::vector<HWND> boxes = TopLevelWindows(drive.Process, "#32770", false);
    for (HWND box : boxes) {
        std::string summary;
        int code = BoxCode(box, summary);
        ++drive.Raised[code];
        if (Take(drive.Expected, code))
            continue;
        if (Take(drive.Possible, code)) {
            ++drive.UncertainRaised;
            continue;
        }
        Problem(drive, "unexpected box " + summary);
    }
    for (int code : drive.Expected)
        Problem(drive, code == NOTICE ? "no Reset notice" : "no box for error " + Number(code));
    if (boxes.empty())
        return;
    for (HWND box : boxes)
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    if (WaitFor(drive, "the boxes to close",
                [&] { return TopLevelWindows(drive.Process, "#32770", false).empty(); })) {
        drive.BoxesAnswered += static_cast<long>(boxes.size());
        // Closing a box marks every button up; the notice resets after it is closed.
        for (bool &down : drive.Down)
            down = false;
        Drain(drive);
    }
}

void RunCycle(Drive &drive, Twist twist) {
    DWORD since = GetTickCount() - drive.PressesHandled;
    if (since < SLOW_GAP_MS)
        Sleep(SLOW_GAP_MS - since);
    drive.Quick.clear();
    drive.Expected.clear();
    drive.Possible.clear();
    for (DWORD &posted : drive.DownPosted)
        posted = 0;

    PostPresses(drive, twist);
    if (drive.Stopped || !Drain(drive))
        return;
    drive.PressesHandled = GetTickCount();
    AnswerBoxes(drive);
    // More movement while the gap to the next presses runs.
    if (!drive.Stopped) {
        Moves(drive, 30, 60);
        Drain(drive);
    }
}

std::string RaisedCounts(const Drive &drive) {
    std::string out = "{";
    for (const auto &entry : drive.Raised)
        out += (out.size() > 1 ? ",\"" : "\"") + Number(entry.first) + "\":" + Number(entry.second);
    return out + "}";
}

std::string ProblemList(const Drive &drive) {
    std::string out = "[";
    for (size_t i = 0; i < drive.Problems.size(); ++i)
        out += (i > 0 ? "," : "") + Quote(drive.Problems[i].c_str());
    return out + "]";
}

} // namespace

std::string DriveEvents(HWND window, const char *arguments) {
    Drive drive{};
    char *end = nullptr;
    drive.Seed = static_cast<unsigned>(std::strtoul(arguments, &end, 10));
    drive.Random = drive.Seed;
    long cycles = *end == ',' ? std::strtol(end + 1, nullptr, 10) : 0;
    drive.Window = window;
    if (window)
        GetWindowThreadProcessId(window, &drive.Process);
    RECT client{};
    GetClientRect(window, &client);
    drive.Width = client.right;
    drive.Height = client.bottom;
    drive.QuietTop = drive.Height / SCREEN_ROWS * PANEL_BOTTOM_ROW + 4;
    if (!window || drive.Width < 100 || drive.Height - drive.QuietTop < 8) {
        Problem(drive, "no main window of a usable size");
        drive.Stopped = true;
    }

    DWORD start = GetTickCount();
    // Presses posted just before this run (by an earlier one) count as the latest.
    drive.PressesHandled = start;
    long cycle = 0;
    for (; cycle < cycles && !drive.Stopped; ++cycle)
        RunCycle(drive, PickTwist(cycle, drive.Seed));
    DWORD elapsed = GetTickCount() - start;

    return "{\"cycles\":" + Number(cycle) + ",\"events\":" + Number(drive.Events) +
           ",\"downs\":" + Number(drive.Downs) + ",\"ups\":" + Number(drive.Ups) +
           ",\"moves\":" + Number(drive.Moves) + ",\"resets\":" + Number(drive.Resets) +
           ",\"notices\":" + Number(drive.Notices) +
           ",\"boxes_answered\":" + Number(drive.BoxesAnswered) +
           ",\"raised\":" + RaisedCounts(drive) + ",\"uncertain\":" + Number(drive.Uncertain) +
           ",\"uncertain_raised\":" + Number(drive.UncertainRaised) +
           ",\"elapsed_ms\":" + Number(elapsed) + ",\"problems\":" + ProblemList(drive) + "}";
}
