// Findings: what a worn mouse does that TapTally's press-to-press rule cannot see.
#include "replay/running/findings.h"

#include "base/error_codes.h"

#include "replay/reading/text.h"

#include <algorithm>
#include <cstdlib>

namespace replay {

namespace {

// Wheel steps further apart than this are no longer one scroll.
const int64_t WHEEL_SCROLL_MS = 200;
// Motion frames further apart than this: the mouse stood still in between.
const int64_t STILL_MICROS = 100000;

std::string Capital(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = (char)(text[0] - 'a' + 'A');
    }
    return text;
}

// The interval at the given share (0 to 1) of the spacings counted.
uint32_t Percentile(const std::vector<uint32_t> &spacing, uint64_t total, double share) {
    uint64_t wanted = (uint64_t)(share * (double)(total - 1)) + 1, seen = 0;
    for (size_t micros = 0; micros < spacing.size(); ++micros) {
        seen += spacing[micros];
        if (seen >= wanted) {
            return (uint32_t)micros;
        }
    }
    return (uint32_t)spacing.size() - 1;
}

double Hz(uint32_t micros) {
    return micros == 0 ? 0 : 1e6 / micros;
}

} // namespace

const char *ButtonName(int button) {
    static const char *const NAMES[BUTTON_KINDS] = {"left",  "middle",  "right", "side",
                                                    "extra", "forward", "back"};
    return button >= 0 && button < BUTTON_KINDS ? NAMES[button] : "";
}

namespace {

struct ButtonErrors {
    int TooFast, UpBeforeDown, DownBeforeUp;
};
const ButtonErrors ERRORS_OF[PANEL_BUTTONS] = {
    {ERROR_LEFT_TOO_FAST, ERROR_LEFT_UP_BEFORE_DOWN, ERROR_LEFT_DOWN_BEFORE_UP},
    {ERROR_MIDDLE_TOO_FAST, ERROR_MIDDLE_UP_BEFORE_DOWN, ERROR_MIDDLE_DOWN_BEFORE_UP},
    {ERROR_RIGHT_TOO_FAST, ERROR_RIGHT_UP_BEFORE_DOWN, ERROR_RIGHT_DOWN_BEFORE_UP},
};

} // namespace

int ErrorButton(int code) {
    for (int button = 0; button < PANEL_BUTTONS; ++button) {
        const ButtonErrors &errors = ERRORS_OF[button];
        if (code == errors.TooFast || code == errors.UpBeforeDown || code == errors.DownBeforeUp) {
            return button;
        }
    }
    return -1;
}

bool ErrorOfLostChange(int code) {
    int button = ErrorButton(code);
    return button >= 0 && code != ERRORS_OF[button].TooFast;
}

void FindingsTracker::Add(Finding finding, Button which) {
    ++Result.FindingCounts[finding.Kind];
    if (which < BUTTON_KINDS) {
        ButtonResult &button = Result.Buttons[which];
        ++button.FindingCount;
        auto tally = [&finding](uint64_t &count, int64_t &least) {
            least = count++ == 0 ? finding.ValueMs : std::min(least, finding.ValueMs);
        };
        if (finding.Kind == "release-bounce") {
            tally(button.Bounces, button.FastestBounceMs);
        } else if (finding.Kind == "short-press") {
            tally(button.ShortPresses, button.ShortestPressMs);
        }
    } else {
        ++Result.WheelReversals;
    }
    if (Result.Findings.size() < FINDINGS_KEPT) {
        Result.Findings.push_back(finding);
    }
    if (Options.Observer) {
        Options.Observer->Found(finding, Result);
    }
}

void FindingsTracker::Change(Button which, bool down, int64_t ms) {
    Result.Buttons[which].Present = true;
    std::string name = ButtonName(which);
    if (down) {
        int64_t gap = ms - LastReleaseMs[which];
        if (Released[which] && gap < Options.BounceMs) {
            Add(Finding{ms, name, "release-bounce", gap,
                        Capital(name) + Printf(" button pressed again %lld ms after it was let "
                                               "go: faster than a finger, its switch bounces "
                                               "when released.",
                                               (long long)gap)},
                which);
        }
        CountPress(which, ms);
        Released[which] = false;
        Pressed[which] = true;
        LastPressMs[which] = ms;
        return;
    }
    int64_t held = ms - LastPressMs[which];
    if (Pressed[which] && held < Options.BounceMs) {
        Add(Finding{ms, name, "short-press", held,
                    Capital(name) + Printf(" button let go %lld ms after it was pressed: "
                                           "faster than a finger, a held drag would drop.",
                                           (long long)held)},
            which);
    }
    Pressed[which] = false;
    Released[which] = true;
    LastReleaseMs[which] = ms;
}

void FindingsTracker::Restore(Button which) {
    Pressed[which] = Released[which] = false;
}

void FindingsTracker::CountPress(Button which, int64_t ms) {
    ButtonResult &button = Result.Buttons[which];
    if (button.Presses > 0) {
        uint32_t interval = (uint32_t)(ms - LastPressMs[which]);
        if (!button.HasLeast || interval < button.LeastMs) {
            button.LeastMs = interval;
        }
        button.HasLeast = true;
        button.HasCurrent = true;
        button.CurrentMs = interval;
        if ((int64_t)interval < Result.TriggerMs) {
            ++button.BelowTrigger;
            // TapTally reports its own three; the side buttons are held to the same rule.
            if (which >= PANEL_BUTTONS) {
                std::string name = ButtonName(which);
                Add(Finding{ms, name, "too-fast", interval,
                            Capital(name) + Printf(" button pressed %u ms after the press "
                                                   "before, below TapTally's trigger of %d ms.",
                                                   interval, Result.TriggerMs)},
                    which);
            }
        }
        if (Options.KeepPresses) {
            Result.Presses.push_back(PressPoint{ms, interval, which});
        }
    }
    ++button.Presses;
}

// A step against the steps just before and after it, all within one scroll: a worn
// encoder jumps back.
void FindingsTracker::Wheel(int64_t steps, int64_t ms) {
    Result.WheelSteps += (uint64_t)std::llabs(steps);
    WheelStep step{ms, steps > 0 ? 1 : -1};
    if (StepCount == 2) {
        const WheelStep &before = Steps[0], &middle = Steps[1];
        if (before.Sign == step.Sign && middle.Sign != step.Sign &&
            middle.Ms - before.Ms <= WHEEL_SCROLL_MS && step.Ms - middle.Ms <= WHEEL_SCROLL_MS) {
            Add(Finding{middle.Ms, "wheel", "wheel-reversal", middle.Ms - before.Ms,
                        "Wheel stepped back against the scroll for one step: its encoder is "
                        "worn or dirty."},
                BUTTON_KINDS);
        }
    }
    Steps[0] = StepCount == 0 ? step : Steps[1];
    Steps[1] = step;
    StepCount = StepCount < 2 ? StepCount + 1 : 2;
}

void FindingsTracker::Motion(int64_t dx, int64_t dy, bool pinned, int64_t micros) {
    int64_t counts = std::max(std::llabs(dx), std::llabs(dy));
    if (counts > Result.LargestStep.Counts) {
        Result.LargestStep = SensorStep{counts, micros / 1000, pinned};
    }
    int64_t spacing = micros - LastMotionMicros;
    if (Moving && spacing < STILL_MICROS) {
        if (Spacing.empty()) {
            Spacing.assign(STILL_MICROS, 0);
        }
        ++Spacing[(size_t)spacing];
        ++Result.Rate.Intervals;
    }
    Moving = true;
    LastMotionMicros = micros;
}

void FindingsTracker::Finish() {
    ReportRate &rate = Result.Rate;
    if (rate.Intervals == 0) {
        return;
    }
    rate.MedianHz = Hz(Percentile(Spacing, rate.Intervals, 0.5));
    rate.SlowHz = Hz(Percentile(Spacing, rate.Intervals, 0.99));
    rate.FastHz = Hz(Percentile(Spacing, rate.Intervals, 0.01));
}

} // namespace replay
