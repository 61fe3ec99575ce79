// The verdict's last word and the findings it names: one finding for one burst of a
// button, a dropped drag, sensor jumps, a recording begun in the middle of a click.
#include "recordings.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <regex>

using namespace recordings;

namespace {

// The findings of a JSON verdict, one "kind button time value" each, joined by "; ".
std::string FindingsIn(const std::string &json) {
    size_t start = json.find("\"findings\": [");
    std::string list = json.substr(start, json.find("], \"finding_counts\"", start) - start);
    static const std::regex FINDING("\\{\"time_ms\": (\\d+), \"button\": \"(\\w*)\", \"kind\": "
                                    "\"([a-z-]+)\", \"(?:ms|counts)\": (\\d+)");
    std::string found;
    for (std::sregex_iterator it(list.begin(), list.end(), FINDING), end; it != end; ++it) {
        const std::smatch &match = *it;
        found += (found.empty() ? "" : "; ") + match[3].str() + " " + match[2].str() + " " +
                 match[1].str() + " " + match[4].str();
    }
    return found;
}

std::string LastLine(const std::string &text) {
    size_t end = text.size() > 0 ? text.size() - 1 : 0;
    size_t start = text.rfind('\n', end > 0 ? end - 1 : 0);
    return text.substr(start == std::string::npos ? 0 : start + 1, end - start - 1);
}

// Steady motion of 3 counts every 8 ms from ms on, with the given steps put in.
void Steady(Rows &rows, long ms, int reports, std::map<int, int> steps = {}) {
    for (int i = 0; i < reports; ++i) {
        Move(rows, ms + 8 * i, steps.count(i) ? steps[i] : 3, 1);
    }
}

struct WordCase {
    const char *Name;
    std::vector<std::string> Options;
    std::function<void(Rows &)> Build;
    const char *Word;
    int Status, StrictStatus;
    std::string Last; // the last line of the text
};

} // namespace

TEST(ReplayVerdictWord, TheFirstWordThatAppliesAndItsStatus) {
    const WordCase cases[] = {
        {"error",
         {},
         [](Rows &r) {
             Click(r, 1000, LEFT, 4);
             Click(r, 1010, LEFT);
         },
         "FAIL",
         1,
         1,
         "FAIL: 1 error (10: 1)"},
        // Press to press is 153 ms: TapTally passes it, the release bounced.
        {"bounce",
         {},
         [](Rows &r) {
             Click(r, 1000, LEFT, 150);
             Click(r, 1153, LEFT, 4);
         },
         "WARN",
         0,
         1,
         "WARN: no error of TapTally's, but the left button bounces on release"},
        {"bounce, swapped",
         {"--swap"},
         [](Rows &r) {
             Click(r, 1000, RIGHT, 150);
             Click(r, 1153, RIGHT, 4);
         },
         "WARN",
         0,
         1,
         "WARN: no error of TapTally's, but the right button (TapTally's left, swapped) bounces "
         "on release"},
        {"jump and wheel",
         {},
         [](Rows &r) {
             Click(r, 100, LEFT);
             Steady(r, 1000, 12, {{6, 400}});
             for (long ms : {2000, 2030, 2060, 2090}) {
                 Frame(r, ms, {{0, REL, 8, ms == 2060 ? -1 : 1}});
             }
         },
         "WARN",
         0,
         1,
         "WARN: no error of TapTally's, but the wheel steps back and the sensor jumps"},
        {"movement only",
         {},
         [](Rows &r) { Steady(r, 0, 20); },
         "UNTESTED",
         0,
         1,
         "UNTESTED: no left, middle or right button was pressed"},
        {"side buttons only",
         {},
         [](Rows &r) {
             Click(r, 1000, SIDE);
             Click(r, 2000, SIDE);
         },
         "UNTESTED",
         0,
         1,
         "UNTESTED: no left, middle or right button was pressed"},
        {"one good click",
         {},
         [](Rows &r) { Click(r, 1000, MIDDLE); },
         "PASS",
         0,
         0,
         "PASS: no errors, no findings"},
    };
    for (const WordCase &test : cases) {
        Rows rows;
        Move(rows, 0, 1, 1);
        test.Build(rows);
        for (const std::string &content : {Yaml(rows), Evemu(rows)}) {
            SCOPED_TRACE(std::string(test.Name) + "\n" + content.substr(0, 12));
            Outcome json = Json("word", content, test.Options);
            EXPECT_EQ(json.Out.rfind("{\"verdict\": \"" + std::string(test.Word) + "\", ", 0), 0u)
                << json.Out;
            EXPECT_EQ(json.Status, test.Status);
            std::vector<std::string> options = test.Options;
            options.push_back(Write("word", content));
            Outcome text = RunTool(options);
            EXPECT_EQ(LastLine(text.Out), test.Last);
            EXPECT_EQ(text.Status, test.Status);
            options.insert(options.begin(), "--strict");
            EXPECT_EQ(RunTool(options).Status, test.StrictStatus);
        }
    }
}

TEST(ReplayBursts, ABurstOfOneButtonIsOneFindingOfTheKindThatFitsIt) {
    struct Case {
        const char *Name;
        std::vector<std::array<long, 2>> Left; // time and value of each left change
        bool Drag;                             // the mouse moves from 1000 to 1500 ms
        std::string Findings;
    };
    const Case cases[] = {
        {"release, press 3 ms later, release 4 ms later",
         {{1000, 1}, {1150, 0}, {1153, 1}, {1157, 0}},
         false,
         "release-bounce left 1153 3"},
        {"a press that chatters",
         {{1000, 1}, {1004, 0}, {1008, 1}, {1100, 0}},
         false,
         "short-press left 1004 4"},
        {"a press let go at once", {{1000, 1}, {1006, 0}}, false, "short-press left 1006 6"},
        {"five changes 2 ms apart",
         {{1000, 1}, {1150, 0}, {1152, 1}, {1154, 0}, {1156, 1}, {1158, 0}},
         false,
         "release-bounce left 1152 2"},
        {"two bursts 20 ms apart",
         {{1000, 1}, {1150, 0}, {1153, 1}, {1173, 0}, {1176, 1}, {1300, 0}},
         false,
         "release-bounce left 1153 3; release-bounce left 1176 3"},
        {"20 ms is a finger", {{1000, 1}, {1150, 0}, {1170, 1}, {1260, 0}}, false, ""},
        {"a release in a drag that comes back",
         {{1000, 1}, {1200, 0}, {1203, 1}, {1450, 0}},
         true,
         "spurious-release left 1200 3"},
        {"the same, held still",
         {{1000, 1}, {1200, 0}, {1203, 1}, {1450, 0}},
         false,
         "release-bounce left 1203 3"},
        {"a drag let go, bouncing",
         {{1000, 1}, {1450, 0}, {1452, 1}, {1455, 0}},
         true,
         "release-bounce left 1452 2"},
    };
    for (const Case &test : cases) {
        Rows rows;
        Move(rows, 0, 1, 1);
        Rows changes;
        for (const auto &change : test.Left) {
            Button(changes, change[0], LEFT, (int)change[1]);
        }
        if (test.Drag) {
            Steady(changes, 1001, 62);
            std::stable_sort(changes.begin(), changes.end(),
                             [](const Row &a, const Row &b) { return a.Micros < b.Micros; });
        }
        rows.insert(rows.end(), changes.begin(), changes.end());
        for (const std::string &content : {Yaml(rows), Evemu(rows)}) {
            SCOPED_TRACE(std::string(test.Name) + "\n" + content.substr(0, 12));
            Outcome outcome = Json("burst", content);
            EXPECT_EQ(FindingsIn(outcome.Out), test.Findings);
        }
    }
    Rows drag;
    Move(drag, 0, 1, 1);
    Button(drag, 1000, LEFT, 1);
    Steady(drag, 1001, 10);
    Button(drag, 1100, LEFT, 0);
    Button(drag, 1103, LEFT, 1);
    Steady(drag, 1104, 10);
    Button(drag, 1200, LEFT, 0);
    std::string text = RunTool({Write("drag.yml", Yaml(drag))}).Out;
    for (const char *line :
         {"     1.100 s  Left button let go by itself for 3 ms while held and moved: it drops "
          "what is dragged.\n",
          "Left button: once it let go for a moment by itself in a drag, 3 ms: it drops what you "
          "drag.\n",
          "WARN: no error of TapTally's, but the left button drops a drag\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line << text;
    }
}

TEST(ReplaySensor, AStepFarAboveTheStepsAroundItIsAJump) {
    struct Case {
        const char *Name;
        std::map<int, int> Steps; // report: counts, among steady 3-count reports
        int Reports;
        std::string Findings;
    };
    const Case cases[] = {
        {"one report of 400", {{10, 400}}, 20, "sensor-jump  1080 400"},
        {"two reports of 400",
         {{10, 400}, {11, 400}},
         20,
         "sensor-jump  1080 400; sensor-jump  1088 400"},
        {"backwards, past the window's edge", {{10, -900}}, 20, "sensor-jump  1080 900"},
        {"below the floor of 50 counts", {{10, 49}}, 20, ""},
        {"50 counts is a jump", {{10, 50}}, 20, "sensor-jump  1080 50"},
        {"9 times the steps around it", {{8, 9}, {9, 9}, {10, 81}, {11, 9}, {12, 9}}, 20, ""},
        {"10 times the steps around it",
         {{8, 9}, {9, 9}, {10, 90}, {11, 9}, {12, 9}},
         20,
         "sensor-jump  1080 90"},
        // A flick doubles its step each report: the hand, not the sensor.
        {"a flick",
         {{2, 6},
          {3, 12},
          {4, 24},
          {5, 48},
          {6, 96},
          {7, 192},
          {8, 384},
          {9, 192},
          {10, 96},
          {11, 48},
          {12, 24}},
         20,
         ""},
        {"the last report of a movement", {{19, 400}}, 20, "sensor-jump  1152 400"},
        {"too few reports around it", {{1, 400}}, 2, ""},
    };
    for (const Case &test : cases) {
        Rows rows;
        Move(rows, 0, 1, 1); // times count from here
        Steady(rows, 1000, test.Reports, test.Steps);
        Click(rows, 2000, LEFT);
        for (const std::string &content : {Yaml(rows), Evemu(rows)}) {
            SCOPED_TRACE(std::string(test.Name) + "\n" + content.substr(0, 12));
            Outcome outcome = Json("jump", content);
            EXPECT_EQ(FindingsIn(outcome.Out), test.Findings);
        }
    }
    Rows rows;
    Move(rows, 0, 1, 1);
    Steady(rows, 1000, 20, {{10, 400}});
    Click(rows, 2000, LEFT);
    std::string svg = Folder() + "jump.svg";
    Outcome text = RunTool({"--strict", "--timeline", svg, Write("jump.evemu", Evemu(rows))});
    EXPECT_EQ(text.Status, 1);
    std::ifstream file(svg);
    std::string plot((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The jump is marked once, below the last row, and the legend names every mark.
    EXPECT_NE(plot.find("class=\"jump\"><title>1.080 s: Sensor jumped 400 counts"),
              std::string::npos);
    EXPECT_EQ(plot.find("class=\"jump\"><title>"), plot.rfind("class=\"jump\"><title>"));
    size_t legend = plot.find("<g id=\"legend\">");
    ASSERT_NE(legend, std::string::npos);
    for (const char *item :
         {">press</text>", ">press below the trigger</text>", ">trigger</text>",
          ">TapTally's error</text>", ">finding</text>", ">sensor jump</text>"}) {
        EXPECT_NE(plot.find(item, legend), std::string::npos) << item;
    }
    for (const char *line :
         {"     1.080 s  Sensor jumped 400 counts in one report where the reports around it moved "
          "about 3: the pointer leaps by itself (a dirty or failing sensor, or a surface it cannot "
          "read).\n",
          "Sensor: once the pointer leapt by itself, by up to 400 counts in one report: it "
          "misreads the surface or is failing.\n"}) {
        EXPECT_NE(text.Out.find(line), std::string::npos) << line << text.Out;
    }
}

// A recording that begins while a button is down: its first change is a release, which
// puts the state right and is no error, no press and no interval.
TEST(ReplayRecording, ARecordingBegunMidClickIsNoLostPress) {
    Rows rows;
    Move(rows, 0, 1, 1);
    Button(rows, 40, LEFT, 0);
    Button(rows, 60, RIGHT, 0);
    Click(rows, 1000, LEFT);
    Click(rows, 1300, LEFT);
    for (const std::string &content : {Yaml(rows), Evemu(rows)}) {
        Outcome outcome = RunTool({Write("midclick", content)});
        SCOPED_TRACE(outcome.Out);
        EXPECT_EQ(outcome.Status, 0);
        EXPECT_NE(outcome.Out.find("Note:     the recording began while a button was held (left, "
                                   "right): its first release only put the state right, with no "
                                   "press and no interval\n"),
                  std::string::npos);
        EXPECT_NE(outcome.Out.find("left           2       300              0  -\n"
                                   "middle         0         -              0  -\n"
                                   "right          0         -              0  -\n"),
                  std::string::npos);
        EXPECT_EQ(LastLine(outcome.Out), "PASS: no errors, no findings");
    }
}

// The report rate's line agrees with the movement above it: a mouse that moved is never
// said to have stood still, and the count is of the gaps between reports.
TEST(ReplaySensor, TheReportRateLineSaysWhyItWasNotMeasured) {
    const std::pair<std::function<void(Rows &)>, std::string> cases[] = {
        {[](Rows &) {}, "Report rate: not measured: the mouse did not move\n"
                        "Largest sensor step: no motion\n"},
        {[](Rows &r) { Move(r, 500, 1, 0); },
         "Report rate: not measured: no two motion reports came within 100 ms of each other\n"
         "Largest sensor step: 1 count at 0.500 s\n"},
        {[](Rows &r) {
             Move(r, 500, 2, 0);
             Move(r, 700, 2, 0);
         },
         "Report rate: not measured: no two motion reports came within 100 ms of each other\n"
         "Largest sensor step: 2 counts at 0.500 s\n"},
        {[](Rows &r) {
             Move(r, 500, 2, 0);
             Move(r, 508, 2, 0);
         },
         "Report rate: 125 Hz (1st percentile 125 Hz, 99th 125 Hz) over 1 interval between "
         "motion reports\n"},
        {[](Rows &r) { Steady(r, 500, 5); },
         "Report rate: 125 Hz (1st percentile 125 Hz, 99th 125 Hz) over 4 intervals between "
         "motion reports\n"},
    };
    for (const auto &test : cases) {
        Rows rows;
        Click(rows, 0, LEFT);
        test.first(rows);
        for (const std::string &content : {Yaml(rows), Evemu(rows)}) {
            Outcome outcome = RunTool({Write("rate", content)});
            EXPECT_NE(outcome.Out.find(test.second), std::string::npos) << outcome.Out;
        }
    }
}
