// TapTally itself, WinMain and all, run on the headless stand-in through a recording:
// each frame becomes the window messages the system would send, at the frame's time.
#pragma once

#include "replay/frames.h"

#include <map>
#include <string>
#include <vector>

namespace replay {

class ReplayObserver;

struct ReplayOptions {
    std::string File;    // "-" is standard input
    int Device = 0;      // 0: the first device with BTN_LEFT and REL_X
    bool Swap = false;   // the system's button swap: left and right exchanged
    std::string Trigger; // typed into the Setup dialog; empty leaves the program's own
    bool Json = false;
    std::string Png;      // TapTally's screen at the end
    std::string Timeline; // SVG plot of the press intervals
    ReplayObserver *Observer = nullptr;
    bool Strict = false;
    int BounceMs = 0;
};

struct Finding {
    int64_t Ms;
    std::string Button, Kind;
    int64_t ValueMs;
    std::string Text;
};

// A box the program raised, answered with OK at once.
struct BoxSeen {
    int64_t Ms = 0; // time in the recording
    std::string Caption;
    std::string FirstLine; // for an error: its header and the first line of its description
    int Code = 0;          // the error's number; 0 for a box that is no error report
};

struct ButtonResult {
    uint64_t Presses = 0;
    bool HasLeast = false; // two presses or more
    uint32_t LeastMs = 0;  // least interval between two successive presses
    bool HasCurrent = false;
    uint32_t CurrentMs = 0; // the latest interval
    uint64_t BelowTrigger = 0;
    std::map<int, uint64_t> Errors; // error code: count
};

struct PressPoint {
    int64_t Ms;
    uint32_t IntervalMs;
    Button Which;
};

struct ReplayResult {
    DeviceInfo Device;
    int64_t DurationMs = 0;
    uint64_t Frames = 0, Events = 0;
    IgnoredCounts Ignored;
    uint64_t DroppedReports = 0, RestoredChanges = 0, CutEvents = 0;
    int TriggerMs = 0;
    std::vector<BoxSeen> Errors;     // "Error Message" boxes, in order
    std::vector<BoxSeen> OtherBoxes; // any other box (the About box of an icon click)
    ButtonResult Buttons[3];         // by TapTally's panel: left, middle, right
    // Releases of buttons that were down when a box came up: a user lets go of the
    // button to answer the box, so the box takes the release, not TapTally's window.
    uint64_t ReleasesIntoBoxes = 0;
    uint64_t MoveMessages = 0;
    int MostChangeX = 0, MostChangeY = 0;
    std::vector<PressPoint> Presses; // kept only when a timeline is asked for
    bool PngFailed = false;          // the picture asked for could not be written
};

// Told of what the replay meets, the moment it meets it: the live test shows it at once.
class ReplayObserver {
  public:
    virtual ~ReplayObserver() = default;
    virtual void Error(const BoxSeen &, const ReplayResult &) {}
    virtual void Found(const Finding &, const ReplayResult &) {}
    // After the messages of a frame were handled and the program waits for input again.
    virtual void FrameDone(const ReplayResult &) {}
};

// Bad input, bad options or a refused trigger: the message for the user and, for a
// fault of the recording, its line (0 when none).
struct ReplayFailure {
    std::string Message;
    long Line = 0;
};

// Runs the program through the recording read from file. Returns false with failure
// filled when the input or the options are bad; nothing is written then.
bool RunReplay(const ReplayOptions &options, FILE *file, ReplayResult &result,
               ReplayFailure &failure);
bool RunEvents(const ReplayOptions &options, EventReader &events, ReplayResult &result,
               ReplayFailure &failure);

} // namespace replay
