// taptally-replay on recordings the tests write: TapTally's verdict, the same from both
// formats; what is left out and counted; bad input and bad options; the pictures.
#include "recordings.h"

#include <windows.h>

#include <headless/driver.h>

#include "engine/test_state.h"

#include <array>
#include <fstream>
#include <sstream>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

using namespace recordings;

namespace {

const char CODE_10[] = "Error # 10 Occurred! - The Left Button 'Least' value was too small.";
const char CODE_11[] = "Error # 11 Occurred! - The Left Button or Driver sent a";
const char CODE_12[] = "Error # 12 Occurred! - The Left Button or Driver sent a";
const char CODE_20[] = "Error # 20 Occurred! - The Middle Button 'Least' value was too small.";
const char CODE_30[] = "Error # 30 Occurred! - The Right Button 'Least' value was too small.";

std::string ReadAll(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

// The "errors" list of a JSON verdict, as text.
std::string ErrorsOf(const std::string &json) {
    size_t start = json.find("\"errors\": [");
    return start == std::string::npos ? "" : json.substr(start, json.find(']', start) - start + 1);
}

std::string LeftOf(const std::string &json) {
    size_t start = json.find("\"left\": ");
    return json.substr(start, json.find("}}", start) - start + 2);
}

struct VerdictCase {
    const char *Name;
    Rows Recording;
    std::vector<std::string> Options;
    int Status;
    std::string Errors; // the JSON list of errors
    std::string Left;   // the JSON of the left button
};

std::string Error(long ms, int code, const char *text) {
    return "{\"time_ms\": " + std::to_string(ms) + ", \"code\": " + std::to_string(code) +
           ", \"text\": \"" + text + "\"}";
}

std::string Errors(std::vector<std::string> errors) {
    std::string list;
    for (const std::string &error : errors) {
        list += (list.empty() ? "" : ", ") + error;
    }
    return "\"errors\": [" + list + "]";
}

std::vector<VerdictCase> VerdictCases() {
    std::vector<VerdictCase> cases;
    auto add = [&](const char *name, std::vector<std::string> options, int status,
                   std::string errors, std::string left, auto build) {
        Rows rows;
        Move(rows, 0, 3, -2);
        build(rows);
        cases.push_back(VerdictCase{name, rows, options, status, errors, left});
    };
    add("chatter", {}, 1, Errors({Error(1092, 10, CODE_10)}),
        "\"left\": {\"presses\": 2, \"least_ms\": 12, \"errors\": {\"10\": 1}}", [](Rows &r) {
            Click(r, 1080, LEFT, 5);
            Click(r, 1092, LEFT, 80);
        });
    add("at the trigger", {}, 0, Errors({}),
        "\"left\": {\"presses\": 3, \"least_ms\": 85, \"errors\": {}}", [](Rows &r) {
            Click(r, 1000, LEFT, 40);
            Click(r, 1085, LEFT, 40);
            Click(r, 1170, LEFT, 40);
        });
    add("one below the trigger", {}, 1, Errors({Error(1084, 10, CODE_10)}),
        "\"left\": {\"presses\": 2, \"least_ms\": 84, \"errors\": {\"10\": 1}}", [](Rows &r) {
            Click(r, 1000, LEFT, 40);
            Click(r, 1084, LEFT, 40);
        });
    add("up without down", {}, 1, Errors({Error(500, 11, CODE_11)}),
        "\"left\": {\"presses\": 0, \"least_ms\": null, \"errors\": {\"11\": 1}}",
        [](Rows &r) { Button(r, 500, LEFT, 0); });
    // The second down still counts, and its release went to the box.
    add("two downs", {}, 1, Errors({Error(900, 12, CODE_12)}),
        "\"left\": {\"presses\": 2, \"least_ms\": 400, \"errors\": {\"12\": 1}}", [](Rows &r) {
            Button(r, 500, LEFT, 1);
            Button(r, 900, LEFT, 1);
            Button(r, 1000, LEFT, 0);
        });
    add("long hold", {}, 0, Errors({}),
        "\"left\": {\"presses\": 2, \"least_ms\": 900, \"errors\": {}}", [](Rows &r) {
            Click(r, 100, LEFT, 800);
            Click(r, 1000, LEFT, 90);
        });
    add("double click", {}, 0, Errors({}),
        "\"left\": {\"presses\": 2, \"least_ms\": 300, \"errors\": {}}", [](Rows &r) {
            Click(r, 700, LEFT);
            Click(r, 1000, LEFT);
        });
    add("middle and right chatter", {}, 1,
        Errors({Error(1010, 20, CODE_20), Error(2010, 30, CODE_30)}),
        "\"left\": {\"presses\": 0, \"least_ms\": null, \"errors\": {}}", [](Rows &r) {
            Click(r, 1000, MIDDLE, 4);
            Click(r, 1010, MIDDLE);
            Click(r, 2000, RIGHT, 4);
            Click(r, 2010, RIGHT);
        });
    add("swapped", {"--swap"}, 1, Errors({Error(1010, 10, CODE_10)}),
        "\"left\": {\"presses\": 2, \"least_ms\": 10, \"errors\": {\"10\": 1}}", [](Rows &r) {
            Click(r, 1000, RIGHT, 4);
            Click(r, 1010, RIGHT);
        });
    add("trigger lowered", {"--trigger", "10"}, 0, Errors({}),
        "\"left\": {\"presses\": 2, \"least_ms\": 12, \"errors\": {}}", [](Rows &r) {
            Click(r, 1080, LEFT, 5);
            Click(r, 1092, LEFT, 80);
        });
    add("trigger raised", {"--trigger", " +200ms"}, 1, Errors({Error(1199, 10, CODE_10)}),
        "\"left\": {\"presses\": 2, \"least_ms\": 199, \"errors\": {\"10\": 1}}", [](Rows &r) {
            Click(r, 1000, LEFT);
            Click(r, 1199, LEFT);
        });
    return cases;
}

} // namespace

TEST(ReplayVerdict, BothFormatsGiveTapTallysErrorsAtTheirTimes) {
    for (const VerdictCase &test : VerdictCases()) {
        std::string formats[3] = {Yaml(test.Recording), Evemu(test.Recording),
                                  Evemu(test.Recording, 0, false)};
        for (const std::string &content : formats) {
            Outcome outcome = Json("verdict", content, test.Options);
            SCOPED_TRACE(std::string(test.Name) + "\n" + content.substr(0, 40) + "\n" +
                         outcome.Err);
            EXPECT_EQ(outcome.Status, test.Status);
            EXPECT_EQ(ErrorsOf(outcome.Out), test.Errors);
            EXPECT_EQ(LeftOf(outcome.Out), test.Left);
        }
    }
}

TEST(ReplayVerdict, TextReportNamesEverythingAndEndsInTheVerdict) {
    Rows rows;
    Move(rows, 0, 3, -2);
    Click(rows, 1080, LEFT, 5);
    Click(rows, 1092, LEFT, 80);
    Frame(rows, 1300, {{0, KEY, LEFT, 2}, {0, REL, 8, 1}}, 1);
    Click(rows, 1500, RIGHT);
    std::string path = Write("chatter.yml", Yaml(rows));
    Outcome outcome = RunTool({path});
    EXPECT_EQ(outcome.Status, 1);
    EXPECT_EQ(
        outcome.Out,
        "TapTally replay of " + path +
            "\n"
            "Device:   \"Example Optical Mouse\"\n"
            "Duration: 1.590 s, 8 frames, 24 events\n"
            "Ignored:  1 key repeats, 0 other buttons, 1 wheel, 6 other\n"
            "Note:     1 release(s) of a button held when a box came up went to the box, as a "
            "user lets go of the button to answer it\n"
            "Trigger:  85 ms\n"
            "\n"
            "Errors:\n"
            "     1.092 s  " +
            CODE_10 +
            "\n\n"
            "Button   Presses  Least ms  Below trigger  Errors\n"
            "left           2        12              1  10: 1\n"
            "middle         0         -              0  -\n"
            "right          1         -              0  -\n"
            "\n"
            "Movement: 1 messages, most change x 3, y 2\n"
            "FAIL: 1 error (10: 1)\n");
}

TEST(ReplayVerdict, JsonHoldsEveryKeyAndCountsWhatWasLeftOut) {
    Rows rows;
    Move(rows, 0, -4, 5);
    Frame(rows, 10, {{0, REL, 8, -1}, {0, REL, 11, -120}, {0, REL, 6, 1}}); // wheels
    Click(rows, 100, SIDE);                                                 // a side button
    Button(rows, 200, MIDDLE, 1);
    Frame(rows, 450, {{0, KEY, MIDDLE, 2}}, 1); // kernel repeats
    Frame(rows, 483, {{0, KEY, MIDDLE, 2}}, 1);
    Button(rows, 500, MIDDLE, 0);
    Outcome outcome = Json("ignored.evemu", Evemu(rows));
    EXPECT_EQ(outcome.Status, 0) << outcome.Err;
    EXPECT_EQ(outcome.Out,
              "{\"file\": \"" + testing::TempDir() +
                  "ignored.evemu\", \"device\": \"Example Optical Mouse\", \"duration_ms\": 500, "
                  "\"trigger_ms\": 85, \"errors\": [], \"other_boxes\": [], "
                  "\"releases_into_boxes\": 0, \"buttons\": {"
                  "\"left\": {\"presses\": 0, \"least_ms\": null, \"errors\": {}}, "
                  "\"middle\": {\"presses\": 1, \"least_ms\": null, \"errors\": {}}, "
                  "\"right\": {\"presses\": 0, \"least_ms\": null, \"errors\": {}}}, "
                  "\"movement\": {\"messages\": 1, \"most_change_x\": 4, \"most_change_y\": 5}, "
                  "\"ignored\": {\"repeats\": 2, \"other_buttons\": 2, \"wheel\": 3, "
                  "\"other\": 4}}\n");
}

// The frame's motion comes first: the release lands where the pointer moved to, over
// the program's icon, and TapTally opens its About box, which the replay answers.
TEST(ReplayVerdict, MotionComesBeforeTheButtonsOfItsFrame) {
    Rows rows;
    Button(rows, 1000, LEFT, 1);
    Frame(rows, 1100, {{0, REL, 1, -230}, {0, MSC, 4, 30}, {0, KEY, LEFT, 0}});
    Outcome outcome = Json("icon.yml", Yaml(rows));
    EXPECT_EQ(outcome.Status, 0) << outcome.Err;
    EXPECT_NE(outcome.Out.find("\"other_boxes\": [{\"time_ms\": 100, \"caption\": \"About "
                               "TapTally\", \"text\": \"TapTally      Ver. 1.90  (32 bit)\"}]"),
              std::string::npos)
        << outcome.Out;
}

TEST(ReplayRecording, QuirksOfRealFilesAreRead) {
    Rows rows;
    Move(rows, 0, 1, 1);
    Click(rows, 1000, LEFT, 4);
    Click(rows, 1010, LEFT);
    std::string yaml = Yaml(rows), evemu = Evemu(rows);
    auto crlf = [](std::string text) {
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) {
            text.insert(at, "\r");
        }
        return text;
    };
    // A second device, the keyboard, listed first; both share one time base.
    std::string keyboard = "- node: /dev/input/event3\n  evdev:\n    name: \"Example Keyboard\"\n"
                           "    codes:\n      1: [1, 2, 3, 30]\n  events:\n  - evdev:\n"
                           "    - [  0, 300, 1, 30, 1]\n    - [  0, 300, 0, 0, 0]\n";
    size_t mouse = yaml.find("- node: /dev/input/event5");
    std::string two = yaml.substr(0, mouse) + keyboard +
                      yaml.substr(mouse, yaml.find("  events:") - mouse) +
                      YamlEvents(rows, 2500000);
    std::string cases[][2] = {
        {"CR LF yaml", crlf(yaml)},
        {"CR LF evemu", crlf(evemu)},
        {"two devices", two},
        {"comment without line feed", yaml + "# Closing time is 12:32:00"},
        {"evemu of old", "# EVEMU 1.2\nN: Example Optical Mouse\n" + Evemu(rows, 0, false)},
    };
    for (const auto &test : cases) {
        Outcome outcome = Json("quirk", test[1]);
        SCOPED_TRACE(test[0] + "\n" + outcome.Err);
        EXPECT_EQ(outcome.Status, 1);
        EXPECT_EQ(ErrorsOf(outcome.Out), Errors({Error(1010, 10, CODE_10)}));
        EXPECT_NE(outcome.Out.find("\"device\": \"Example Optical Mouse\""), std::string::npos);
    }
    // The mouse is the second device; the first is a keyboard.
    EXPECT_EQ(ErrorsOf(Json("two", two, {"--device", "2"}).Out),
              Errors({Error(1010, 10, CODE_10)}));
    Outcome onKeyboard = Json("two", two, {"--device", "1"});
    EXPECT_EQ(onKeyboard.Status, 2);
    EXPECT_NE(onKeyboard.Err.find(":18: device 1 \"Example Keyboard\" has no BTN_LEFT and REL_X"),
              std::string::npos)
        << onKeyboard.Err;
}

TEST(ReplayRecording, CutInTheMiddleOfAFrameReplaysWhatCameBefore) {
    Rows rows;
    Click(rows, 100, LEFT);
    Click(rows, 500, LEFT);
    rows.pop_back(); // the last SYN_REPORT never came
    for (const std::string &content : {Yaml(rows), Evemu(rows)}) {
        std::string path = Write("cut", content);
        Outcome outcome = RunTool({path});
        EXPECT_EQ(outcome.Status, 0) << outcome.Err;
        EXPECT_NE(outcome.Out.find("Note:     the recording ends in the middle of a frame; its 2 "
                                   "event(s) were not replayed\n"),
                  std::string::npos)
            << outcome.Out;
        EXPECT_NE(outcome.Out.find("left           2       400"), std::string::npos);
    }
}

// After SYN_DROPPED the frame up to the next SYN_REPORT is spoiled; a press that then
// finds its button down tells of a lost release, which comes back before it.
TEST(ReplayRecording, ChangesLostWhereTheKernelDroppedEventsAreRestored) {
    Rows rows;
    Button(rows, 100, LEFT, 1);
    Frame(rows, 150, {{0, 0, 3, 0}, {0, KEY, LEFT, 0}}); // SYN_DROPPED, then a spoiled frame
    Click(rows, 400, LEFT);
    Click(rows, 800, RIGHT);
    Outcome outcome = RunTool({Write("dropped.evemu", Evemu(rows))});
    EXPECT_EQ(outcome.Status, 0) << outcome.Out;
    EXPECT_NE(outcome.Out.find("Note:     the kernel dropped events 1 time(s) (SYN_DROPPED); the "
                               "frames it spoiled were not replayed, and 1 button change(s) lost "
                               "there were restored from the changes after them\n"),
              std::string::npos)
        << outcome.Out;
    EXPECT_NE(outcome.Out.find("left           2       300"), std::string::npos);
    // Five MSC_SCAN, the SYN_DROPPED, the spoiled release and its SYN_REPORT.
    EXPECT_NE(outcome.Out.find(", 8 other\n"), std::string::npos);
}

TEST(ReplayRecording, BadInputIsOneLineWithFileAndLineAndStatus2) {
    Rows rows;
    Click(rows, 100, LEFT);
    std::string yaml = Yaml(rows), evemu = Evemu(rows);
    auto replace = [](std::string text, const std::string &from, const std::string &to) {
        size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? text : text.replace(at, from.size(), to);
    };
    std::string keyboardOnly = replace(yaml, "1: [272, 273, 274, 275, 276]", "1: [1, 2, 3]");
    std::string cases[][2] = {
        {yaml.substr(0, yaml.rfind(",")),
         ":38: not valid YAML: did not find expected ',' or ']' while parsing a flow "
         "sequence"},
        {replace(yaml, "100000,   4", "1x0000,   4"),
         ":32: the usec of an evdev row must be a number from 0 to 999999, not \"1x0000\""},
        {replace(yaml, "4,      30] # event", "4] # event"),
         ":32: an evdev row must hold 5 values [sec, usec, type, code, value], not 4"},
        {replace(yaml, "version: 1", "version: 2"),
         ":2: format version 2 is not known; this tool reads version 1"},
        {keyboardOnly, ":38: no device of the recording has BTN_LEFT and REL_X: this is no "
                       "recording of a mouse"},
        {"Dear shop,\nmy mouse clicks twice.\n",
         ":1: this is neither a libinput record file (YAML) nor an evemu-record file"},
        {"", ": this is neither a libinput record file (YAML) nor an evemu-record file"},
        {replace(evemu, ".100000", ".10000"),
         ":25: the microseconds of an E: line must be six digits"},
        {replace(evemu, "0001 0110 0001", "0001 0110 0005"),
         ":26: a key or button value must be 0 (up), 1 (down) or 2 (repeat), not 5"},
        {replace(evemu, "B: 02 43", "B: 02 00"),
         ":25: the device \"Example Optical Mouse\" has no BTN_LEFT and REL_X: this is no "
         "recording of a mouse"},
        {Evemu(rows, 0, false) + "E: 0.000001 0000 0000 0000\n",
         ":7: the time goes back from 0.190000 to 0.000001 seconds"},
        {"# EVEMU 1.3\nN: Example Optical Mouse\n",
         ":2: the recording holds no events of the device"},
        {"E: 0.000000 0001 001e 0001\nE: 0.000000 0000 0000 0000\n",
         ":2: the recording holds no button or motion of a mouse (BTN_LEFT, BTN_MIDDLE, "
         "BTN_RIGHT, REL_X, REL_Y)"},
    };
    std::string png = testing::TempDir() + "never.png";
    for (const auto &test : cases) {
        std::string path = Write("bad", test[0]);
        Outcome outcome = RunTool({"--png", png, path});
        EXPECT_EQ(outcome.Status, 2) << test[1];
        EXPECT_EQ(outcome.Err, "taptally-replay: " + path + test[1] + "\n");
        EXPECT_EQ(outcome.Out, "");
        EXPECT_FALSE(std::ifstream(png).good()) << "a picture was written for " << test[1];
    }
}

TEST(ReplayOptions, BadOptionsAndARefusedTriggerEndWithStatus2) {
    Rows rows;
    Click(rows, 100, LEFT);
    std::string path = Write("options.yml", Yaml(rows));
    Outcome refused = RunTool({"--trigger", "250", path});
    EXPECT_EQ(refused.Status, 2);
    EXPECT_EQ(refused.Err, "taptally-replay: " + path +
                               ": --trigger 250: refused by TapTally: \"Entry Error\": Allowable "
                               "values are 10-200. You entered 250 Please see INFORMATION for "
                               "details.\n");
    EXPECT_EQ(RunTool({"--trigger", "9", path}).Status, 2);
    EXPECT_EQ(RunTool({"--device", "2", path}).Err,
              "taptally-replay: " + path + ":38: --device 2: the recording holds 1 device(s)\n");
    for (std::vector<std::string> options : {std::vector<std::string>{"--device", "0", path},
                                             {"--device"},
                                             {"--colour", path},
                                             {},
                                             {path, path}}) {
        Outcome outcome = RunTool(options);
        EXPECT_EQ(outcome.Status, 2);
        EXPECT_EQ(outcome.Err.rfind("taptally-replay: ", 0), 0u);
        EXPECT_NE(outcome.Err.find("usage: taptally-replay"), std::string::npos);
    }
    EXPECT_EQ(RunTool({"/nonexistent/recording"}).Err,
              "taptally-replay: /nonexistent/recording: No such file or directory\n");
    // A picture that cannot be written leaves the verdict standing, with status 2.
    Outcome unwritten = RunTool({"--png", "/nonexistent/screen.png", path});
    EXPECT_EQ(unwritten.Status, 2);
    EXPECT_EQ(unwritten.Err, "taptally-replay: cannot write /nonexistent/screen.png\n");
    EXPECT_NE(unwritten.Out.find("\nPASS: no errors\n"), std::string::npos);
}

TEST(ReplayOptions, ControlCharactersOfTheFileAreNotPrinted) {
    Rows rows;
    Click(rows, 100, LEFT);
    std::string yaml = Yaml(rows);
    yaml.replace(yaml.find("name: \"Example"), 14, "name: \"\\e[2JExample");
    Outcome outcome = RunTool({Write("escape.yml", yaml)});
    EXPECT_NE(outcome.Out.find("Device:   \"?[2JExample Optical Mouse\"\n"), std::string::npos)
        << outcome.Out;
}

TEST(ReplayOptions, StandardInputIsReadForADash) {
    Rows rows;
    Click(rows, 100, LEFT, 4);
    Click(rows, 110, LEFT);
    std::string path = Write("stdin.evemu", Evemu(rows));
    ASSERT_TRUE(freopen(path.c_str(), "rb", stdin));
    Outcome outcome = RunTool({"--json", "-"});
    EXPECT_EQ(outcome.Status, 1);
    EXPECT_EQ(outcome.Out.rfind("{\"file\": \"(standard input)\"", 0), 0u);
}

// The picture of the replay equals the stand-in's own screen after the same messages,
// sent by a script.
TEST(ReplayPictures, PngIsTheScreenAfterTheSameMessages) {
    Rows rows;
    Move(rows, 0, 40, -30);
    Click(rows, 1000, LEFT, 4);
    Click(rows, 1010, LEFT);
    Move(rows, 1200, -5, 7);
    std::string png = testing::TempDir() + "replay.png";
    EXPECT_EQ(RunTool({"--png", png, Write("picture.yml", Yaml(rows))}).Status, 1);

    headless::ResetWorld();
    State = TestState{};
    headless::SetCursorScreenPos(512, 384);
    headless::SetMessageScreenPos(512, 384);
    // Client (508, 342) is where the pointer rests at the start.
    auto at = [](DWORD ms, std::vector<std::array<int, 3>> messages) {
        headless::AddStep([ms, messages] {
            headless::SetTick(1000000 + 1000 + ms);
            for (const auto &message : messages) {
                headless::QueueMouse(headless::MainWindow(), (UINT)message[0], message[1],
                                     message[2], message[0] == WM_LBUTTONDOWN ? MK_LBUTTON : 0);
            }
        });
    };
    at(0, {{WM_MOUSEMOVE, 548, 312}});
    at(1000, {{WM_LBUTTONDOWN, 548, 312}, {WM_LBUTTONUP, 548, 312}});
    at(1010, {{WM_LBUTTONDOWN, 548, 312}});
    headless::AddStep([] { headless::AnswerBox(IDOK); });
    at(1200, {{WM_MOUSEMOVE, 543, 319}}); // the release went to the box
    std::string expected = testing::TempDir() + "expected.png";
    headless::AddStep([expected] {
        headless::SavePng(headless::MainWindow(), expected.c_str());
        headless::QueueCloseBox(headless::MainWindow());
    });
    WinMain(headless::ProgramInstance(), nullptr, (LPSTR) "", SW_SHOWNORMAL);
    std::string picture = ReadAll(png);
    EXPECT_GT(picture.size(), 1000u);
    EXPECT_TRUE(picture == ReadAll(expected)) << png << " differs from " << expected;
}

TEST(ReplayPictures, TimelinePlotsEveryIntervalPerButtonWithTriggerAndErrors) {
    Rows rows;
    Click(rows, 1000, LEFT, 5);
    Click(rows, 1300, LEFT, 5);
    Click(rows, 1312, LEFT, 5);
    Click(rows, 1500, RIGHT);
    Click(rows, 2000, LEFT, 5);
    Click(rows, 2500, RIGHT);
    std::string svg = testing::TempDir() + "timeline.svg";
    EXPECT_EQ(
        RunTool({"--timeline", svg, "--trigger", "50", Write("plot.evemu", Evemu(rows))}).Status,
        1);
    std::string plot = ReadAll(svg);
    auto count = [&plot](const std::string &what) {
        size_t found = 0;
        for (size_t at = plot.find(what); at != std::string::npos; at = plot.find(what, at + 1)) {
            ++found;
        }
        return found;
    };
    EXPECT_EQ(plot.rfind("<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
    EXPECT_EQ(count("class=\"press\""), 3u); // 300 and 688 ms left, 1000 ms right
    EXPECT_EQ(count("class=\"fast\""), 1u);  // 12 ms left
    EXPECT_EQ(count(">trigger 50 ms</text>"), 3u);
    // Times count from the recording's first event, the press at 1000 ms.
    EXPECT_EQ(count("<title>0.312 s: error 10</title>"), 1u);
    EXPECT_EQ(count(">10000</text>"), 3u);
    for (const char *label : {"left button", "middle button", "right button",
                              "time in the recording (s)", ">1.4</text>"}) {
        EXPECT_EQ(count(label), 1u) << label;
    }
}
