// What a replay found: TapTally's own boxes, the figures of each button, and what the
// replay sees beyond TapTally's rules (findings), which never change TapTally's verdict.
#pragma once

#include "replay/reading/frames.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace replay {

// "left", "middle", "right", "side", "extra", "forward", "back".
const char *ButtonName(int button);

// The panel of the button an error of TapTally's is about (BUTTON_LEFT to BUTTON_RIGHT), or
// -1 for an error of no button.
int ErrorButton(int code);
// Whether the error tells of a change lost: a release without its press, or a press
// without its release.
bool ErrorOfLostChange(int code);

// A box the program raised, answered at once.
struct BoxSeen {
    int64_t Ms = 0; // time in the recording
    std::string Caption;
    std::string Text; // the box's whole text, its lines joined by blanks
    int Code = 0;     // the error's number; 0 for a box that is no error report
};

// Something the replay saw that TapTally's rules cannot see.
struct Finding {
    int64_t Ms = 0;      // time in the recording
    std::string Button;  // a ButtonName, "wheel", or "" for the whole mouse
    std::string Kind;    // "release-bounce", "short-press", "too-fast", "wheel-reversal"
    int64_t ValueMs = 0; // the interval that makes it a finding
    std::string Text;    // one plain sentence
};

struct ButtonResult {
    bool Present = false; // the device has the button (from its codes, else seen in use)
    uint64_t Presses = 0;
    bool HasLeast = false; // two presses or more
    uint32_t LeastMs = 0;  // least interval between two successive presses
    bool HasCurrent = false;
    uint32_t CurrentMs = 0; // the latest interval
    uint64_t BelowTrigger = 0;
    std::map<int, uint64_t> Errors; // TapTally's error code: count
    uint64_t FindingCount = 0;
    uint64_t Bounces = 0, ShortPresses = 0; // release bounces, spurious releases
    int64_t FastestBounceMs = 0, ShortestPressMs = 0;
};

struct PressPoint {
    int64_t Ms;
    uint32_t IntervalMs;
    Button Which;
};

// Motion frames' spacing while the mouse moves, as report rates.
struct ReportRate {
    uint64_t Intervals = 0;                      // spacings measured
    double MedianHz = 0, SlowHz = 0, FastHz = 0; // median, 1st and 99th percentile of the rate
};

// The largest step of the sensor in one frame, from its raw counts.
struct SensorStep {
    int64_t Counts = 0; // the larger of |dx| and |dy|
    int64_t Ms = 0;
    bool Pinned = false; // the pointer stood at the window's edge: TapTally saw less of it
};

struct ReplayResult {
    DeviceInfo Device;
    int64_t DurationMs = 0;
    uint64_t Frames = 0, Events = 0;
    IgnoredCounts Ignored;
    uint64_t DroppedReports = 0, RestoredChanges = 0, CutEvents = 0;
    bool CutLine = false;        // the last line of the file was incomplete and left out
    uint64_t TimeBackFrames = 0; // frames whose time went back, held at the time before
    int64_t MostTimeBackMicros = 0;
    int TriggerMs = 0;
    int BounceMs = 0;            // the least time between a release and a press that is no bounce
    std::vector<BoxSeen> Errors; // "Error Message" boxes, in the order they appeared
    std::vector<BoxSeen> OtherBoxes;    // any other box
    ButtonResult Buttons[BUTTON_KINDS]; // by Button; the first three are TapTally's panels
    // Releases of buttons that were down when a box came up: a user lets go of the
    // button to answer the box, so the box takes the release, not TapTally's window.
    uint64_t ReleasesIntoBoxes = 0;
    uint64_t ReleasesOffIcon = 0; // left releases moved off TapTally's icon
    uint64_t MoveMessages = 0;
    int MostChangeX = 0, MostChangeY = 0;
    SensorStep LargestStep;
    ReportRate Rate;
    uint64_t WheelSteps = 0, WheelReversals = 0;
    std::vector<Finding> Findings;                 // in time order, the first FINDINGS_KEPT
    std::map<std::string, uint64_t> FindingCounts; // by kind, all of them
    std::vector<PressPoint> Presses;               // kept only when a timeline is asked for
};

// Findings past this many are counted, not listed.
const size_t FINDINGS_KEPT = 1000;

// Bad input, bad options or a refused trigger: the message for the user and, for a
// fault of the recording, its line or record (0 when none).
struct ReplayFailure {
    std::string Message;
    long Line = 0;
    std::string Place;     // where Line stands, after the file's name (":12", ": record 3 ...")
    bool NoEvents = false; // the input ended before its first event
};

// Told of what the replay meets, the moment it meets it: the live test shows it at once.
class ReplayObserver {
  public:
    virtual ~ReplayObserver() = default;
    virtual void Error(const BoxSeen & /*error*/, const ReplayResult & /*soFar*/) {}
    virtual void Found(const Finding & /*finding*/, const ReplayResult & /*soFar*/) {}
    // After the messages of a frame were handled and the program waits for input again.
    virtual void FrameDone(const ReplayResult & /*soFar*/) {}
};

} // namespace replay
