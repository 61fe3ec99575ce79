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
    // The figures that need the whole recording: the report rate.
    void Finish();

  private:
    void Add(Finding finding, Button which);
    void CountPress(Button which, int64_t ms);

    const RunOptions &Options;
    ReplayResult &Result;
    int64_t LastPressMs[BUTTON_KINDS] = {};
    int64_t LastReleaseMs[BUTTON_KINDS] = {};
    bool Released[BUTTON_KINDS] = {}; // a release was seen since the last press
    bool Pressed[BUTTON_KINDS] = {};  // a press was seen since the last release
    struct WheelStep {
        int64_t Ms;
        int Sign;
    };
    WheelStep Steps[2] = {}; // the two steps before
    int StepCount = 0;
    bool Moving = false;
    int64_t LastMotionMicros = 0;
    std::vector<uint32_t> Spacing; // motion frames by their spacing in microseconds
};

} // namespace replay
