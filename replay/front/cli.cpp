// Options, the recording opened, the verdict printed and the pictures written.
#include "replay/front/cli.h"

#include "replay/front/live.h"
#include "replay/front/options.h"
#include "replay/front/outcome.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace replay {

namespace {

const char USAGE_HEAD[] =
    "usage: taptally-replay [options] RECORDING\n"
    "       taptally-replay --live [options] [DEVICE]\n"
    "Runs TapTally through a recording of a mouse made with `libinput record`,\n"
    "`evemu-record` or `cat /dev/input/eventN` (RECORDING - reads standard input) and\n"
    "prints its verdict; with --live, through the mouse's events as they come (DEVICE: a\n"
    "device node, or a file or - of the kernel's event records; without it the mouse is\n"
    "found).\n";
const char USAGE_TAIL[] =
    "Exit status: 0 no error, 1 TapTally raised errors (with --strict also: the\n"
    "replay found something beyond TapTally's test), 2 bad input or bad options.\n";

std::string Usage() {
    return USAGE_HEAD + OptionsHelp(OptionTable()) + USAGE_TAIL;
}

int BadOption(const std::string &message) {
    fprintf(stderr, "taptally-replay: %s\n%s", message.c_str(), Usage().c_str());
    return STATUS_BAD;
}

// The replay of the recording named in the options.
int RunRecording(CommandOptions &options) {
    const std::string &path = options.Input.File;
    bool standardInput = path == "-";
    std::string name = standardInput ? "(standard input)" : path;
    FILE *file = standardInput ? stdin : fopen(path.c_str(), "rb");
    if (!file) {
        return Fail(name + ": " + strerror(errno));
    }
    ReplayResult result;
    ReplayFailure failure;
    PictureOutcome picture;
    options.Run.AtEnd = PictureAtEnd(options.Output.Png, picture);
    options.Run.KeepPresses = !options.Output.Timeline.empty();
    bool replayed = RunReplay(options.Run, options.Input, file, result, failure);
    if (!standardInput) {
        fclose(file);
    }
    if (!replayed) {
        return Fail(name + failure.Place + ": " + failure.Message);
    }
    return PrintVerdict(options.Output, name, result, picture);
}

} // namespace

int Main(int argc, char **argv) {
    CommandOptions options;
    const LiveOptions &live = options.Live;
    bool help = false;
    std::vector<std::string> operands;
    std::string problem = ParseOptions(argc, argv, OptionTable(), options, operands, help);
    if (help) {
        fputs(Usage().c_str(), stdout);
        return STATUS_PASS;
    }
    if (problem.empty() && operands.size() > 1) {
        problem = std::string(live.Live ? "one device" : "one recording") + " only, not also " +
                  operands[1];
    }
    if (problem.empty() && !live.Live && (live.Grab || live.Seconds > 0 || !live.Record.empty())) {
        problem = "--grab, --seconds and --record go with --live";
    }
    if (problem.empty() && live.Live && options.Input.Device > 0) {
        problem = "--device chooses among the devices of a recording; with --live, give the "
                  "mouse's device node itself (e.g. /dev/input/event5)";
    }
    if (problem.empty() && operands.empty() && !live.Live) {
        problem = "no recording given";
    }
    if (!problem.empty()) {
        return BadOption(problem);
    }
    if (live.Live) {
        options.Input.File = operands.empty() ? "" : operands[0];
        return RunLive(options);
    }
    options.Input.File = operands[0];
    return RunRecording(options);
}

} // namespace replay
