// The replay's findings beside the live program: the page hands every press, release,
// wheel step and movement of the mouse to the replay's tracker as it happens, and shows
// what it finds, and on demand the replay's whole verdict of the session so far.
#include "web/src/findings.h"

#include "base/test_state.h"
#include "replay/reading/text.h"
#include "replay/running/findings.h"
#include "replay/telling/report.h"

#include <emscripten.h>

#include <string>

EM_JS(void, page_finding, (int ms, const char *text),
      { Module.taptallyFinding(ms, UTF8ToString(text)); });

namespace {

class PageObserver : public replay::ReplayObserver {
  public:
    void Found(const replay::Finding &finding, const replay::ReplayResult &) override {
        page_finding((int)finding.Ms, finding.Text.c_str());
    }
};

// The browser's buttons: 0 left, 1 middle, 2 right, 3 back, 4 forward. The kernel names
// the thumb buttons that browsers see as back and forward BTN_SIDE and BTN_EXTRA.
const replay::Button BUTTON_OF[] = {replay::BUTTON_LEFT, replay::BUTTON_MIDDLE,
                                    replay::BUTTON_RIGHT, replay::BUTTON_SIDE,
                                    replay::BUTTON_EXTRA};

PageObserver Observer;
replay::RunOptions Options = [] {
    replay::RunOptions options;
    options.Observer = &Observer;
    return options;
}();
replay::ReplayResult Result;
replay::FindingsTracker Tracker(Options, Result);

// The program's own trigger, so that the thumb buttons are held to the one it uses now.
void Note(int ms) {
    Result.TriggerMs = State.TriggerThreshold;
    Result.BounceMs = Options.BounceMs;
    if (ms > Result.DurationMs) {
        Result.DurationMs = ms;
    }
    ++Result.Events;
}

// A box's text on one line: its lines trimmed and joined by blanks.
std::string OneLine(const std::string &text) {
    std::string joined, line;
    for (size_t at = 0; at <= text.size(); ++at) {
        if (at < text.size() && text[at] != '\n') {
            line += text[at] == '\r' ? ' ' : text[at];
            continue;
        }
        size_t first = line.find_first_not_of(' '), last = line.find_last_not_of(' ');
        if (first != std::string::npos) {
            joined += (joined.empty() ? "" : " ") + line.substr(first, last - first + 1);
        }
        line.clear();
    }
    return joined;
}

} // namespace

void NoteBoxForFindings(const headless::BoxInfo &box, int ms) {
    replay::BoxSeen seen;
    seen.Ms = ms;
    seen.Caption = box.Caption;
    seen.Text = OneLine(box.Text);
    if (box.IsDialog || box.Caption != "Error Message") {
        Result.OtherBoxes.push_back(seen);
        return;
    }
    seen.Code = State.ErrorCode;
    Result.Errors.push_back(seen);
    int button = replay::ErrorButton(seen.Code);
    if (button >= 0) {
        ++Result.Buttons[button].Errors[seen.Code];
    }
}

extern "C" {

EMSCRIPTEN_KEEPALIVE void page_findings_button(int button, int down, int ms) {
    if (button < 0 || button > 4) {
        return;
    }
    Note(ms);
    Tracker.Change(BUTTON_OF[button], down != 0, ms);
}

// One step of the wheel: +1 away from the user, -1 towards.
EMSCRIPTEN_KEEPALIVE void page_findings_wheel(int steps, int ms) {
    Note(ms);
    Tracker.Wheel(steps, ms);
}

EMSCRIPTEN_KEEPALIVE void page_findings_motion(int dx, int dy, double micros) {
    Note((int)(micros / 1000));
    ++Result.Frames;
    Tracker.Motion(dx, dy, false, (int64_t)micros);
}

// The figures so far, for the page's table.
EMSCRIPTEN_KEEPALIVE const char *page_findings_json() {
    static std::string json;
    Tracker.Finish();
    json = "{\"buttons\":[";
    for (int i = 0; i < 5; ++i) {
        const replay::ButtonResult &button = Result.Buttons[BUTTON_OF[i]];
        json += replay::Printf(
            "%s{\"presses\":%llu,\"least\":%s,\"bounces\":%llu,\"shortPresses\":%llu,"
            "\"belowTrigger\":%llu}",
            i ? "," : "", (unsigned long long)button.Presses,
            button.HasLeast ? std::to_string(button.LeastMs).c_str() : "null",
            (unsigned long long)button.Bounces, (unsigned long long)button.ShortPresses,
            (unsigned long long)button.BelowTrigger);
    }
    json += replay::Printf("],\"wheelSteps\":%llu,\"wheelReversals\":%llu,\"rateHz\":%.0f,"
                           "\"trigger\":%d,\"findings\":%llu}",
                           (unsigned long long)Result.WheelSteps,
                           (unsigned long long)Result.WheelReversals, Result.Rate.MedianHz,
                           State.TriggerThreshold, (unsigned long long)Result.Findings.size());
    return json.c_str();
}

// The replay's verdict of everything the page has seen so far, plain words included.
EMSCRIPTEN_KEEPALIVE const char *page_findings_verdict() {
    static std::string text;
    Tracker.Finish();
    Result.Device.Name = "the mouse as this browser sees it";
    replay::OutputOptions output;
    output.Live = true;
    text = replay::TextReport("this page", Result, output);
    return text.c_str();
}

} // extern "C"
