// The replay: TapTally's WinMain runs on the stand-in, whose scripted user is the
// recording. Whenever the program waits for input, the next step answers an open box
// or queues the next window message of the recording, so that every message reaches the
// window and nothing queues up behind a box.
#include "replay/running/session.h"

#include "replay/running/findings.h"
#include "replay/running/program.h"
#include "replay/running/user.h"

#include <windows.h>

#include <headless/driver.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace replay {

namespace {

// The recording starts this long after the window was created and calibrated.
const DWORD START_DELAY_MS = 1000;
// The stand-in's records (drawing calls, boxes shown) are emptied this often, so that
// an hour of messages holds no more memory than a second of them.
const uint64_t FORGET_EVERY = 4096;
// Boxes answered in a row without TapTally taking input again: a program that keeps
// raising them would hold the replay for ever.
const int MOST_BOXES_IN_A_ROW = 1000;

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

ReplayFailure FailureOf(const RecordingError &error) {
    return ReplayFailure{error.what(), error.Line, LinePlace(error.Line),
                         dynamic_cast<const NoEventsError *>(&error) != nullptr};
}

class Session {
  public:
    Session(const RunOptions &options, FrameReader &frames, ReplayResult &result)
        : Options(options), Frames(frames), Result(result), Findings(options, result) {}

    // Runs the program to its end; false when the run had to stop (failure filled).
    bool Run(ReplayFailure &failure) {
        headless::ResetWorld();
        ResetProgram();
        Result.BounceMs = Options.BounceMs;
        int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        // The pointer rests in the middle of the screen while the program starts.
        headless::SetCursorScreenPos(width / 2, height / 2);
        headless::SetMessageScreenPos(width / 2, height / 2);
        headless::SetButtonsSwapped(Options.Swap);
        headless::AddStep([this] { Step(); });
        headless::OnBoxShown([this](const headless::BoxInfo &box) { NoteBox(box); });
        RunProgram();
        if (Failed) {
            failure = Failure;
            return false;
        }
        Findings.Finish();
        TakeCounts();
        return true;
    }

  private:
    enum class Phase { Start, Trigger, Replay, Closing };

    // The figures of the frames read so far.
    void TakeCounts() {
        POINT mostChange = ProgramMostChange();
        Result.MostChangeX = mostChange.x;
        Result.MostChangeY = mostChange.y;
        Result.Frames = Frames.FrameCount;
        Result.Events = Frames.EventCount;
        Result.Ignored = Frames.Ignored;
        Result.DroppedReports = Frames.DroppedReports;
        Result.RestoredChanges = Frames.RestoredChanges;
        Result.CutEvents = Frames.CutEvents;
        Result.CutLine = Frames.CutLine;
        Result.TimeBackFrames = Frames.TimeBackFrames;
        Result.MostTimeBackMicros = Frames.MostTimeBackMicros;
        Result.DurationMs = Frames.LastMicros / 1000;
        Result.Device = Frames.Device();
        // The device's codes tell which buttons it has; a button seen in use has it too.
        for (int i = 0; i < BUTTON_KINDS; ++i) {
            Result.Buttons[i].Present = Result.Buttons[i].Present ||
                                        (Result.Device.CodesKnown && Result.Device.HasButton[i]);
        }
    }

    void Step() {
        headless::AddStep([this] { Step(); }); // the recording is the whole script
        if (headless::BoxOpen()) {
            if (++BoxesInARow > MOST_BOXES_IN_A_ROW) {
                throw std::runtime_error("TapTally raised " + std::to_string(MOST_BOXES_IN_A_ROW) +
                                         " boxes in a row without taking input again");
            }
            Answer();
            return;
        }
        BoxesInARow = 0;
        switch (Phase_) {
        case Phase::Start:
            Begin();
            return;
        case Phase::Trigger:
            if (TriggerRefused) {
                Stop(Failure);
                return;
            }
            Result.TriggerMs = ProgramTriggerMs();
            Phase_ = Phase::Replay;
            [[fallthrough]];
        case Phase::Replay:
            try {
                ReplayNext();
            } catch (const RecordingError &error) {
                Stop(FailureOf(error));
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
        POINT pointer = ProgramPointer();
        X = std::clamp((int)pointer.x, 0, Right);
        Y = std::clamp((int)pointer.y, 0, Bottom);
        Base = headless::Tick() + START_DELAY_MS;
        Result.TriggerMs = ProgramTriggerMs();
        if (Options.Trigger.empty()) {
            Phase_ = Phase::Replay;
            return;
        }
        Phase_ = Phase::Trigger;
        OpenSetup(Main);
    }

    // Each box as TapTally raises it, while its error code is that of the box: a box raised
    // while another waits for its answer opens over it, and is listed after it.
    void NoteBox(const headless::BoxInfo &box) {
        if (Phase_ == Phase::Trigger) {
            return;
        }
        BoxSeen seen;
        seen.Ms = (int64_t)(DWORD)(headless::Tick() - Base);
        seen.Caption = box.Caption;
        seen.Text = OneLine(box.Text);
        if (box.IsDialog || box.Caption != "Error Message") {
            Result.OtherBoxes.push_back(seen);
            return;
        }
        seen.Code = ProgramErrorCode();
        Result.Errors.push_back(seen);
        int button = ErrorButton(seen.Code);
        if (button >= 0) {
            ++Result.Buttons[button].Errors[seen.Code];
        }
        if (Options.Observer) {
            Options.Observer->Error(seen, Result);
        }
    }

    void Answer() {
        headless::BoxInfo box = headless::TopBox();
        if (Phase_ == Phase::Trigger) {
            // A refusal is the program's own message box over the dialog.
            if (AnswerSetup(box, Options.Trigger, TriggerTyped)) {
                TriggerRefused = true;
                Failure.Message = "--trigger " + Options.Trigger + ": refused by TapTally: \"" +
                                  box.Caption + "\": " + OneLine(box.Text);
            }
            return;
        }
        // A user lets go of the buttons to answer a message box; the box, not the window,
        // takes those releases.
        for (int panel = 0; panel < PANEL_BUTTONS && !box.IsDialog; ++panel) {
            if (HeldNow & KEY_FLAGS[panel]) {
                ReleaseIntoBox[panel] = true;
            }
        }
        AnswerBox(box);
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
            if (Next == Pending.size() && FrameOpen) {
                FrameDone();
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
            FrameOpen = true;
            int64_t ms = Frame_.Micros / 1000;
            headless::SetTick((DWORD)(Base + (DWORD)ms));
            if (Frame_.Moved) {
                Move();
            }
            if (Frame_.Wheel != 0) {
                Findings.Wheel(Frame_.Wheel, ms);
            }
            for (const ButtonChange &change : Frame_.Buttons) {
                Change(change, ms);
            }
            if (Pending.empty()) {
                FrameDone(); // nothing for the program: it still waits for input
            }
        }
        return true;
    }

    void FrameDone() {
        FrameOpen = false;
        if (Options.Observer) {
            TakeCounts();
            Options.Observer->FrameDone(Result);
        }
    }

    void Move() {
        int64_t x = X + Frame_.Dx, y = Y + Frame_.Dy;
        X = (int)std::clamp<int64_t>(x, 0, Right);
        Y = (int)std::clamp<int64_t>(y, 0, Bottom);
        Findings.Motion(Frame_.Dx, Frame_.Dy, x != X || y != Y, Frame_.Micros);
        Pending.push_back(QueuedMessage{WM_MOUSEMOVE, X, Y, Held, -1, false});
        ++Result.MoveMessages;
    }

    void Change(const ButtonChange &change, int64_t ms) {
        Button which = change.Which;
        if (Options.Swap && (which == BUTTON_LEFT || which == BUTTON_RIGHT)) {
            which = which == BUTTON_LEFT ? BUTTON_RIGHT : BUTTON_LEFT;
        }
        if (change.Restored) {
            Findings.Restore(which);
        } else {
            Findings.Change(which, change.Down, ms);
        }
        if (which >= PANEL_BUTTONS) {
            return;
        }
        int panel = which;
        // A press restored after dropped events is kept from the program, which would
        // time it as a click; the release that follows it goes with it.
        if (change.Restored && change.Down) {
            Hidden[panel] = true;
            return;
        }
        if (!change.Down && Hidden[panel]) {
            Hidden[panel] = false;
            return;
        }
        Held = change.Down ? Held | KEY_FLAGS[panel] : Held & ~KEY_FLAGS[panel];
        int x = X, y = Y;
        if (panel == BUTTON_LEFT && !change.Down) {
            KeepOffIcon(x, y);
        }
        UINT message = change.Down ? DOWN_MESSAGES[panel] : UP_MESSAGES[panel];
        Pending.push_back(QueuedMessage{message, x, y, Held, panel, change.Down});
    }

    // A left release on TapTally's icon opens its About box, which the person recording
    // never saw: the release is moved just off the icon.
    void KeepOffIcon(int &x, int &y) {
        RECT icon = ProgramIcon();
        POINT point = {x, y};
        if (!PtInRect(&icon, point)) {
            return;
        }
        y = icon.bottom <= Bottom ? (int)icon.bottom : (int)icon.top - 1;
        if (y < 0) {
            x = icon.right <= Right ? (int)icon.right : (int)icon.left - 1;
            y = point.y;
        }
        ++Result.ReleasesOffIcon;
    }

    void Finish() {
        Phase_ = Phase::Closing;
        if (Options.AtEnd) {
            Options.AtEnd();
        }
        headless::QueueCloseBox(Main);
    }

    const RunOptions &Options;
    FrameReader &Frames;
    ReplayResult &Result;
    FindingsTracker Findings;
    Phase Phase_ = Phase::Start;
    HWND Main = nullptr;
    int Right = 0, Bottom = 0, X = 0, Y = 0;
    WPARAM Held = 0;    // buttons down after the frame read last
    WPARAM HeldNow = 0; // buttons down after the message sent last
    bool ReleaseIntoBox[PANEL_BUTTONS] = {};
    DWORD Base = 0;
    Frame Frame_;
    std::vector<QueuedMessage> Pending;
    size_t Next = 0;
    uint64_t Sent = 0;
    int ClosingSteps = 0;
    int BoxesInARow = 0;
    bool FrameOpen = false;          // a frame's messages are being sent
    bool Hidden[PANEL_BUTTONS] = {}; // down after a restored press the program was not told of
    bool TriggerTyped = false, TriggerRefused = false, Failed = false;
    ReplayFailure Failure;
};

} // namespace

bool RunEvents(const RunOptions &options, EventReader &events, ReplayResult &result,
               ReplayFailure &failure) {
    bool ran = false;
    try {
        FrameReader frames(events);
        Session session(options, frames, result);
        ran = session.Run(failure);
    } catch (const RecordingError &error) {
        failure = FailureOf(error);
    } catch (const std::exception &error) {
        failure = ReplayFailure{std::string("the replay stopped: ") + error.what(), 0, "", false};
    }
    if (!ran) {
        failure.Place = events.Place(failure.Line);
    }
    return ran;
}

bool RunReplay(const RunOptions &options, const InputOptions &input, FILE *file,
               ReplayResult &result, ReplayFailure &failure) {
    try {
        ByteSource source(file);
        std::unique_ptr<EventReader> events = OpenRecording(source, input);
        return RunEvents(options, *events, result, failure);
    } catch (const RecordingError &error) {
        failure = FailureOf(error);
        return false;
    }
}

} // namespace replay
