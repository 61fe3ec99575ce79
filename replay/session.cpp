// The replay: TapTally's WinMain runs on the stand-in, whose scripted user is the
// recording. Whenever the program waits for input, the next step answers an open box
// or queues the next window message of the recording, so that every message reaches the
// window and nothing queues up behind a box.
#include "replay/session.h"

#include "replay/stream.h"

#include <windows.h>

#include <headless/driver.h>

#include "resources/resource.h"
#include "dialogs/trigger_dialog.h"
#include "engine/test_state.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

namespace replay {

namespace {

// The recording starts this long after the window was created and calibrated.
const DWORD START_DELAY_MS = 1000;
// The stand-in's records (drawing calls, boxes shown) are emptied this often, so that
// an hour of messages holds no more memory than a second of them.
const uint64_t FORGET_EVERY = 4096;

struct QueuedMessage {
    UINT Message;
    int X, Y;
    WPARAM Keys;
    int Panel; // the button's panel, or -1 for a movement
    bool Down;
};

const UINT DOWN_MESSAGES[3] = {WM_LBUTTONDOWN, WM_MBUTTONDOWN, WM_RBUTTONDOWN};
const UINT UP_MESSAGES[3] = {WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP};
const WPARAM KEY_FLAGS[3] = {MK_LBUTTON, MK_MBUTTON, MK_RBUTTON};

// The first line of a text and, when it ends in a blank as an error header does, the
// line after it.
std::string FirstLine(const std::string &text) {
    size_t end = text.find('\n');
    std::string line = text.substr(0, end);
    if (end != std::string::npos && !line.empty() && line.back() == ' ') {
        size_t next = text.find('\n', end + 1);
        line += text.substr(end + 1, next == std::string::npos ? next : next - end - 1);
    }
    return line;
}

// A box's text on one line: its lines trimmed and joined by blanks.
std::string OneLine(const std::string &text) {
    std::string joined;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = std::min(text.find('\n', at), text.size());
        size_t first = text.find_first_not_of(' ', at);
        size_t last = text.find_last_not_of(' ', end == 0 ? 0 : end - 1);
        if (first < end && last != std::string::npos && last >= first) {
            joined += (joined.empty() ? "" : " ") + text.substr(first, last - first + 1);
        }
        at = end + 1;
    }
    return joined;
}

class Session {
  public:
    Session(const ReplayOptions &options, FrameReader &frames, ReplayResult &result)
        : Options(options), Frames(frames), Result(result) {}

    // Runs the program to its end; false when the run had to stop (failure filled).
    bool Run(ReplayFailure &failure) {
        headless::ResetWorld();
        State = TestState{};
        int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        // The pointer rests in the middle of the screen while the program starts.
        headless::SetCursorScreenPos(width / 2, height / 2);
        headless::SetMessageScreenPos(width / 2, height / 2);
        headless::SetButtonsSwapped(Options.Swap);
        headless::AddStep([this] { Step(); });
        WinMain(headless::ProgramInstance(), nullptr, (LPSTR) "", SW_SHOWNORMAL);
        if (Failed) {
            failure = Failure;
            return false;
        }
        Result.MostChangeX = State.MostChangeX;
        Result.MostChangeY = State.MostChangeY;
        Result.Frames = Frames.FrameCount;
        Result.Events = Frames.EventCount;
        Result.Ignored = Frames.Ignored;
        Result.DroppedReports = Frames.DroppedReports;
        Result.RestoredChanges = Frames.RestoredChanges;
        Result.CutEvents = Frames.CutEvents;
        Result.DurationMs = Frames.LastMicros / 1000;
        return true;
    }

  private:
    enum class Phase { Start, Trigger, Replay, Closing };

    void Step() {
        headless::AddStep([this] { Step(); }); // the recording is the whole script
        if (headless::BoxOpen()) {
            AnswerBox();
            return;
        }
        switch (Phase_) {
        case Phase::Start:
            Begin();
            return;
        case Phase::Trigger:
            if (TriggerRefused) {
                Stop(Failure);
                return;
            }
            Result.TriggerMs = State.TriggerThreshold;
            Phase_ = Phase::Replay;
            [[fallthrough]];
        case Phase::Replay:
            try {
                ReplayNext();
            } catch (const RecordingError &error) {
                Stop(ReplayFailure{error.what(), error.Line});
            }
            return;
        case Phase::Closing:
            // The close box was queued; a program that waits again has not closed.
            if (++ClosingSteps > 100) {
                throw std::runtime_error("TapTally's window did not close");
            }
            headless::QueueCloseBox(Main);
            return;
        }
    }

    void Begin() {
        Main = headless::MainWindow();
        RECT client;
        GetClientRect(Main, &client);
        Right = client.right - 1;
        Bottom = client.bottom - 1;
        // The pointer starts where the program last saw it.
        X = std::clamp(State.LastX, 0, Right);
        Y = std::clamp(State.LastY, 0, Bottom);
        Base = headless::Tick() + START_DELAY_MS;
        Result.TriggerMs = State.TriggerThreshold;
        if (Options.Trigger.empty()) {
            Phase_ = Phase::Replay;
            return;
        }
        Phase_ = Phase::Trigger;
        headless::QueueMenuCommand(Main, CMD_SETUP);
    }

    void AnswerBox() {
        headless::BoxInfo box = headless::TopBox();
        if (Phase_ == Phase::Trigger) {
            AnswerTriggerDialog(box);
            return;
        }
        BoxSeen seen;
        seen.Ms = (int64_t)(DWORD)(headless::Tick() - Base);
        seen.Caption = box.Caption;
        seen.FirstLine = FirstLine(box.Text);
        if (box.IsDialog) {
            headless::AnswerBox(IDCANCEL);
            Result.OtherBoxes.push_back(seen);
            return;
        }
        // A user lets go of the buttons to answer the box; the box, not the window, takes
        // those releases.
        for (int panel = 0; panel < 3; ++panel) {
            if (HeldNow & KEY_FLAGS[panel]) {
                ReleaseIntoBox[panel] = true;
            }
        }
        if (box.Caption == "Error Message" &&
            sscanf(box.Text.c_str(), "Error # %d Occurred!", &seen.Code) == 1) {
            Result.Errors.push_back(seen);
            int button = seen.Code / 10 - 1;
            if (button >= 0 && button < 3) {
                ++Result.Buttons[button].Errors[seen.Code];
            }
            if (Options.Observer) {
                Options.Observer->Error(seen, Result);
            }
        } else {
            Result.OtherBoxes.push_back(seen);
        }
        UINT buttons = box.Style & MB_TYPEMASK;
        headless::AnswerBox(buttons == MB_OK || buttons == MB_OKCANCEL ? IDOK : IDCANCEL);
    }

    // The Setup dialog: the value typed and OK pressed, as a user would; a refusal is
    // the program's own message box over the dialog.
    void AnswerTriggerDialog(const headless::BoxInfo &box) {
        if (box.IsDialog) {
            if (!TriggerTyped) {
                headless::SetDialogItemText(ID_TRIGGER_EDIT, Options.Trigger.c_str());
                TriggerTyped = true;
                headless::AnswerBox(ID_TRIGGER_OK);
            } else {
                headless::AnswerBox(ID_TRIGGER_CANCEL);
            }
            return;
        }
        TriggerRefused = true;
        Failure.Message = "--trigger " + Options.Trigger + ": refused by TapTally: \"" +
                          box.Caption + "\": " + OneLine(box.Text);
        headless::AnswerBox(IDOK);
    }

    void Stop(const ReplayFailure &failure) {
        Failed = true;
        Failure = failure;
        Phase_ = Phase::Closing;
        headless::QueueCloseBox(Main);
    }

    void ReplayNext() {
        const QueuedMessage *message = nullptr;
        while (!message) {
            if (Next == Pending.size() && Options.Observer && Sent > 0) {
                Options.Observer->FrameDone(Result);
            }
            if (Next == Pending.size() && !TakeFrame()) {
                Finish();
                return;
            }
            message = &Pending[Next++];
            if (message->Panel >= 0 && !message->Down && ReleaseIntoBox[message->Panel]) {
                ++Result.ReleasesIntoBoxes;
                message = nullptr;
            }
        }
        if (message->Panel >= 0) {
            ReleaseIntoBox[message->Panel] = false;
            WPARAM flag = KEY_FLAGS[message->Panel];
            HeldNow = message->Down ? HeldNow | flag : HeldNow & ~flag;
        }
        headless::QueueMouse(Main, message->Message, message->X, message->Y, message->Keys);
        if (++Sent % FORGET_EVERY == 0) {
            headless::ForgetRecords();
        }
    }

    // Reads frames until one gives messages; false at the end of the recording.
    bool TakeFrame() {
        Pending.clear();
        Next = 0;
        while (Pending.empty()) {
            if (!Frames.Next(Frame_)) {
                return false;
            }
            int64_t ms = Frame_.Micros / 1000;
            headless::SetTick((DWORD)(Base + (DWORD)ms));
            if (Frame_.Moved) {
                X = (int)std::clamp<int64_t>(X + Frame_.Dx, 0, Right);
                Y = (int)std::clamp<int64_t>(Y + Frame_.Dy, 0, Bottom);
                Pending.push_back(QueuedMessage{WM_MOUSEMOVE, X, Y, Held, -1, false});
                ++Result.MoveMessages;
            }
            for (const ButtonChange &change : Frame_.Buttons) {
                int panel = change.Which;
                if (Options.Swap && change.Which != BUTTON_MIDDLE) {
                    panel = change.Which == BUTTON_LEFT ? BUTTON_RIGHT : BUTTON_LEFT;
                }
                if (change.Down) {
                    Held |= KEY_FLAGS[panel];
                    CountPress(panel, ms);
                } else {
                    Held &= ~KEY_FLAGS[panel];
                }
                UINT message = change.Down ? DOWN_MESSAGES[panel] : UP_MESSAGES[panel];
                Pending.push_back(QueuedMessage{message, X, Y, Held, panel, change.Down});
            }
        }
        return true;
    }

    void CountPress(int panel, int64_t ms) {
        ButtonResult &button = Result.Buttons[panel];
        if (button.Presses > 0) {
            uint32_t interval = (uint32_t)(ms - LastPressMs[panel]);
            if (!button.HasLeast || interval < button.LeastMs) {
                button.LeastMs = interval;
            }
            button.HasLeast = true;
            button.HasCurrent = true;
            button.CurrentMs = interval;
            if ((int64_t)interval < Result.TriggerMs) {
                ++button.BelowTrigger;
            }
            if (!Options.Timeline.empty()) {
                Result.Presses.push_back(PressPoint{ms, interval, (Button)panel});
            }
        }
        ++button.Presses;
        LastPressMs[panel] = ms;
    }

    void Finish() {
        Phase_ = Phase::Closing;
        Result.PngFailed = !Options.Png.empty() && !headless::SavePng(Main, Options.Png.c_str());
        headless::QueueCloseBox(Main);
    }

    const ReplayOptions &Options;
    FrameReader &Frames;
    ReplayResult &Result;
    Phase Phase_ = Phase::Start;
    HWND Main = nullptr;
    int Right = 0, Bottom = 0, X = 0, Y = 0;
    WPARAM Held = 0;    // buttons down after the frame read last
    WPARAM HeldNow = 0; // buttons down after the message sent last
    bool ReleaseIntoBox[3] = {};
    DWORD Base = 0;
    Frame Frame_;
    std::vector<QueuedMessage> Pending;
    size_t Next = 0;
    uint64_t Sent = 0;
    int ClosingSteps = 0;
    int64_t LastPressMs[3] = {};
    bool TriggerTyped = false, TriggerRefused = false, Failed = false;
    ReplayFailure Failure;
};

} // namespace

bool RunReplay(const ReplayOptions &options, FILE *file, ReplayResult &result,
               ReplayFailure &failure) {
    try {
        ByteSource source(file);
        long line = 0;
        Format format = DetectFormat(source.Peek(65536), line);
        if (format == Format::Unknown) {
            failure = ReplayFailure{"this is neither a libinput record file (YAML) nor an "
                                    "evemu-record file",
                                    line};
            return false;
        }
        std::unique_ptr<EventReader> events =
            format == Format::Evemu ? OpenEvemuReader(source, options.Device)
            : format == Format::Raw ? OpenRawReader([&](char *buffer, size_t size) {
                  return source.Read(buffer, size);
              })
                                    : OpenYamlReader(source, options.Device);
        return RunEvents(options, *events, result, failure);
    } catch (const RecordingError &error) {
        failure = ReplayFailure{error.what(), error.Line};
        return false;
    }
}

bool RunEvents(const ReplayOptions &options, EventReader &events, ReplayResult &result,
               ReplayFailure &failure) {
    try {
        FrameReader frames(events);
        Session session(options, frames, result);
        if (!session.Run(failure)) {
            return false;
        }
        result.Device = events.Device();
        return true;
    } catch (const RecordingError &error) {
        failure = ReplayFailure{error.what(), error.Line};
        return false;
    } catch (const std::exception &error) {
        failure = ReplayFailure{std::string("the replay stopped: ") + error.what(), 0};
        return false;
    }
}

} // namespace replay
