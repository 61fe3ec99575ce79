// What is refused before anything is read or written: devices and terminals given as a
// recording, packed files, outputs that are the input; and the messages of bad input.
#include "recordings.h"

#include <fcntl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

using namespace recordings;

namespace {

std::string Content(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

Rows Clicks() {
    Rows rows;
    Click(rows, 100, LEFT);
    Click(rows, 500, LEFT);
    return rows;
}

std::string Recording() {
    return Evemu(Clicks());
}

std::string YamlRecording() {
    return Yaml(Clicks());
}

} // namespace

TEST(ReplayInput, WhatIsNoRecordingIsRefusedAtOnceWithAHint) {
    const std::string packed = ": unpack it first, or replay it with ";
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"/dev/zero"},
         "/dev/zero: a device, not a recording: give the recording's file, or pipe it in "
         "(taptally-replay - < mouse.yml)"},
        {{"--json", "/dev/null"},
         "/dev/null: a device, not a recording: give the recording's file, or pipe it in "
         "(taptally-replay - < mouse.yml)"},
        {{Write("mouse.yml.gz", std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00", 8))},
         Folder() + "mouse.yml.gz: this file is packed with gzip" + packed +
             "zcat FILE | taptally-replay -"},
        {{Write("mouse.xz", "\xfd\x37\x7a\x58\x5a" + std::string(8, '\0'))},
         Folder() + "mouse.xz: this file is packed with xz" + packed +
             "xzcat FILE | taptally-replay -"},
        {{Write("mouse.zst", "\x28\xb5\x2f\xfd" + std::string(8, '\0'))},
         Folder() + "mouse.zst: this file is packed with zstd" + packed +
             "zstdcat FILE | taptally-replay -"},
        {{Write("mouse.bz2", "BZh91AY&SY")},
         Folder() + "mouse.bz2: this file is packed with bzip2" + packed +
             "bzcat FILE | taptally-replay -"},
        {{"--live", "--grab", "-"}, "--grab needs a device node, not a stream on standard input"},
        {{"--live", Folder()}, Folder() + ": cannot be read: Is a directory"},
        {{"--live", Write("mouse.yml", YamlRecording())},
         Folder() +
             "mouse.yml: a recording (libinput record), not a stream of events as they "
             "come: replay it without --live, taptally-replay " +
             Folder() + "mouse.yml"},
        {{"--live", Write("mouse.evemu", Recording())},
         Folder() +
             "mouse.evemu: a recording (evemu-record), not a stream of events as they "
             "come: replay it without --live, taptally-replay " +
             Folder() + "mouse.evemu"},
    };
    for (const auto &test : cases) {
        Outcome outcome = RunTool(test.first);
        EXPECT_EQ(outcome.Status, 2);
        EXPECT_EQ(outcome.Err, "taptally-replay: " + test.second + "\n");
        EXPECT_EQ(outcome.Out, "");
    }
}

// A terminal on standard input would wait for ever for a recording typed in.
TEST(ReplayInput, ATerminalOnStandardInputIsRefused) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    int saved = dup(0);
    dup2(terminal, 0);
    Outcome outcome = RunTool({"-"});
    // Ctrl+D typed first: a terminal that is read ends at once instead of waiting.
    ASSERT_EQ(write(master, "\x04", 1), 1);
    Outcome live = RunTool({"--live", "-"});
    dup2(saved, 0);
    for (int fd : {saved, terminal, master}) {
        close(fd);
    }
    EXPECT_EQ(outcome.Status, 2);
    EXPECT_EQ(outcome.Err, "taptally-replay: (standard input): a terminal, not a recording: give "
                           "the recording's file, or pipe it in (taptally-replay - < mouse.yml)\n");
    EXPECT_EQ(live.Status, 2);
    EXPECT_EQ(live.Err, "taptally-replay: (standard input): a terminal, not a stream of events: "
                        "pipe them in (sudo cat /dev/input/event5 | taptally-replay --live -)\n");
    EXPECT_EQ(live.Out, "");
}

// Only an input device is worth a try with --live; standard input is named as such.
TEST(ReplayInput, OnlyAnInputDeviceIsSentToTheLiveTest) {
    struct Case {
        unsigned Major;
        std::string Path, Expected;
    };
    const Case cases[] = {
        {13, "/dev/input/event5",
         "/dev/input/event5: an input device, not a recording: to test it as it is used, run "
         "taptally-replay --live /dev/input/event5"},
        {13, "-",
         "(standard input): an input device, not a recording: to test it as it is used, run "
         "taptally-replay --live -"},
        {1, "-",
         "(standard input): a device, not a recording: give the recording's file, or pipe it in "
         "(taptally-replay - < mouse.yml)"},
        {4, "/dev/tty3",
         "/dev/tty3: a device, not a recording: give the recording's file, or pipe it in "
         "(taptally-replay - < mouse.yml)"},
    };
    struct stat device = {};
    device.st_mode = S_IFCHR | 0660;
    for (const Case &test : cases) {
        device.st_rdev = makedev(test.Major, 65);
        EXPECT_EQ(replay::InputIsDevice(test.Path, device, false), test.Expected);
    }
    struct stat file = {};
    file.st_mode = S_IFREG | 0644;
    EXPECT_EQ(replay::InputIsDevice("mouse.yml", file, false), "");

    int null = open("/dev/null", O_RDONLY);
    ASSERT_GE(null, 0);
    int saved = dup(0);
    dup2(null, 0);
    Outcome outcome = RunTool({"-"});
    dup2(saved, 0);
    close(saved);
    close(null);
    EXPECT_EQ(outcome.Status, 2);
    EXPECT_EQ(outcome.Err, "taptally-replay: (standard input): a device, not a recording: give "
                           "the recording's file, or pipe it in (taptally-replay - < mouse.yml)\n");
}

// The same file under another name, a path or a hard link, is still the input.
TEST(ReplayInput, AnOutputThatIsTheInputIsRefusedBeforeAnythingIsWritten) {
    std::string recording = Recording();
    std::string path = Write("kept.evemu", recording);
    std::string other = Folder() + "link.evemu";
    ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
    std::string raw = Write("kept.raw", std::string(48, '\0'));
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--png", path, path}, "--png " + path},
        {{"--timeline", other, path}, "--timeline " + other},
        {{"--png", Folder() + "other.png", "--timeline", Folder() + "./kept.evemu", path},
         "--timeline " + Folder() + "./kept.evemu"},
        {{"--live", "--record", raw, raw}, "--record " + raw},
        {{"--live", "--png", raw, raw}, "--png " + raw},
    };
    for (const auto &test : cases) {
        Outcome outcome = RunTool(test.first);
        EXPECT_EQ(outcome.Status, 2);
        EXPECT_EQ(outcome.Err, "taptally-replay: " + test.second +
                                   ": this is the input itself, which writing would destroy\n");
        EXPECT_EQ(Content(path), recording);
        EXPECT_EQ(Content(raw), std::string(48, '\0'));
    }
    EXPECT_FALSE(std::ifstream(Folder() + "other.png").good());
}

TEST(ReplayInput, MessagesSayWhatIsWrong) {
    Rows rows;
    Click(rows, 100, LEFT);
    std::string evemu = Evemu(rows), yaml = Yaml(rows);
    std::string late = evemu;
    late.replace(late.rfind("E: 1432678476"), 13, "E: 1099511627777");
    std::string open = yaml;
    open.replace(open.find("\"Example Optical Mouse\"\n"), 23, "\"Example Optical Mouse\n");
    std::string large = evemu, word = evemu;
    large.replace(large.rfind(" 0110 0000\t") + 6, 4, "2147483648"); // the release's value
    word.replace(word.rfind(" 0110 0000\t") + 6, 4, "12ab");
    const std::string cases[][2] = {
        {late, ":30: the seconds of an E: line are out of range: at most 1099511627776 (2^40)"},
        {large, ":29: the value of an E: line must be a whole number from -2147483648 to "
                "2147483647"},
        {word, ":29: the value of an E: line must be a whole number from -2147483648 to "
               "2147483647"},
        {open, ":15: a quote opened here is never closed"},
    };
    for (const auto &test : cases) {
        std::string path = Write("message", test[0]);
        Outcome outcome = RunTool({path});
        EXPECT_EQ(outcome.Status, 2);
        EXPECT_EQ(outcome.Err, "taptally-replay: " + path + test[1] + "\n");
    }
    // A second mouse in the file is named, and how to replay it.
    size_t mouse = yaml.find("- node: /dev/input/event5");
    std::string two = yaml + yaml.substr(mouse, yaml.find("  events:") - mouse) + YamlEvents(rows);
    Outcome both = RunTool({Write("two.yml", two)});
    EXPECT_NE(both.Out.find("Device:   \"Example Optical Mouse\" (device 1 of 2)\nDuration"),
              std::string::npos)
        << both.Out;
    EXPECT_NE(both.Out.find("Note:     the recording holds 2 mice: device 1 was replayed, and "
                            "--device N replays another\n"),
              std::string::npos);
}
