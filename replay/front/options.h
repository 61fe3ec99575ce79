// The command line of taptally-replay: one table of options for the replay and the live
// test, each option filling the settings of the layer it is for.
#pragma once

#include "replay/reading/open.h"
#include "replay/running/session.h"
#include "replay/telling/report.h"

#include <functional>
#include <string>
#include <vector>

namespace replay {

// How the live test reads the mouse.
struct LiveOptions {
    bool Live = false;  // --live: DEVICE (InputOptions::File) is read as it comes
    bool Grab = false;  // keep the device's events from every other reader
    double Seconds = 0; // end after this long; 0: on Ctrl+C, SIGTERM or the stream's end
    std::string Record; // evemu-record file of what was read
};

// Everything the command line sets.
struct CommandOptions {
    InputOptions Input;
    RunOptions Run;
    OutputOptions Output;
    LiveOptions Live;
};

// One option of the command line: its name, the name of its value (null for a flag),
// its line of help, and what it does to the options; a non-empty return is the problem.
struct OptionRow {
    const char *Name;
    const char *Value;
    const char *Help;
    std::function<std::string(CommandOptions &options, const std::string &value)> Apply;
};

// The options of the verdict (--device --swap --trigger --bounce --strict --json --png
// --timeline), then those of the live test (--live --grab --seconds --record).
std::vector<OptionRow> OptionTable();

// Parses the command line by the table; arguments that are no option go to operands.
// An empty return means it was good; help is set for --help or -h.
std::string ParseOptions(int argc, char **argv, const std::vector<OptionRow> &table,
                         CommandOptions &options, std::vector<std::string> &operands, bool &help);

// The table's options as lines of help.
std::string OptionsHelp(const std::vector<OptionRow> &table);

} // namespace replay
