// The live test: TapTally run through a mouse's events as they come, each error and
// finding shown at once, the replay's verdict at the end.
#pragma once

#include "replay/front/options.h"

namespace replay {

// Runs the live test on the device of options.Input.File (found when empty); returns the
// exit status (as the replay's, 2 when there is nothing to read).
int RunLive(const CommandOptions &options);

} // namespace replay
