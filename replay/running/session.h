// TapTally itself, WinMain and all, run on the headless stand-in through a recording:
// each frame becomes the window messages the system would send, at the frame's time.
#pragma once

#include "replay/running/verdict.h"

#include <string>

namespace replay {

// Default of --bounce: a release and a press of one button closer than this are no
// finger's doing. The fastest double clicks leave some 50 ms between release and press;
// a worn switch bounces for a few milliseconds, often past the mouse's own debouncing.
const int DEFAULT_BOUNCE_MS = 20;

struct ReplayOptions {
    std::string File;    // "-" is standard input
    int Device = 0;      // 0: the first device with BTN_LEFT and REL_X
    bool Swap = false;   // the system's button swap: left and right exchanged
    std::string Trigger; // typed into the Setup dialog; empty leaves the program's own
    bool Json = false;
    std::string Png;      // TapTally's screen at the end
    std::string Timeline; // SVG plot of the press intervals
    bool Strict = false;  // a finding counts for the exit status
    int BounceMs = DEFAULT_BOUNCE_MS;
    ReplayObserver *Observer = nullptr;
    bool Live = false; // the events come from the mouse as it is used, not from a file
};

// Runs the program through the events of any reader (a file's, or a device's, whose Next
// may block: the next frame is pulled only when the program waits for input). Returns
// false with failure filled when the input or the options are bad.
bool RunEvents(const ReplayOptions &options, EventReader &events, ReplayResult &result,
               ReplayFailure &failure);

// Runs the program through the recording read from file: its format told from its
// content, its reader opened, then RunEvents. Nothing is written when it fails.
bool RunReplay(const ReplayOptions &options, FILE *file, ReplayResult &result,
               ReplayFailure &failure);

} // namespace replay
