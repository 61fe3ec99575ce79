// The command line of taptally-replay, and the verdict's output that the live test
// shares with it.
#pragma once

#include "replay/running/session.h"

#include <functional>
#include <string>
#include <vector>

namespace replay {

// Runs the tool: prints the verdict on standard output and problems on standard error.
// Returns 0 when TapTally raised no error, 1 when it raised any (or, with --strict, the
// replay found anything), 2 on bad input or bad options.
int Main(int argc, char **argv);

// One option of the command line: its name, the name of its value (null for a flag),
// its line of help, and what it does to the options; a non-empty return is the problem.
struct OptionRow {
    const char *Name;
    const char *Value;
    const char *Help;
    std::function<std::string(ReplayOptions &options, const std::string &value)> Apply;
};

// The options of the verdict: --device --swap --trigger --json --png --timeline --bounce
// --strict.
std::vector<OptionRow> VerdictOptions();

// Parses the command line by the table; arguments that are no option go to operands.
// An empty return means it was good; help is set for --help or -h.
std::string ParseOptions(int argc, char **argv, const std::vector<OptionRow> &table,
                         ReplayOptions &options, std::vector<std::string> &operands, bool &help);

// The table's options as lines of help.
std::string OptionsHelp(const std::vector<OptionRow> &table);

// Prints the verdict (text or JSON) on standard output, writes the pictures asked for,
// and returns the exit status: 0, 1 for TapTally's errors (or findings with --strict),
// 2 when a picture could not be written.
int PrintVerdict(const ReplayOptions &options, const std::string &name, const ReplayResult &result);

} // namespace replay
