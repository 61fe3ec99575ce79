// Recordings of a mouse for the replay tests, written in both formats from one list of
// kernel events, and a way to run the tool on them.
#pragma once

#include <gtest/gtest.h>

#include "replay/front/cli.h"

#include <cstdio>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace recordings {

const int KEY = 1, REL = 2, MSC = 4;
const int LEFT = 0x110, RIGHT = 0x111, MIDDLE = 0x112, SIDE = 0x113;

struct Row {
    long Micros;
    int Type, Code, Value;
};
using Rows = std::vector<Row>;

// One frame: its events, then SYN_REPORT with the given value.
inline void Frame(Rows &rows, long ms, std::vector<Row> events, int reportValue = 0) {
    for (Row &event : events) {
        event.Micros = ms * 1000;
        rows.push_back(event);
    }
    rows.push_back(Row{ms * 1000, 0, 0, reportValue});
}
inline void Move(Rows &rows, long ms, int dx, int dy) {
    Frame(rows, ms, {{0, REL, 0, dx}, {0, REL, 1, dy}});
}
inline void Button(Rows &rows, long ms, int code, int value) {
    Frame(rows, ms, {{0, MSC, 4, 30}, {0, KEY, code, value}});
}
inline void Click(Rows &rows, long ms, int code, long holdMs = 90) {
    Button(rows, ms, code, 1);
    Button(rows, ms + holdMs, code, 0);
}

inline std::string Printf(const char *format, long a, long b, long c, long d, long e) {
    char text[160];
    snprintf(text, sizeof text, format, a, b, c, d, e);
    return text;
}

const char YAML_DEVICE_TAIL[] = "    codes:\n"
                                "      0: [0, 1, 2, 3, 4] # EV_SYN\n"
                                "      1: [272, 273, 274, 275, 276] # EV_KEY\n"
                                "      2: [0, 1, 6, 8, 11, 12] # EV_REL\n"
                                "      4: [4] # EV_MSC\n"
                                "    properties: []\n"
                                "  hid: [5, 1, 9, 2, 161, 1]\n"
                                "  udev:\n"
                                "    properties:\n"
                                "    - ID_INPUT=1\n"
                                "    - ID_INPUT_MOUSE=1\n"
                                "  quirks:\n";

// The events of one device as a list of frames, with the comments and libinput entries
// that libinput record writes beside them.
inline std::string YamlEvents(const Rows &rows, long offsetMicros = 0) {
    std::string text = "  events:\n  # Current time is 12:31:56\n";
    bool frameOpen = false;
    for (const Row &row : rows) {
        if (!frameOpen) {
            text += "  - evdev:\n";
            frameOpen = true;
        }
        long at = row.Micros + offsetMicros;
        text += Printf("    - [%3ld, %6ld, %3ld, %3ld, %7ld] # event\n", at / 1000000, at % 1000000,
                       row.Type, row.Code, row.Value);
        if (row.Type == 0 && row.Code == 0) {
            frameOpen = false;
            if (at % 7 == 0) {
                text += "    libinput:\n    - {time: 0.1, type: POINTER_MOTION, dx: 1.0}\n";
            }
        }
    }
    return text;
}

inline std::string Yaml(const Rows &rows) {
    return "# libinput record\nversion: 1\nndevices: 1\nlibinput:\n  version: \"1.23.0\"\n"
           "  git: \"unknown\"\nsystem:\n  os: \"debian:12\"\n  kernel: \"6.1.0\"\n"
           "  dmi: \"dmi:bvnExample:\"\ndevices:\n- node: /dev/input/event5\n  evdev:\n"
           "    # Name: Example Optical Mouse\n    name: \"Example Optical Mouse\"\n"
           "    id: [3, 4660, 22136, 1]\n" +
           std::string(YAML_DEVICE_TAIL) + YamlEvents(rows);
}

// evemu-record's text, times since 1970 unless epoch is 0, with or without its header.
inline std::string Evemu(const Rows &rows, long epoch = 1432678476, bool header = true) {
    std::string text;
    if (header) {
        text = "# EVEMU 1.3\n# Kernel: 6.1.0\n# Input device name: \"Example Optical Mouse\"\n"
               "N: Example Optical Mouse\nI: 0003 1234 5678 0001\nP: 00 00 00 00 00 00 00 00\n"
               "B: 00 0b 00 00 00 00 00 00 00\n";
        for (int line = 0; line < 12; ++line) {
            text +=
                line == 4 ? "B: 01 00 00 1f 00 00 00 00 00\n" : "B: 01 00 00 00 00 00 00 00 00\n";
        }
        text += "B: 02 43 19 00 00 00 00 00 00\nB: 04 10 00 00 00 00 00 00 00\n"
                "################################\n#      Waiting for events      #\n"
                "################################\n";
    }
    for (const Row &row : rows) {
        char value[24];
        snprintf(value, sizeof value, "%04d", row.Value);
        text += Printf("E: %ld.%06ld %04lx %04lx ", epoch + row.Micros / 1000000,
                       row.Micros % 1000000, row.Type, row.Code, 0) +
                value + "\t# event\n";
    }
    return text;
}

// A folder of this test process's own, so that two runs of the suite never meet; it is
// removed when the process ends.
inline const std::string &Folder() {
    struct Own {
        std::string Path;
        Own() : Path(testing::TempDir() + "taptally_replay_XXXXXX") {
            if (!mkdtemp(Path.data())) {
                ADD_FAILURE() << "cannot make a folder in " << testing::TempDir();
            }
            Path += "/";
        }
        ~Own() { std::filesystem::remove_all(Path); }
    };
    static const Own folder;
    return folder.Path;
}

// With TAPTALLY_KEEP_RECORDINGS naming a folder, every recording written is also kept
// there (numbered, its name in plain letters), for the page's tests to drop on the page.
inline void Keep(const std::string &name, const std::string &content) {
    static int kept = 0;
    const char *folder = getenv("TAPTALLY_KEEP_RECORDINGS");
    if (!folder || !*folder) {
        return;
    }
    std::string plain;
    for (char c : name) {
        plain += isalnum((unsigned char)c) || c == '.' || c == '-' ? c : '_';
    }
    char number[16];
    snprintf(number, sizeof number, "%03d-", ++kept);
    std::ofstream(std::string(folder) + "/" + number + plain, std::ios::binary) << content;
}

inline std::string Write(const std::string &name, const std::string &content) {
    std::string path = Folder() + name;
    std::ofstream(path, std::ios::binary) << content;
    Keep(name, content);
    return path;
}

struct Outcome {
    int Status;
    std::string Out, Err;
};

inline Outcome RunTool(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "taptally-replay");
    std::vector<char *> argv;
    for (std::string &argument : arguments) {
        argv.push_back(argument.data());
    }
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    int status = replay::Main((int)argv.size(), argv.data());
    std::string out = testing::internal::GetCapturedStdout();
    return Outcome{status, out, testing::internal::GetCapturedStderr()};
}

// The JSON verdict of a recording written under the given name.
inline Outcome Json(const std::string &name, const std::string &content,
                    std::vector<std::string> options = {}) {
    options.push_back("--json");
    options.push_back(Write(name, content));
    return RunTool(options);
}

} // namespace recordings
