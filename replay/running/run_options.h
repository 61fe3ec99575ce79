// How the program is run through the events: what the person at it does besides the
// mouse, what counts as a finding, and who is told as the run goes.
#pragma once

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

} // namespace replay
