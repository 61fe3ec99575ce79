// taptally-replay on recordings the tests write: TapTally's verdict, the same from both
// formats; what is left out and counted; bad input and bad options; the pictures.
#include "recordings.h"

#include <windows.h>

#include <headless/driver.h>

#include "base/test_state.h"
#include "replay/running/session.h"

#include <array>
#include <functional>
#include <fstream>
#include <sstream>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int);

using namespace recordings;

namespace {

// The error boxes' whole texts, their lines joined.
const char CODE_10[] = "Error # 10 Occurred! - The Left Button 'Least' value was too small. Click "
                       "'OK' and press 'R' for RESET Please see INFORMATION for details.";
const char CODE_11[] = "Error # 11 Occurred! - The Left Button or Driver sent a Button UP before "
                       "Button DOWN. Please see INFORMATION for details.";
const char CODE_12[] = "Error # 12 Occurred! - The Left Button or Driver sent a Button DOWN "
                       "before Button UP. Please see INFORMATION for details.";
const char CODE_20[] = "Error # 20 Occurred! - The Middle Button 'Least' value was too small. "
                       "Click 'OK' and press 'R' for RESET Please see INFORMATION for details.";
const char CODE_30[] = "Error # 30 Occurred! - The Right Button 'Least' value was too small. "
                       "Click 'OK' and press 'R' for RESET Please see INFORMATION for details.";

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
    return json.substr(start, json.find(", \"middle\": ", start) - start);
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
        "\"left\": {\"presses\": 2, \"least_ms\": 12, \"errors\": {\"10\": 1}, \"findings\": 1}",
        [](Rows &r) {
            Click(r, 1080, LEFT, 5);
            Click(r, 1092, LEFT, 80);
        });
    add("at the trigger", {}, 0, Errors({}),
        "\"left\": {\"presses\": 3, \"least_ms\": 85, \"errors\": {}, \"findings\": 0}",
        [](Rows &r) {
            Click(r, 1000, LEFT, 40);
            Click(r, 1085, LEFT, 40);
            Click(r, 1170, LEFT, 40);
        });
    add("one below the trigger", {}, 1, Errors({Error(1084, 10, CODE_10)}),
        "\"left\": {\"presses\": 2, \"least_ms\": 84, \"errors\": {\"10\": 1}, \"findings\": 0}",
        [](Rows &r) {
            Click(r, 1000, LEFT, 40);
            Click(r, 1084, LEFT, 40);
        });
    add("up without down", {}, 1, Errors({Error(500, 11, CODE_11)}),
        "\"left\": {\"presses\": 1, \"least_ms\": null, \"errors\": {\"11\": 1}, \"findings\": 0}",
        [](Rows &r) {
            Click(r, 100, LEFT);
            Button(r, 500, LEFT, 0);
        });
    // The recording began while the button was down: its release puts the state right.
    add("begun mid-click", {}, 0, Errors({}),
        "\"left\": {\"presses\": 1, \"least_ms\": null, \"errors\": {}, \"findings\": 0}",
        [](Rows &r) {
            Button(r, 500, LEFT, 0);
            Click(r, 900, LEFT);
        });
    // The second down still counts, and its release went to the box.
    add("two downs", {}, 1, Errors({Error(900, 12, CODE_12)}),
        "\"left\": {\"presses\": 2, \"least_ms\": 400, \"errors\": {\"12\": 1}, \"findings\": 0}",
        [](Rows &r) {
            Button(r, 500, LEFT, 1);
            Button(r, 900, LEFT, 1);
            Button(r, 1000, LEFT, 0);
        });
    // TapTally raises 12, then 10 over it: the boxes are listed in that order.
    add("second press without release", {}, 1,
        Errors({Error(530, 12, CODE_12), Error(530, 10, CODE_10)}),
        "\"left\": {\"presses\": 2, \"least_ms\": 30, \"errors\": {\"10\": 1, \"12\": 1}, "
        "\"findings\": 0}",
        [](Rows &r) {
            Button(r, 500, LEFT, 1);
            Button(r, 530, LEFT, 1);
            Button(r, 600, LEFT, 0);
        });
    add("long hold", {}, 0, Errors({}),
        "\"left\": {\"presses\": 2, \"least_ms\": 900, \"errors\": {}, \"findings\": 0}",
        [](Rows &r) {
            Click(r, 100, LEFT, 800);
            Click(r, 1000, LEFT, 90);
        });
    add("double click", {}, 0, Errors({}),
        "\"left\": {\"presses\": 2, \"least_ms\": 300, \"errors\": {}, \"findings\": 0}",
        [](Rows &r) {
            Click(r, 700, LEFT);
            Click(r, 1000, LEFT);
        });
    add("middle and right chatter", {}, 1,
        Errors({Error(1010, 20, CODE_20), Error(2010, 30, CODE_30)}),
        "\"left\": {\"presses\": 0, \"least_ms\": null, \"errors\": {}, \"findings\": 0}",
        [](Rows &r) {
            Click(r, 1000, MIDDLE, 4);
            Click(r, 1010, MIDDLE);
            Click(r, 2000, RIGHT, 4);
            Click(r, 2010, RIGHT);
        });
    add("swapped", {"--swap"}, 1, Errors({Error(1010, 10, CODE_10)}),
        "\"left\": {\"presses\": 2, \"least_ms\": 10, \"errors\": {\"10\": 1}, \"findings\": 1}",
        [](Rows &r) {
            Click(r, 1000, RIGHT, 4);
            Click(r, 1010, RIGHT);
        });
    add("trigger lowered", {"--trigger", "10"}, 0, Errors({}),
        "\"left\": {\"presses\": 2, \"least_ms\": 12, \"errors\": {}, \"findings\": 1}",
        [](Rows &r) {
            Click(r, 1080, LEFT, 5);
            Click(r, 1092, LEFT, 80);
        });
    add("trigger raised", {"--trigger", "200"}, 1, Errors({Error(1199, 10, CODE_10)}),
        "\"left\": {\"presses\": 2, \"least_ms\": 199, \"errors\": {\"10\": 1}, \"findings\": 0}",
        [](Rows &r) {
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

// The findings stand beside TapTally's verdict, and the plain words come before it.
TEST(ReplayVerdict, TextReportNamesEverythingAndEndsInTheVerdict) {
    Rows rows;
    Move(rows, 0, 3, -2);
    Click(rows, 1080, LEFT, 5);
    Click(rows, 1092, LEFT, 80);
    Frame(rows, 1300, {{0, KEY, LEFT, 2}, {0, REL, 8, 1}}, 1);
    Frame(rows, 1330, {{0, REL, 8, -1}});
    Frame(rows, 1360, {{0, REL, 8, 1}});
    Click(rows, 1500, RIGHT);
    Click(rows, 1600, SIDE, 20);
    Click(rows, 1650, SIDE, 20);
    std::string path = Write("chatter.yml", Yaml(rows));
    Outcome outcome = RunTool({path});
    EXPECT_EQ(outcome.Status, 1);
    EXPECT_EQ(
        outcome.Out,
        "TapTally replay of " + path +
            "\n"
            "Device:   \"Example Optical Mouse\"\n"
            "Duration: 1.670 s, 14 frames, 40 events\n"
            "Ignored:  1 key repeats, 0 other buttons, 3 wheel (TapTally has none; see "
            "Wheel below), 0 other\n"
            "Note:     1 release(s) of a button held when a box came up went to the box, as "
            "a user lets go of the button to answer it\n"
            "Trigger:  85 ms\n"
            "\n"
            "Errors:\n"
            "     1.092 s  Error # 10 Occurred! - The Left Button 'Least' value was too "
            "small. Click 'OK' and press 'R' for RESET Please see INFORMATION for details.\n"
            "\n"
            "Button   Presses  Least ms  Below trigger  Errors\n"
            "left           2        12              1  10: 1\n"
            "middle         0         -              0  -\n"
            "right          1         -              0  -\n"
            "\n"
            "Movement: 1 message, most change x 3, y 2\n"
            "\n"
            "Beyond TapTally's test (the replay's own findings; without an error of TapTally's "
            "they make the verdict WARN):\n"
            "Setting:  changes of one button closer than 20 ms are one bounce (--bounce)\n"
            "Side buttons: back (side) 2 presses, least 50 ms; forward (extra) 0 presses\n"
            "Wheel:    3 steps, 1 step against the scroll\n"
            "Report rate: not measured: no two motion reports came within 100 ms of each other\n"
            "Largest sensor step: 3 counts at 0.000 s\n"
            "Findings:\n"
            "     1.085 s  Left button let go 5 ms after it was pressed: faster than a "
            "finger, a held drag would drop.\n"
            "     1.330 s  Wheel stepped back against the scroll for one step: its encoder "
            "is worn or dirty.\n"
            "     1.650 s  Back (side) button pressed 50 ms after the press before, below "
            "TapTally's trigger of 85 ms.\n"
            "\n"
            "In plain words:\n"
            "Left button: 1 press came less than 85 ms after the press before, the fastest "
            "12 ms apart: its switch bounces or it double-clicks by itself; once it let go "
            "by itself while held, 5 ms after the press: it drops what you drag.\n"
            "Back (side) button: 1 press came less than 85 ms after the press before, the fastest "
            "50 ms apart: its switch bounces or it double-clicks by itself.\n"
            "Wheel: once it stepped back against the scroll: its encoder is worn or dirty.\n"
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
    Frame(rows, 600, {{0, 0, 3, 0}, {0, KEY, LEFT, 1}}); // SYN_DROPPED: the press is lost
    Button(rows, 700, LEFT, 0);
    rows.push_back(Row{800000, REL, 0, 1}); // the recording is cut here
    Outcome outcome = Json("ignored.evemu", Evemu(rows));
    EXPECT_EQ(outcome.Status, 0) << outcome.Err;
    EXPECT_EQ(
        outcome.Out,
        "{\"verdict\": \"PASS\", \"file\": \"" + Folder() +
            "ignored.evemu\", \"device\": \"Example Optical Mouse\", \"device_number\": 1, "
            "\"device_count\": 1, \"duration_ms\": 700, \"frames\": 9, \"events\": 30, "
            "\"trigger_ms\": 85, \"bounce_ms\": 20, \"notes\": [\"the kernel dropped events 1 "
            "time(s) (SYN_DROPPED); the frames it spoiled were not replayed, and 1 button "
            "change(s) lost there were restored from the changes after them\", \"the recording "
            "was cut off in the middle of a frame: its last 1 event(s) were not "
            "replayed\"], \"dropped_reports\": 1, \"restored_changes\": 1, \"cut_events\": 1, "
            "\"cut_line\": false, \"time_back_frames\": 0, \"errors\": [], \"other_boxes\": [], "
            "\"releases_into_boxes\": 0, \"releases_off_icon\": 0, \"buttons\": {\"left\": "
            "{\"presses\": 0, \"least_ms\": null, \"errors\": {}, \"findings\": 0}, \"middle\": "
            "{\"presses\": 1, \"least_ms\": null, \"errors\": {}, \"findings\": 0}, \"right\": "
            "{\"presses\": 0, \"least_ms\": null, \"errors\": {}, \"findings\": 0}, \"side\": "
            "{\"presses\": 1, \"least_ms\": null, \"present\": true, \"findings\": 0}, "
            "\"extra\": {\"presses\": 0, \"least_ms\": null, \"present\": true, \"findings\": "
            "0}, \"forward\": {\"presses\": 0, \"least_ms\": null, \"present\": false, "
            "\"findings\": 0}, \"back\": {\"presses\": 0, \"least_ms\": null, \"present\": "
            "false, \"findings\": 0}}, \"movement\": {\"messages\": 1, \"most_change_x\": 4, "
            "\"most_change_y\": 5, \"largest_step\": 5, \"largest_step_ms\": 0, "
            "\"largest_step_pinned\": false, \"sensor_jumps\": 0}, \"report_rate\": null, "
            "\"wheel\": {\"steps\": 1, "
            "\"reversals\": 0}, \"findings\": [], \"finding_counts\": {}, \"ignored\": "
            "{\"repeats\": 2, \"other_buttons\": 0, \"wheel\": 3, \"other\": 3}}\n");
}

// The frame's motion comes first: the release lands where the pointer moved to, over
// the program's icon. TapTally would open its About box, which the person recording never
// saw, so the release is moved just off the icon, and the verdict says so.
TEST(ReplayVerdict, MotionComesBeforeTheButtonsOfItsFrame) {
    Rows rows;
    Button(rows, 1000, LEFT, 1);
    Frame(rows, 1100, {{0, REL, 1, -230}, {0, MSC, 4, 30}, {0, KEY, LEFT, 0}});
    Outcome outcome = Json("icon.yml", Yaml(rows));
    EXPECT_EQ(outcome.Status, 0) << outcome.Err;
    EXPECT_NE(outcome.Out.find("\"other_boxes\": [], \"releases_into_boxes\": 0, "
                               "\"releases_off_icon\": 1"),
              std::string::npos)
        << outcome.Out;
    EXPECT_NE(outcome.Out.find("1 left release(s) landed on TapTally's icon and were moved just "
                               "off it"),
              std::string::npos);
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

// A recording cut short (a recorder stopped with Ctrl+C), a byte-order mark, a clock
// that goes back, a device without its codes: what can be replayed is, with a note.
TEST(ReplayRecording, FlawsOfRealFilesAreReplayedWithANote) {
    Rows rows;
    Click(rows, 100, LEFT);
    Click(rows, 500, LEFT);
    Rows frameCut = rows;
    frameCut.pop_back(); // the last SYN_REPORT never came
    Rows backwards = rows;
    backwards.insert(backwards.end() - 3, {490000, REL, 0, 1});
    backwards.insert(backwards.end() - 3, {490000, 0, 0, 0}); // 10 ms before the press
    std::string yaml = Yaml(rows), evemu = Evemu(rows);
    std::string noCodes = yaml;
    noCodes.erase(noCodes.find("    codes:"),
                  noCodes.find("    properties:") - noCodes.find("    codes:"));
    const std::string cut = "Note:     the recording was cut off in the middle of a frame: ";
    const std::string cases[][3] = {
        {"frame cut yaml", Yaml(frameCut), cut + "its last 2 event(s) were not replayed\n"},
        {"frame cut evemu", Evemu(frameCut), cut + "its last 2 event(s) were not replayed\n"},
        {"line cut yaml", yaml.substr(0, yaml.rfind(",")),
         cut + "its last 2 event(s) and its incomplete last line were not replayed\n"},
        {"line cut evemu", evemu.substr(0, evemu.size() - 12),
         cut + "its last 2 event(s) and its incomplete last line were not replayed\n"},
        {"frame head cut yaml", yaml + "  - evdev:\n",
         cut + "its incomplete last line was not replayed\n"},
        {"byte-order mark yaml", "\xef\xbb\xbf" + yaml, ""},
        {"byte-order mark evemu", "\xef\xbb\xbf" + evemu, ""},
        {"time back yaml", Yaml(backwards),
         "Note:     the time went back in 1 frame(s), by up to 10 ms; each was replayed at the "
         "time before it\n"},
        {"time back evemu", Evemu(backwards),
         "Note:     the time went back in 1 frame(s), by up to 10 ms; each was replayed at the "
         "time before it\n"},
        {"no codes yaml", noCodes, ""},
    };
    for (const auto &test : cases) {
        Outcome outcome = RunTool({Write("flawed", test[1])});
        SCOPED_TRACE(test[0] + "\n" + outcome.Err);
        EXPECT_EQ(outcome.Status, 0);
        size_t note = outcome.Out.find("Note:");
        EXPECT_EQ(note == std::string::npos ? "" : outcome.Out.substr(note, test[2].size()),
                  test[2]);
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
    // The SYN_DROPPED, the spoiled release and its SYN_REPORT; MSC_SCAN is part of a click.
    EXPECT_NE(outcome.Out.find(", 3 other\n"), std::string::npos);
}

// A change restored after dropped events puts the button's state right and nothing else:
// no press is counted and no interval timed from it.
TEST(ReplayRecording, ARestoredChangeIsNoPress) {
    struct Case {
        const char *Name;
        std::vector<std::array<long, 2>> Presses; // time and value of left changes
        std::string Left;
    };
    const Case cases[] = {
        // The press before 300 was lost: its release at 300 must not become a press then,
        // or the click at 340 would come 40 ms after it.
        {"lost press",
         {{100, 1}, {200, 0}, {300, 0}, {340, 1}, {400, 0}},
         "\"left\": {\"presses\": 2, \"least_ms\": 240, \"errors\": {}, \"findings\": 0}"},
        // The release before 300 was lost: it is restored, the press at 300 counts.
        {"lost release",
         {{100, 1}, {300, 1}, {400, 0}},
         "\"left\": {\"presses\": 2, \"least_ms\": 200, \"errors\": {}, \"findings\": 0}"},
    };
    for (const Case &test : cases) {
        Rows rows;
        for (const auto &change : test.Presses) {
            if (change[0] == 300) {
                Frame(rows, 250, {{0, 0, 3, 0}, {0, KEY, LEFT, 1 - (int)change[1]}});
            }
            Button(rows, change[0], LEFT, (int)change[1]);
        }
        for (const std::string &content : {Yaml(rows), Evemu(rows)}) {
            Outcome outcome = Json("restored", content);
            SCOPED_TRACE(test.Name);
            EXPECT_EQ(outcome.Status, 0) << ErrorsOf(outcome.Out);
            EXPECT_EQ(LeftOf(outcome.Out), test.Left);
        }
    }
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
        {replace(yaml, "4,      30] # event", "4,      30 # event"),
         ":33: not valid YAML: did not find expected ',' or ']' while parsing a flow "
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
         ":1: this is no libinput record file (YAML), no evemu-record file and no stream of the "
         "kernel's event records"},
        {"", ": the recording is empty: it holds no events"},
        {"\xef\xbb\xbf\n\n", ": the recording is empty: it holds no events"},
        {replace(evemu, ".100000", ".10000"),
         ":25: the microseconds of an E: line must be six digits"},
        {replace(evemu, ".100000", "x.100000"),
         ":25: an E: line must start with the time as <seconds>.<microseconds>"},
        {replace(evemu, ".100000", " 100000"),
         ":25: an E: line must start with the time as <seconds>.<microseconds>"},
        {replace(evemu, "E: ", "E: ."),
         ":25: an E: line must start with the time as <seconds>.<microseconds>"},
        {replace(evemu, "0001 0110 0001", "0001 0110 0005"),
         ":26: a key or button value must be 0 (up), 1 (down) or 2 (repeat), not 5"},
        {replace(evemu, "B: 02 43", "B: 02 00"),
         ":25: the device \"Example Optical Mouse\" has no BTN_LEFT and REL_X: this is no "
         "recording of a mouse"},
        {replace(evemu, "0001 0110 0001", "0001 0x110 0001"),
         ":26: the event code of an E: line must be hexadecimal, 0000 to 02ff"},
        {replace(yaml, "Example Optical Mouse\"", std::string(2 << 20, 'M') + "\""),
         ":15: more than 1 MiB without a YAML item: a name, value or comment this long is no "
         "recording"},
        {yaml.substr(0, yaml.find("  events:")),
         ":28: device 1 \"Example Optical Mouse\" has no events: the recording holds none of it"},
        {"# EVEMU 1.3\nN: Example Optical Mouse\n",
         ":2: the recording holds no events of the device"},
        {"E: 0.000000 0001 001e 0001\nE: 0.000000 0000 0000 0000\n",
         ":2: the recording holds no button or motion of a mouse (BTN_LEFT, BTN_MIDDLE, "
         "BTN_RIGHT, REL_X, REL_Y)"},
    };
    std::string png = Folder() + "never.png";
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
    // One line each, and the whole usage only when nothing was given.
    const std::pair<std::vector<std::string>, std::string> bad[] = {
        {{"--device", "0", path}, "--device needs a whole number from 1 to 1000, not \"0\""},
        {{"--device"}, "--device needs a value"},
        {{"--colour", path}, "unknown option --colour"},
        {{path, path}, "one recording only, not also " + path},
        {{"--live", "--device", "1", path},
         "--device chooses among the devices of a recording; with --live, give the mouse's "
         "device node itself (e.g. /dev/input/event5)"},
        {{"--trigger", path},
         "--trigger needs a whole number of milliseconds, not \"" + path + "\""},
        {{"--trigger", "90abc", path},
         "--trigger needs a whole number of milliseconds, not \"90abc\""},
        {{"--trigger", "85.5", path},
         "--trigger needs a whole number of milliseconds, not \"85.5\""},
        {{"--trigger", "abc", path}, "--trigger needs a whole number of milliseconds, not \"abc\""},
        {{"--trigger", " +200ms", path},
         "--trigger needs a whole number of milliseconds, not \" +200ms\""},
        {{"--trigger=90", path}, "--trigger=90: give the value after a space, --trigger 90"},
        {{"--png=", path}, "--png=: give the value after a space, --png FILE"},
        {{"--json=yes", path}, "--json takes no value"},
        {{"--colour=red", path}, "unknown option --colour=red"},
        {{"--live", "--seconds", "100000000"},
         "--seconds needs a whole number of seconds from 1 to 31536000 (a year), not "
         "\"100000000\""},
    };
    for (const auto &test : bad) {
        Outcome outcome = RunTool(test.first);
        EXPECT_EQ(outcome.Status, 2);
        EXPECT_EQ(outcome.Err,
                  "taptally-replay: " + test.second + " (see taptally-replay --help)\n");
        EXPECT_EQ(outcome.Out, "");
    }
    Outcome none = RunTool({});
    EXPECT_EQ(none.Status, 2);
    EXPECT_EQ(none.Err.rfind("taptally-replay: no recording given\nusage: taptally-replay", 0), 0u);
    // The help fits a terminal of 80 columns and says every exit status.
    Outcome help = RunTool({"--help"});
    EXPECT_EQ(help.Status, 0);
    std::istringstream lines(help.Out);
    for (std::string line; std::getline(lines, line);) {
        EXPECT_LE(line.size(), 80u) << line;
    }
    EXPECT_NE(help.Out.find("\nExit status: 1 for FAIL (with --strict also for WARN and UNTESTED), "
                            "0 otherwise,\n2 for bad input or options, or an output file that "
                            "could not be written.\n"),
              std::string::npos)
        << help.Out;
    Outcome version = RunTool({"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_EQ(version.Out, "taptally-replay 1.90\n");
    EXPECT_EQ(RunTool({"/nonexistent/recording"}).Err,
              "taptally-replay: /nonexistent/recording: No such file or directory\n");
    // A picture that cannot be written leaves the verdict standing, with status 2 and
    // the reason on one line of its own.
    const char *const unwritable[][2] = {
        {"/nonexistent/screen.png", "No such file or directory"},
        {"/dev/full", "No space left on device"},
    };
    for (const auto &test : unwritable) {
        Outcome unwritten = RunTool({"--png", test[0], path});
        EXPECT_EQ(unwritten.Status, 2);
        EXPECT_EQ(unwritten.Err,
                  "taptally-replay: cannot write " + std::string(test[0]) + ": " + test[1] + "\n");
        EXPECT_NE(unwritten.Out.find("\nPASS: no errors, no findings\n"), std::string::npos);
    }
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
    EXPECT_EQ(outcome.Out.rfind("{\"verdict\": \"FAIL\", \"file\": \"(standard input)\"", 0), 0u);
}

// The picture of the replay equals the stand-in's own screen after the same messages,
// sent by a script.
TEST(ReplayPictures, PngIsTheScreenAfterTheSameMessages) {
    Rows rows;
    Move(rows, 0, 40, -30);
    Click(rows, 1000, LEFT, 4);
    Click(rows, 1010, LEFT);
    Move(rows, 1200, -5, 7);
    std::string png = Folder() + "replay.png";
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
    std::string expected = Folder() + "expected.png";
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
    std::string svg = Folder() + "timeline.svg";
    // A file name with a control byte and a byte that is no UTF-8 still gives good XML.
    EXPECT_EQ(
        RunTool({"--timeline", svg, "--trigger", "50", Write("plot\x01\xff.evemu", Evemu(rows))})
            .Status,
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
    // Each kind of mark once more in the legend.
    EXPECT_EQ(count("class=\"press\""), 4u); // 300 and 688 ms left, 1000 ms right
    EXPECT_EQ(count("class=\"fast\""), 2u);  // 12 ms left
    EXPECT_EQ(count(">trigger 50 ms</text>"), 4u);
    // Presses held 5 ms; the two at 1300 and 1312 ms are one burst, one finding.
    EXPECT_EQ(count("class=\"finding\""), 4u);
    EXPECT_EQ(count("plot\xef\xbf\xbd\xef\xbf\xbd.evemu: 1 error(s) of TapTally, 3 finding(s) "
                    "beyond its test</text>"),
              1u);
    EXPECT_EQ(plot.find_first_of("\x01\xff"), std::string::npos);
    // Times count from the recording's first event, the press at 1000 ms.
    EXPECT_EQ(count("<title>0.312 s: error 10</title>"), 1u);
    EXPECT_EQ(count(">10000</text>"), 4u);
    for (const char *label : {"left button", "middle button", "right button",
                              "time in the recording (s)", ">1.4</text>"}) {
        EXPECT_EQ(count(label), 1u) << label;
    }
}

// Errors a few ms apart get a line each, but their numbers are not written over each
// other, where "10" on "10" would read as "110".
TEST(ReplayPictures, TimelineErrorNumbersDoNotOverlap) {
    Rows rows;
    Click(rows, 1000, LEFT, 200);
    Click(rows, 1202, LEFT, 2);
    Click(rows, 1206, LEFT, 2);
    Click(rows, 1210, LEFT, 2);
    Click(rows, 1600, LEFT, 50);
    Click(rows, 1660, LEFT, 50);
    std::string svg = Folder() + "errors.svg";
    EXPECT_EQ(RunTool({"--timeline", svg, Write("errors.evemu", Evemu(rows))}).Status, 1);
    std::string plot = ReadAll(svg);
    const std::pair<std::string, size_t> counts[] = {
        {"<title>0.206 s: error 10</title></line><text ", 1},
        {"<title>0.210 s: error 10</title></line>\n", 1},
        {"<title>0.660 s: error 10</title></line><text ", 1},
        {"class=\"error-label\"", 2},
    };
    for (const auto &test : counts) {
        size_t found = 0;
        for (size_t at = plot.find(test.first); at != std::string::npos;
             at = plot.find(test.first, at + 1)) {
            ++found;
        }
        EXPECT_EQ(found, test.second) << test.first;
    }
}

namespace {

// The "findings" list of a JSON verdict, as text.
std::string FindingsOf(const std::string &json) {
    size_t start = json.find("\"findings\": [");
    return start == std::string::npos
               ? ""
               : json.substr(start, json.find("], \"finding_counts\"", start) - start + 1);
}

std::string Found(long ms, const char *button, const char *kind, long value, const char *text) {
    return "{\"time_ms\": " + std::to_string(ms) + ", \"button\": \"" + button +
           "\", \"kind\": \"" + kind + "\", \"ms\": " + std::to_string(value) + ", \"text\": \"" +
           text + "\"}";
}

void Wheel(Rows &rows, long ms, int step) {
    Frame(rows, ms, {{0, REL, 8, step}, {0, REL, 11, step * 120}});
}

} // namespace

TEST(ReplayFindings, WhatTapTallysRuleCannotSeeIsFoundBesideItsVerdict) {
    const char BOUNCE[] = "Left button pressed again %s ms after it was let go: faster than a "
                          "finger, its switch bounces when released.";
    auto bounce = [&BOUNCE](long ms, long gap) {
        char text[200];
        snprintf(text, sizeof text, BOUNCE, std::to_string(gap).c_str());
        return Found(ms, "left", "release-bounce", gap, text);
    };
    struct Case {
        const char *Name;
        std::vector<std::string> Options;
        int Status;
        std::vector<std::string> Findings;
        std::function<void(Rows &)> Build;
    };
    const Case cases[] = {
        // TapTally times press to press, 153 ms, and passes it.
        {"release bounce",
         {},
         0,
         {bounce(1153, 3)},
         [](Rows &r) {
             Click(r, 1000, LEFT, 150);
             Click(r, 1153, LEFT);
         }},
        {"release bounce, strict",
         {"--strict"},
         1,
         {bounce(1153, 3)},
         [](Rows &r) {
             Click(r, 1000, LEFT, 150);
             Click(r, 1153, LEFT);
         }},
        {"a finger's release",
         {},
         0,
         {},
         [](Rows &r) {
             Click(r, 1000, LEFT, 150);
             Click(r, 1170, LEFT);
         }},
        {"bounce raised",
         {"--bounce", "21"},
         0,
         {bounce(1170, 20)},
         [](Rows &r) {
             Click(r, 1000, LEFT, 150);
             Click(r, 1170, LEFT);
         }},
        {"spurious release",
         {},
         0,
         {Found(1004, "right", "short-press", 4,
                "Right button let go 4 ms after it was pressed: faster than a finger, a held "
                "drag would drop.")},
         [](Rows &r) { Click(r, 1000, RIGHT, 4); }},
        {"side buttons",
         {},
         0,
         {Found(1050, "side", "too-fast", 50,
                "Back (side) button pressed 50 ms after the press before, below TapTally's "
                "trigger of 85 ms."),
          Found(2032, "extra", "release-bounce", 2,
                "Forward (extra) button pressed again 2 ms after it was let go: faster than a "
                "finger, its switch bounces when released.")},
         [](Rows &r) {
             Click(r, 1000, SIDE, 30);
             Click(r, 1050, SIDE, 30);
             Click(r, 2000, SIDE + 1, 30);
             Click(r, 2032, SIDE + 1, 30);
         }},
        {"wheel jumps back",
         {},
         0,
         {Found(1090, "wheel", "wheel-reversal", 30,
                "Wheel stepped back against the scroll for one step: its encoder is worn or "
                "dirty.")},
         [](Rows &r) {
             for (long ms : {1000, 1030, 1060, 1120, 1150}) {
                 Wheel(r, ms, ms == 1090 ? -1 : 1);
                 if (ms == 1060) {
                     Wheel(r, 1090, -1);
                 }
             }
         }},
        {"a frame of wheel steps past 32 bits is one step on",
         {},
         0,
         {},
         [](Rows &r) {
             Wheel(r, 1000, 1);
             Frame(r, 1030, {{0, REL, 8, 2147483647}, {0, REL, 8, 2147483647}});
             Wheel(r, 1060, 1);
         }},
        {"wheel turned back on purpose",
         {},
         0,
         {},
         [](Rows &r) {
             for (long ms : {1000, 1030, 1060, 1090}) {
                 Wheel(r, ms, ms < 1050 ? 1 : -1);
             }
             for (long ms : {2000, 2300, 2600}) {
                 Wheel(r, ms, ms == 2300 ? 1 : -1);
             }
         }},
    };
    for (const Case &test : cases) {
        Rows rows;
        Move(rows, 0, 1, 1); // times count from here
        test.Build(rows);
        std::string list;
        for (const std::string &finding : test.Findings) {
            list += (list.empty() ? "" : ", ") + finding;
        }
        for (const std::string &content : {Yaml(rows), Evemu(rows)}) {
            Outcome outcome = Json("findings", content, test.Options);
            SCOPED_TRACE(test.Name + std::string("\n") + outcome.Err);
            EXPECT_EQ(outcome.Status, test.Status);
            EXPECT_EQ(ErrorsOf(outcome.Out), Errors({}));
            EXPECT_EQ(FindingsOf(outcome.Out), "\"findings\": [" + list + "]");
        }
    }
}

// The report rate while the mouse moves, and the largest sensor step from the raw counts,
// also where the pointer stands pinned at the window's edge.
TEST(ReplayFindings, ReportRateAndSensorSteps) {
    Rows steady;
    for (long frame = 0, ms = 0; frame < 200; ++frame, ms += frame % 20 == 0 ? 10 : 8) {
        Move(steady, ms, 1, 0);
    }
    Rows pinned;
    Move(pinned, 0, -2000, 0); // far beyond the window's left edge
    Move(pinned, 200, -700, 0);
    const std::string cases[][3] = {
        {"steady", Yaml(steady),
         "\"report_rate\": {\"median_hz\": 125.0, \"p1_hz\": 100.0, \"p99_hz\": 125.0, "
         "\"intervals\": 199}"},
        {"pinned", Evemu(pinned),
         "\"largest_step\": 2000, \"largest_step_ms\": 0, \"largest_step_pinned\": true, "
         "\"sensor_jumps\": 0}, "
         "\"report_rate\": null"},
    };
    for (const auto &test : cases) {
        Outcome outcome = Json("motion", test[1]);
        SCOPED_TRACE(test[0]);
        EXPECT_NE(outcome.Out.find(test[2]), std::string::npos) << outcome.Out;
    }
}

// The plain words end by saying how the findings stand to TapTally's own verdict.
TEST(ReplayFindings, PlainWordsTellWhatTheFindingsMeanForTheVerdict) {
    Rows rows;
    Click(rows, 1000, LEFT, 150);
    Click(rows, 1153, LEFT);
    std::string path = Write("bounce.evemu", Evemu(rows));
    Rows lost; // the right button's press lost, the middle one's too fast
    Click(lost, 100, RIGHT);
    Button(lost, 500, RIGHT, 0);
    Click(lost, 1000, MIDDLE, 40);
    Click(lost, 1070, MIDDLE, 40);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{Write("lost.evemu", Evemu(lost))},
         "\nMiddle button: 1 press came less than 85 ms after the press before, the fastest 70 ms "
         "apart: its switch bounces or it double-clicks by itself.\nRight button: a release came "
         "without its press, or a press without its release, once: the switch or its driver "
         "loses changes.\nFAIL: 2 errors (20: 1, 31: 1)\n"},
        {{path},
         "TapTally raised no error: the faults above are ones its test cannot see.\nWARN: no "
         "error of TapTally's, but the left button bounces on release\n"},
        {{"--strict", path},
         "cannot see.\nWith --strict, WARN makes the exit status 1.\nWARN: no error of "
         "TapTally's, but the left button bounces on release\n"},
    };
    for (const auto &test : cases) {
        std::string out = RunTool(test.first).Out;
        EXPECT_EQ(out.substr(out.size() - std::min(out.size(), test.second.size())), test.second);
    }
}

namespace {

// Events from a list, as a device reader hands them out, restored changes included.
class ListReader : public replay::EventReader {
  public:
    explicit ListReader(std::vector<replay::RecordedEvent> events) : Events(std::move(events)) {
        Info.Name = "Example Live Mouse";
        Info.Number = Info.DeviceCount = 1;
    }
    bool Next(replay::RecordedEvent &event) override {
        if (At == Events.size()) {
            return false;
        }
        event = Events[At++];
        return true;
    }
    const replay::DeviceInfo &Device() const override { return Info; }
    long LastLine() const override { return 0; }

  private:
    std::vector<replay::RecordedEvent> Events;
    replay::DeviceInfo Info;
    size_t At = 0;
};

// What the replay tells as it goes, one line each.
class Log : public replay::ReplayObserver {
  public:
    void Error(const replay::BoxSeen &error, const replay::ReplayResult &) override {
        Lines.push_back("error " + std::to_string(error.Code) + " at " + std::to_string(error.Ms));
    }
    void Found(const replay::Finding &finding, const replay::ReplayResult &) override {
        Lines.push_back(finding.Kind + " at " + std::to_string(finding.Ms));
    }
    void FrameDone(const replay::ReplayResult &soFar) override {
        Lines.push_back("frame " + std::to_string(soFar.Frames));
    }
    std::vector<std::string> Lines;
};

// One event as a reader gives it, at a time in whole milliseconds.
replay::RecordedEvent event(long ms, int type, int code, int value, bool restored = false) {
    replay::RecordedEvent made;
    made.Micros = ms * 1000;
    made.Type = type;
    made.Code = code;
    made.Value = value;
    made.Restored = restored;
    return made;
}

} // namespace

// Any reader drives the replay; an observer hears of every error, finding and frame as
// it happens (a bounce once it is over: here the restored change ends it); a change the
// reader restored after dropped events is no press.
TEST(ReplayEvents, AnyReaderDrivesTheReplayAndTheObserverHearsAtOnce) {
    ListReader reader({
        event(0, KEY, LEFT, 1), event(0, 0, 0, 0),                // frame 1
        event(150, KEY, LEFT, 0), event(150, 0, 0, 0),            // frame 2
        event(153, KEY, LEFT, 1), event(153, 0, 0, 0),            // frame 3: a bounce
        event(160, KEY, LEFT, 0, true), event(160, 0, 0, 0),      // frame 4: restored
        event(170, KEY, LEFT, 1, true), event(170, KEY, LEFT, 0), // frame 5: restored press
        event(170, 0, 0, 0),                                      //   and its release
        event(200, KEY, LEFT, 1), event(200, 0, 0, 0),            // frame 6: 47 ms on
    });
    Log log;
    replay::RunOptions options;
    options.Observer = &log;
    replay::ReplayResult result;
    replay::ReplayFailure failure;
    ASSERT_TRUE(replay::RunEvents(options, reader, result, failure)) << failure.Message;
    EXPECT_EQ(log.Lines,
              (std::vector<std::string>{"frame 1", "frame 2", "frame 3", "release-bounce at 153",
                                        "frame 4", "frame 5", "error 10 at 200", "frame 6"}));
    EXPECT_EQ(result.Buttons[0].Presses, 3u);
    EXPECT_EQ(result.RestoredChanges, 2u);
    EXPECT_EQ(result.Device.Name, "Example Live Mouse");
}

// A button the reader finds held as it starts (libevdev's state of the device) is told as
// a restored press before the first event: it and the release that follows only put the
// state right, as for a recording begun mid-click.
TEST(ReplayEvents, AButtonHeldAsTheReadingStartsIsNoPress) {
    ListReader reader({
        event(0, KEY, LEFT, 1, true),
        event(0, REL, 0, 2),
        event(0, 0, 0, 0), // held
        event(40, KEY, LEFT, 0),
        event(40, 0, 0, 0), // let go
        event(500, KEY, LEFT, 1),
        event(500, 0, 0, 0), // a click
        event(590, KEY, LEFT, 0),
        event(590, 0, 0, 0),
    });
    replay::RunOptions options;
    replay::ReplayResult result;
    replay::ReplayFailure failure;
    ASSERT_TRUE(replay::RunEvents(options, reader, result, failure)) << failure.Message;
    EXPECT_TRUE(result.Errors.empty());
    EXPECT_EQ(result.Buttons[0].Presses, 1u);
    EXPECT_EQ(result.RestoredChanges, 0u);
    EXPECT_EQ(result.HeldAtStart, 1u);
    EXPECT_TRUE(result.FindingCounts.empty());
}
