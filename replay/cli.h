// The command line of taptally-replay.
#pragma once

#include "replay/session.h"

#include <string>

namespace replay {

// Runs the tool: prints the verdict on standard output and problems on standard error.
// Returns 0 when TapTally raised no error, 1 when it raised any, 2 on bad input or
// bad options.
int Main(int argc, char **argv);

// The verdict printed (text or JSON) and the pictures written; returns the exit status.
int PrintVerdict(const ReplayOptions &options, const std::string &name, const ReplayResult &result);

} // namespace replay
