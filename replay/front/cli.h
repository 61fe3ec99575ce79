// The command of taptally-replay: the replay of a recording, or with --live the live test.
#pragma once

#include <sys/stat.h>

#include <string>
#include <utility>
#include <vector>

namespace replay {

// Runs the tool: prints the verdict on standard output and problems on standard error.
// Returns 1 for FAIL (and with --strict for WARN and UNTESTED), 0 otherwise, 2 on bad
// input or bad options.
int Main(int argc, char **argv);

// The problem when an output file (named after its option, e.g. "--png") is the input
// itself, told by device and inode, not by name; "" otherwise. Checked before anything
// is written.
std::string OutputIsInput(const struct stat &input,
                          const std::vector<std::pair<const char *, std::string>> &outputs);

// The problem when the input (a path, or "-" for standard input) is a character device or
// a terminal, which would be read for ever: a hint to --live for an input device, to the
// recording's file otherwise; "" for anything else.
std::string InputIsDevice(const std::string &path, const struct stat &input, bool terminal);

} // namespace replay
