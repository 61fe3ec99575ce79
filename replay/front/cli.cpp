// Options, the recording opened, the verdict printed and the pictures written.
#include "replay/front/cli.h"

#include "replay/front/live.h"
#include "replay/front/options.h"
#include "replay/front/outcome.h"
#include "replay/front/read_ahead.h"

#include <linux/major.h>
#include <sys/sysmacros.h>
#include <unistd.h>

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
    "`evemu-record` or `cat /dev/input/eventN` (RECORDING - reads standard input)\n"
    "and prints its verdict; with --live, through the mouse's events as they come\n"
    "(DEVICE: a device node, or a file or - of the kernel's event records; without\n"
    "it the mouse is found).\n";
const char USAGE_TAIL[] =
    "  --version        print the version\n"
    "  --help, -h       print this help\n"
    "The last line of the verdict begins with FAIL (TapTally raised errors), WARN\n"
    "(findings beyond TapTally's test), UNTESTED (no left, middle or right press)\n"
    "or PASS.\n"
    "Exit status: 1 for FAIL (with --strict also for WARN and UNTESTED), 0 otherwise,\n"
    "2 for bad input or options, or an output file that could not be written.\n";

std::string Usage() {
    return USAGE_HEAD + OptionsHelp(OptionTable()) + USAGE_TAIL;
}

int BadOption(const std::string &message) {
    return Fail(message + " (see taptally-replay --help)");
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
    struct stat input;
    std::string problem;
    if (fstat(fileno(file), &input) == 0) {
        problem = InputIsDevice(path, input, isatty(fileno(file)));
        if (problem.empty()) {
            problem = OutputIsInput(
                input, {{"--png", options.Output.Png}, {"--timeline", options.Output.Timeline}});
        }
    }
    if (!problem.empty()) {
        if (!standardInput) {
            fclose(file);
        }
        return Fail(problem);
    }
    ReplayResult result;
    ReplayFailure failure;
    PictureOutcome picture;
    options.Run.AtEnd = PictureAtEnd(options.Output.Png, picture);
    options.Run.KeepPresses = !options.Output.Timeline.empty();
    bool replayed = RunRecordingFile(options.Run, options.Input, file, result, failure);
    if (!standardInput) {
        fclose(file);
    }
    if (!replayed) {
        return Fail(name + failure.Place + ": " + failure.Message);
    }
    return PrintVerdict(options.Output, name, result, picture);
}

} // namespace

std::string OutputIsInput(const struct stat &input,
                          const std::vector<std::pair<const char *, std::string>> &outputs) {
    for (const auto &output : outputs) {
        struct stat info;
        if (!output.second.empty() && stat(output.second.c_str(), &info) == 0 &&
            info.st_dev == input.st_dev && info.st_ino == input.st_ino) {
            return std::string(output.first) + " " + output.second +
                   ": this is the input itself, which writing would destroy";
        }
    }
    return "";
}

std::string InputIsDevice(const std::string &path, const struct stat &input, bool terminal) {
    std::string name = path == "-" ? "(standard input)" : path;
    if (S_ISCHR(input.st_mode) && major(input.st_rdev) == INPUT_MAJOR && !terminal) {
        return name +
               ": an input device, not a recording: to test it as it is used, run "
               "taptally-replay --live " +
               path;
    }
    if (terminal || S_ISCHR(input.st_mode)) {
        return name + (terminal ? ": a terminal" : ": a device") +
               ", not a recording: give the recording's file, or pipe it in (taptally-replay - < "
               "mouse.yml)";
    }
    return "";
}

int Main(int argc, char **argv) {
    CommandOptions options;
    const LiveOptions &live = options.Live;
    bool help = false;
    std::vector<std::string> operands;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--version") {
            printf("taptally-replay %s\n", TAPTALLY_VERSION);
            return STATUS_PASS;
        }
    }
    if (argc == 1) {
        fprintf(stderr, "taptally-replay: no recording given\n%s", Usage().c_str());
        return STATUS_BAD;
    }
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
