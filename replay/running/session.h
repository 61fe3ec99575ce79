// TapTally itself, WinMain and all, run on the headless stand-in through a recording:
// each frame becomes the window messages the system would send, at the frame's time.
#pragma once

#include "replay/reading/open.h"
#include "replay/running/verdict.h"

#include <functional>
#include <string>

namespace replay {

// Default of --bounce: a release and a press of one button closer than this are no
// finger's doing. The fastest double clicks leave some 50 ms between release and press;
// a worn switch bounces for a few milliseconds, often past the mouse's own debouncing.
const int DEFAULT_BOUNCE_MS = 20;

// How the program is run through the events.
struct RunOptions {
    bool Swap = false;   // the system's button swap: left and right exchanged
    std::string Trigger; // typed into the Setup dialog; empty leaves the program's own
    int BounceMs = DEFAULT_BOUNCE_MS;
    bool KeepPresses = false; // every press kept in ReplayResult::Presses
    ReplayObserver *Observer = nullptr;
    // Called once the recording is played, before the program closes: its screen is final.
    std::function<void()> AtEnd;
};

// Runs the program through the events of any reader (a file's, or a device's, whose Next
// may block: the next frame is pulled only when the program waits for input). Returns
// false with failure filled when the input or the options are bad.
bool RunEvents(const RunOptions &options, EventReader &events, ReplayResult &result,
               ReplayFailure &failure);

// Runs the program through the recording read from file: its format told from its
// content, the reader of the device input chooses opened, then RunEvents. Nothing is
// written when it fails.
bool RunReplay(const RunOptions &options, const InputOptions &input, FILE *file,
               ReplayResult &result, ReplayFailure &failure);

} // namespace replay
