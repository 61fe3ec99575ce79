// Options, the recording opened, the verdict printed and the pictures written.
#include "replay/front/cli.h"

#include "replay/reading/text.h"

#include "replay/front/live.h"
#include "replay/telling/report.h"

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

const int STATUS_BAD = 2;

// The verdict's options, then the live test's.
std::vector<OptionRow> AllOptions(LiveOptions &live) {
    std::vector<OptionRow> table = VerdictOptions();
    for (OptionRow &row : LiveOptionRows(live)) {
        table.push_back(row);
    }
    return table;
}

std::string Usage() {
    LiveOptions live;
    return USAGE_HEAD + OptionsHelp(AllOptions(live)) + USAGE_TAIL;
}

int BadOption(const std::string &message) {
    fprintf(stderr, "taptally-replay: %s\n%s", message.c_str(), Usage().c_str());
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

std::string Number(const char *option, const std::string &value, int64_t low, int64_t high,
                   int &out) {
    int64_t number;
    if (!ParseDecimal(value.data(), value.size(), low, high, number)) {
        return std::string(option) + " needs a whole number from " + std::to_string(low) + " to " +
               std::to_string(high) + ", not \"" + value + "\"";
    }
    out = (int)number;
    return "";
}

} // namespace

std::vector<OptionRow> VerdictOptions() {
    using Options = ReplayOptions;
    using Text = const std::string &;
    return {
        {"--device", "N",
         "replay device N of the file (1 is the first); by default\n"
         "the first device that has BTN_LEFT and REL_X",
         [](Options &o, Text v) { return Number("--device", v, 1, 1000, o.Device); }},
        {"--swap", nullptr, "exchange left and right, as the system's button swap does",
         [](Options &o, Text) {
             o.Swap = true;
             return std::string();
         }},
        {"--trigger", "MS", "type MS into TapTally's Setup dialog (10 to 200; default 85)",
         [](Options &o, Text v) {
             o.Trigger = v;
             return v.empty() ? std::string("--trigger needs a value") : std::string();
         }},
        {"--bounce", "MS",
         "report a release and a press of one button closer than\n"
         "MS as a bounce (1 to 100; default 20)",
         [](Options &o, Text v) { return Number("--bounce", v, 1, 100, o.BounceMs); }},
        {"--strict", nullptr, "let the findings beyond TapTally's test set status 1 too",
         [](Options &o, Text) {
             o.Strict = true;
             return std::string();
         }},
        {"--json", nullptr, "print the verdict as one JSON object",
         [](Options &o, Text) {
             o.Json = true;
             return std::string();
         }},
        {"--png", "FILE", "write TapTally's screen at the end of the replay as PNG",
         [](Options &o, Text v) {
             o.Png = v;
             return std::string();
         }},
        {"--timeline", "FILE", "write the intervals and findings over time as SVG",
         [](Options &o, Text v) {
             o.Timeline = v;
             return std::string();
         }},
    };
}

std::string OptionsHelp(const std::vector<OptionRow> &table) {
    std::string help;
    for (const OptionRow &option : table) {
        std::string head = std::string("  ") + option.Name + (option.Value ? " " : "") +
                           (option.Value ? option.Value : "");
        std::string text = option.Help;
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
            text.insert(at + 1, std::string(19, ' '));
        }
        help += Printf("%-18s %s\n", head.c_str(), text.c_str());
    }
    return help;
}

std::string ParseOptions(int argc, char **argv, const std::vector<OptionRow> &table,
                         ReplayOptions &options, std::vector<std::string> &operands, bool &help) {
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            help = true;
            continue;
        }
        if (argument.size() < 2 || argument[0] != '-') {
            operands.push_back(argument);
            continue;
        }
        const OptionRow *option = nullptr;
        for (const OptionRow &candidate : table) {
            option = argument == candidate.Name ? &candidate : option;
        }
        if (!option) {
            return "unknown option " + argument;
        }
        if (option->Value && i + 1 >= argc) {
            return argument + " needs a value";
        }
        std::string problem = option->Apply(options, option->Value ? argv[++i] : "");
        if (!problem.empty()) {
            return problem;
        }
    }
    return "";
}

int PrintVerdict(const ReplayOptions &options, const std::string &name,
                 const ReplayResult &result) {
    std::string report =
        options.Json ? JsonReport(name, result, options) : TextReport(name, result, options);
    fputs(report.c_str(), stdout);
    fflush(stdout);
    // The verdict stands even when a picture cannot be written; the status tells of it.
    int status = ExitStatus(result, options);
    if (result.PngFailed) {
        fprintf(stderr, "taptally-replay: cannot write %s: %s\n", Printable(options.Png).c_str(),
                Printable(result.PngProblem).c_str());
        status = STATUS_BAD;
    }
    if (!options.Timeline.empty() &&
        !WriteFile(options.Timeline, TimelineSvg(name, result, options))) {
        fprintf(stderr, "taptally-replay: cannot write %s: %s\n",
                Printable(options.Timeline).c_str(), strerror(errno));
        status = STATUS_BAD;
    }
    return status;
}

int Main(int argc, char **argv) {
    ReplayOptions options;
    LiveOptions live;
    bool help = false;
    std::vector<std::string> operands;
    std::string problem = ParseOptions(argc, argv, AllOptions(live), options, operands, help);
    if (help) {
        fputs(Usage().c_str(), stdout);
        return 0;
    }
    if (problem.empty() && operands.size() > 1) {
        problem = std::string(live.Live ? "one device" : "one recording") + " only, not also " +
                  operands[1];
    }
    if (problem.empty() && !live.Live && (live.Grab || live.Seconds > 0 || !live.Record.empty())) {
        problem = "--grab, --seconds and --record go with --live";
    }
    if (problem.empty() && live.Live && options.Device > 0) {
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
        options.File = operands.empty() ? "" : operands[0];
        return RunLive(options, live);
    }
    options.File = operands[0];
    bool standardInput = options.File == "-";
    std::string name = standardInput ? "(standard input)" : options.File;
    FILE *file = standardInput ? stdin : fopen(options.File.c_str(), "rb");
    if (!file) {
        fprintf(stderr, "taptally-replay: %s: %s\n", Printable(name).c_str(), strerror(errno));
        return STATUS_BAD;
    }
    ReplayResult result;
    ReplayFailure failure;
    bool replayed = RunReplay(options, file, result, failure);
    if (!standardInput) {
        fclose(file);
    }
    if (!replayed) {
        fprintf(stderr, "taptally-replay: %s%s: %s\n", Printable(name).c_str(),
                Printable(failure.Place).c_str(), Printable(failure.Message).c_str());
        return STATUS_BAD;
    }
    return PrintVerdict(options, name, result);
}

} // namespace replay
