// The command of taptally-replay: the replay of a recording, or with --live the live test.
#pragma once

namespace replay {

// Runs the tool: prints the verdict on standard output and problems on standard error.
// Returns 0 when TapTally raised no error, 1 when it raised any (or, with --strict, the
// replay found anything), 2 on bad input or bad options.
int Main(int argc, char **argv);

} // namespace replay
