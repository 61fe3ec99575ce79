// The option table of the replay and the live test, its parsing and its help.
#include "replay/front/options.h"

#include "replay/reading/text.h"

namespace replay {

namespace {

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

std::vector<OptionRow> OptionTable() {
    using Options = CommandOptions;
    using Text = const std::string &;
    return {
        {"--device", "N",
         "replay device N of the file (1 is the first); by default\n"
         "the first device that has BTN_LEFT and REL_X",
         [](Options &o, Text v) { return Number("--device", v, 1, 1000, o.Input.Device); }},
        {"--swap", nullptr, "exchange left and right, as the system's button swap does",
         [](Options &o, Text) {
             o.Run.Swap = true;
             return std::string();
         }},
        {"--trigger", "MS", "type MS into TapTally's Setup dialog (10 to 200; default 85)",
         [](Options &o, Text v) {
             // A whole number, as Setup takes; whether it is in range is TapTally's to say.
             int64_t ms;
             if (!ParseDecimal(v.data(), v.size(), -999999999, 999999999, ms)) {
                 return "--trigger needs a whole number of milliseconds, not \"" + v + "\"";
             }
             o.Run.Trigger = std::to_string(ms);
             return std::string();
         }},
        {"--bounce", "MS",
         "changes of one button closer than MS to the one before\n"
         "are one bounce (1 to 100; default 20)",
         [](Options &o, Text v) { return Number("--bounce", v, 1, 100, o.Run.BounceMs); }},
        {"--strict", nullptr, "exit with 1 for WARN and UNTESTED too, as for FAIL",
         [](Options &o, Text) {
             o.Output.Strict = true;
             return std::string();
         }},
        {"--json", nullptr, "print the verdict as one JSON object",
         [](Options &o, Text) {
             o.Output.Json = true;
             return std::string();
         }},
        {"--png", "FILE", "write TapTally's screen at the end of the replay as PNG",
         [](Options &o, Text v) {
             o.Output.Png = v;
             return std::string();
         }},
        {"--timeline", "FILE", "write the intervals and findings over time as SVG",
         [](Options &o, Text v) {
             o.Output.Timeline = v;
             return std::string();
         }},
        {"--live", nullptr,
         "test the mouse DEVICE live; the verdict follows when\n"
         "the test ends (Ctrl+C)",
         [](Options &o, Text) {
             o.Live.Live = true;
             return std::string();
         }},
        {"--grab", nullptr, "with --live: keep the mouse's clicks from the desktop",
         [](Options &o, Text) {
             o.Live.Grab = true;
             return std::string();
         }},
        {"--seconds", "N", "with --live: end the test after N seconds",
         [](Options &o, Text value) {
             int64_t seconds;
             if (!ParseDecimal(value.data(), value.size(), 1, 31536000, seconds)) {
                 return "--seconds needs a whole number of seconds from 1 to 31536000 (a year), "
                        "not \"" +
                        value + "\"";
             }
             o.Live.Seconds = (double)seconds;
             return std::string();
         }},
        {"--record", "FILE", "with --live: keep what was read as an evemu-record file",
         [](Options &o, Text value) {
             o.Live.Record = value;
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
                         CommandOptions &options, std::vector<std::string> &operands, bool &help) {
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
            // "--trigger=90": a known option, its value joined to it.
            std::string name = argument.substr(0, argument.find('='));
            std::string value = name == argument ? "" : argument.substr(name.size() + 1);
            for (const OptionRow &candidate : table) {
                if (name != argument && name == candidate.Name) {
                    return candidate.Value ? argument + ": give the value after a space, " + name +
                                                 " " + (value.empty() ? candidate.Value : value)
                                           : name + " takes no value";
                }
            }
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

} // namespace replay
