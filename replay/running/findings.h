// What the replay sees beyond TapTally's rules, from the same frames: each button's
// presses and intervals (side buttons included), release bounce, wheel reversals, the
// report rate and the largest sensor step. Findings never touch TapTally's verdict.
#pragma once

#include "replay/running/run_options.h"
#include "replay/running/verdict.h"

#include <vector>

namespace replay {

class FindingsTracker {
  public:
    FindingsTracker(const RunOptions &options, ReplayResult &result)
        : Options(options), Result(result) {}
    // A change of a button the recording holds (never a restored one), by the button
    // TapTally's window sees (the swap applied).
    void Change(Button which, bool down, int64_t ms);
    // A change restored after dropped events: the state is right again, and no bounce is
    // measured across it.
    void Restore(Button which);
    void Wheel(int64_t steps, int64_t ms);
    // A motion frame: its raw counts, and whether the pointer was held at the edge.
    void Motion(int64_t dx, int64_t dy, bool pinned, int64_t micros);
    // What needs the whole recording: the report rate, the bursts and jumps still open.
    void Finish();

  private:
    void Add(Finding finding, Button which);
    void CountPress(Button which, int64_t ms, bool inBurst);
    // The bursts of changes that ended before ms, each told as one finding.
    void Settle(int64_t ms);
    void EndBurst(Button which);
    void JudgeStep(size_t at);
    void EndMovement();

    const RunOptions &Options;
    ReplayResult &Result;
    int64_t LastPressMs[BUTTON_KINDS] = {};
    // A burst: changes of one button each closer than the bounce time to the one before.
    // Its first change tells what broke (a release or a press), its last the state left.
    struct Burst {
        bool Known = false;       // a change of the button was seen (none restored since)
        bool Down = false;        // the state after its last change
        int64_t LastMs = 0;       // time of its last change
        bool Open = false;        // a change came within the bounce time of the one before
        bool StartedDown = false; // the burst began with a press
        int64_t Ms = 0, Gap = 0;  // the second change of the burst and its gap to the first
        bool Moved = false;       // the pointer moved while the button was held
    };
    Burst Bursts[BUTTON_KINDS];
    struct WheelStep {
        int64_t Ms;
        int Sign;
    };
    WheelStep Steps[2] = {}; // the two steps before
    int StepCount = 0;
    bool Moving = false;
    int64_t LastMotionMicros = 0;
    std::vector<uint32_t> Spacing; // motion frames by their spacing in microseconds
    struct Step {
        int64_t Counts, Ms;
    };
    std::vector<Step> Recent; // the steps of this movement not yet judged, and those before
    size_t Judged = 0;        // of them, the first not yet judged
};

} // namespace replay
