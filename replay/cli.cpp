// Options, the recording opened, the verdict printed and the pictures written.
#include "replay/cli.h"

#include "replay/live.h"
#include "replay/report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace replay {

namespace {

const char USAGE[] =
    "usage: taptally-replay [options] RECORDING\n"
    "       taptally-replay --live [options] [DEVICE]\n"
    "Runs TapTally through a recording of a mouse made with `libinput record`,\n"
    "`evemu-record` or `cat /dev/input/eventN` (RECORDING - reads standard input) and\n"
    "prints its verdict; with --live, through the mouse's events as they come.\n"
    "  --device N       replay device N of the file (1 is the first); by default the\n"
    "                   first device that has BTN_LEFT and REL_X\n"
    "  --swap           exchange left and right, as the system's button swap does\n"
    "  --trigger MS     type MS into TapTally's Setup dialog (10 to 200; default 85)\n"
    "  --json           print the verdict as one JSON object\n"
    "  --png FILE       write TapTally's screen at the end of the replay as PNG\n"
    "  --timeline FILE  write the press intervals over time as SVG\n"
    "  --live           test the mouse DEVICE live: a device node, or a file or - of\n"
    "                   the kernel's event records; without DEVICE the mouse is found\n"
    "  --grab           with --live: keep the mouse's clicks from the desktop\n"
    "  --seconds N      with --live: end the test after N seconds (else Ctrl+C)\n"
    "  --record FILE    with --live: keep what was read as an evemu-record file\n"
    "Exit status: 0 no error, 1 TapTally raised errors, 2 bad input or bad options.\n";

const int STATUS_BAD = 2;

int BadOption(const std::string &message) {
    fprintf(stderr, "taptally-replay: %s\n%s", message.c_str(), USAGE);
    return STATUS_BAD;
}

bool WriteFile(const std::string &path, const std::string &content) {
    FILE *file = fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    bool written = fwrite(content.data(), 1, content.size(), file) == content.size();
    return fclose(file) == 0 && written;
}

// Parses the command line into options; an empty message means it was good.
std::string ParseOptions(int argc, char **argv, ReplayOptions &options, LiveOptions &live,
                         bool &help) {
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        bool takesValue = argument == "--device" || argument == "--trigger" ||
                          argument == "--png" || argument == "--timeline" ||
                          argument == "--seconds" || argument == "--record";
        if (takesValue && i + 1 >= argc) {
            return argument + " needs a value";
        }
        if (argument == "--help" || argument == "-h") {
            help = true;
        } else if (argument == "--swap") {
            options.Swap = true;
        } else if (argument == "--json") {
            options.Json = true;
        } else if (argument == "--device") {
            int64_t device;
            std::string value = argv[++i];
            if (!ParseDecimal(value.data(), value.size(), 1, 1000, device)) {
                return "--device needs a device number from 1 on, not \"" + value + "\"";
            }
            options.Device = (int)device;
        } else if (argument == "--trigger") {
            options.Trigger = argv[++i];
            if (options.Trigger.empty()) {
                return "--trigger needs a value";
            }
        } else if (argument == "--png") {
            options.Png = argv[++i];
        } else if (argument == "--timeline") {
            options.Timeline = argv[++i];
        } else if (argument == "--live") {
            live.Live = true;
        } else if (argument == "--grab") {
            live.Grab = true;
        } else if (argument == "--seconds") {
            int64_t seconds;
            std::string value = argv[++i];
            if (!ParseDecimal(value.data(), value.size(), 1, 86400 * 365, seconds)) {
                return "--seconds needs a whole number of seconds from 1 on, not \"" + value + "\"";
            }
            live.Seconds = (double)seconds;
        } else if (argument == "--record") {
            live.Record = argv[++i];
        } else if (argument.size() > 1 && argument[0] == '-') {
            return "unknown option " + argument;
        } else if (!options.File.empty()) {
            return "one recording only, not also " + argument;
        } else {
            options.File = argument;
        }
    }
    if (!live.Live && (live.Grab || live.Seconds > 0 || !live.Record.empty())) {
        return "--grab, --seconds and --record go with --live";
    }
    if (options.File.empty() && !help && !live.Live) {
        return "no recording given";
    }
    return "";
}

} // namespace

int PrintVerdict(const ReplayOptions &options, const std::string &name,
                 const ReplayResult &result) {
    std::string report = options.Json ? JsonReport(name, result) : TextReport(name, result);
    fputs(report.c_str(), stdout);
    // The verdict stands even when a picture cannot be written; the status tells of it.
    int status = ExitStatus(result);
    if (result.PngFailed) {
        fprintf(stderr, "taptally-replay: cannot write %s\n", Printable(options.Png).c_str());
        status = STATUS_BAD;
    }
    if (!options.Timeline.empty() && !WriteFile(options.Timeline, TimelineSvg(name, result))) {
        fprintf(stderr, "taptally-replay: cannot write %s: %s\n",
                Printable(options.Timeline).c_str(), strerror(errno));
        status = STATUS_BAD;
    }
    fflush(stdout);
    return status;
}

int Main(int argc, char **argv) {
    ReplayOptions options;
    LiveOptions live;
    bool help = false;
    std::string problem = ParseOptions(argc, argv, options, live, help);
    if (help) {
        fputs(USAGE, stdout);
        return 0;
    }
    if (!problem.empty()) {
        return BadOption(problem);
    }
    if (live.Live) {
        return RunLive(options, live);
    }
    bool standardInput = options.File == "-";
    std::string name = standardInput ? "(standard input)" : options.File;
    FILE *file = standardInput ? stdin : fopen(options.File.c_str(), "rb");
    if (!file) {
        fprintf(stderr, "taptally-replay: %s: %s\n", name.c_str(), strerror(errno));
        return STATUS_BAD;
    }
    ReplayResult result;
    ReplayFailure failure;
    bool replayed = RunReplay(options, file, result, failure);
    if (!standardInput) {
        fclose(file);
    }
    if (!replayed) {
        std::string place = failure.Line > 0 ? ":" + std::to_string(failure.Line) : "";
        fprintf(stderr, "taptally-replay: %s%s: %s\n", Printable(name).c_str(), place.c_str(),
                Printable(failure.Message).c_str());
        return STATUS_BAD;
    }
    return PrintVerdict(options, name, result);
}

} // namespace replay
