// The command line of taptally-replay, and the verdict's output that the live test
// shares with it.
#pragma once

#include "replay/front/picture.h"
#include "replay/running/session.h"

#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

namespace replay {

// Runs the tool: prints the verdict on standard output and problems on standard error.
// Returns 1 for FAIL (and with --strict for WARN and UNTESTED), 0 otherwise, 2 on bad
// input or bad options.
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

// The problem when an output file (named after its option, e.g. "--png") is the input
// itself, told by device and inode, not by name; "" otherwise. Checked before anything
// is written.
std::string OutputIsInput(const struct stat &input,
                          const std::vector<std::pair<const char *, std::string>> &outputs);

// The problem when the input is a character device or a terminal, which would be read
// for ever: a hint to --live for a device; "" otherwise.
std::string InputIsDevice(const std::string &name, const struct stat &input, bool terminal);

// Prints the verdict (text or JSON) on standard output, writes the pictures asked for,
// and returns the exit status: 0, 1 for TapTally's errors (or findings with --strict),
// 2 when a picture could not be written.
int PrintVerdict(const ReplayOptions &options, const std::string &name, const ReplayResult &result,
                 const PictureOutcome &picture);

} // namespace replay
