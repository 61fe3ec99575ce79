// TapTally itself, WinMain and all, run on the headless stand-in through a recording:
// each frame becomes the window messages the system would send, at the frame's time.
#pragma once

#include "replay/reading/open.h"
#include "replay/running/run_options.h"
#include "replay/running/verdict.h"

#include <string>

namespace replay {

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
