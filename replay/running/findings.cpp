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
// A sensor jump: a step of at least JUMP_FLOOR counts and JUMP_TIMES the median step of
// the JUMP_NEIGHBOURS reports before and after it in the same movement (at least
// JUMP_LEAST_NEIGHBOURS of them). A hand speeds up over many reports: even a hard flick
// at most doubles its step from one report to the next, so the reports beside a real
// step are within a few times of it; a misread stands ten times above them, alone or in
// a pair. The floor (1.6 mm at 800 CPI in one report) keeps slow, lumpy motion out.
const size_t JUMP_NEIGHBOURS = 2, JUMP_LEAST_NEIGHBOURS = 2;
const int64_t JUMP_TIMES = 10, JUMP_FLOOR = 50;

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

const char *ButtonWords(int button) {
    static const char *const WORDS[BUTTON_KINDS] = {
        "left",           "middle",          "right",
        "back (side)",    "forward (extra)", "forward (BTN_FORWARD)",
        "back (BTN_BACK)"};
    return button >= 0 && button < BUTTON_KINDS ? WORDS[button] : "";
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
        } else if (finding.Kind == "spurious-release") {
            button.LongestDropMs = std::max(button.LongestDropMs, finding.ValueMs);
            ++button.Drops;
        }
    } else if (finding.Kind == "wheel-reversal") {
        ++Result.WheelReversals;
    } else {
        ++Result.SensorJumps;
        Result.LargestJump = std::max(Result.LargestJump, finding.Counts);
    }
    if (Result.Findings.size() < FINDINGS_KEPT) {
        Result.Findings.push_back(finding);
    }
    if (Options.Observer) {
        Options.Observer->Found(finding, Result);
    }
}

// A change closer to the one before than the bounce time opens a burst, or goes on with
// the open one: the whole burst is one finding, told when it is over.
void FindingsTracker::Change(Button which, bool down, int64_t ms) {
    Settle(ms);
    Result.Buttons[which].Present = true;
    Burst &burst = Bursts[which];
    bool inBurst = burst.Known && burst.Down != down && ms - burst.LastMs < Options.BounceMs;
    if (inBurst && !burst.Open) {
        burst.Open = true;
        burst.StartedDown = burst.Down;
        burst.Ms = ms;
        burst.Gap = ms - burst.LastMs;
    }
    if (down) {
        CountPress(which, ms, inBurst);
        LastPressMs[which] = ms;
        burst.Moved = burst.Open && burst.Moved;
    }
    burst.Known = true;
    burst.Down = down;
    burst.LastMs = ms;
}

void FindingsTracker::Settle(int64_t ms) {
    for (int which = 0; which < BUTTON_KINDS; ++which) {
        if (Bursts[which].Open && ms - Bursts[which].LastMs >= Options.BounceMs) {
            EndBurst((Button)which);
        }
    }
}

// A burst that began with a press is a press let go at once; one that began with a
// release is a bounce, unless the button ends down after being held and moved: then a
// drag was broken.
void FindingsTracker::EndBurst(Button which) {
    Burst &burst = Bursts[which];
    burst.Open = false;
    std::string name = Capital(ButtonWords(which)) + " button";
    long long gap = (long long)burst.Gap;
    if (burst.StartedDown) {
        Add(Finding{burst.Ms, ButtonName(which), "short-press", burst.Gap,
                    name + Printf(" let go %lld ms after it was pressed: faster than a finger, "
                                  "a held drag would drop.",
                                  gap)},
            which);
    } else if (!burst.Down || !burst.Moved) {
        Add(Finding{burst.Ms, ButtonName(which), "release-bounce", burst.Gap,
                    name + Printf(" pressed again %lld ms after it was let go: faster than a "
                                  "finger, its switch bounces when released.",
                                  gap)},
            which);
    } else {
        Add(Finding{burst.Ms - burst.Gap, ButtonName(which), "spurious-release", burst.Gap,
                    name + Printf(" let go by itself for %lld ms while held and moved: it "
                                  "drops what is dragged.",
                                  gap)},
            which);
    }
}

void FindingsTracker::Restore(Button which) {
    if (Bursts[which].Open) {
        EndBurst(which);
    }
    Bursts[which].Known = false;
}

void FindingsTracker::CountPress(Button which, int64_t ms, bool inBurst) {
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
            // TapTally reports its own three; the side buttons are held to the same rule,
            // but a press of a bounce is the bounce's finding.
            if (which >= PANEL_BUTTONS && !inBurst) {
                Add(Finding{ms, ButtonName(which), "too-fast", interval,
                            Capital(ButtonWords(which)) +
                                Printf(" button pressed %u ms after the press before, below "
                                       "TapTally's trigger of %d ms.",
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
    Settle(ms);
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
    Settle(micros / 1000);
    for (Burst &burst : Bursts) {
        burst.Moved = burst.Moved || (burst.Known && burst.Down);
    }
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
    } else {
        EndMovement();
    }
    Moving = true;
    LastMotionMicros = micros;
    Recent.push_back(Step{counts, micros / 1000});
    // A step is judged once the steps after it are in; those before it stay for the next.
    while (Recent.size() - Judged > JUMP_NEIGHBOURS) {
        JudgeStep(Judged++);
    }
    if (Judged > JUMP_NEIGHBOURS) {
        Recent.erase(Recent.begin(), Recent.begin() + (long)(Judged - JUMP_NEIGHBOURS));
        Judged = JUMP_NEIGHBOURS;
    }
}

void FindingsTracker::EndMovement() {
    while (Judged < Recent.size()) {
        JudgeStep(Judged++);
    }
    Recent.clear();
    Judged = 0;
}

// A step against the steps of the same movement around it: a hand cannot speed up
// tenfold for one report and slow down again, a sensor that misreads does.
void FindingsTracker::JudgeStep(size_t at) {
    const Step &step = Recent[at];
    if (step.Counts < JUMP_FLOOR) {
        return;
    }
    std::vector<int64_t> around;
    size_t first = at > JUMP_NEIGHBOURS ? at - JUMP_NEIGHBOURS : 0;
    for (size_t i = first; i < std::min(Recent.size(), at + JUMP_NEIGHBOURS + 1); ++i) {
        if (i != at) {
            around.push_back(Recent[i].Counts);
        }
    }
    if (around.size() < JUMP_LEAST_NEIGHBOURS) {
        return;
    }
    std::nth_element(around.begin(), around.begin() + (long)(around.size() / 2), around.end());
    int64_t median = around[around.size() / 2];
    if (step.Counts < JUMP_TIMES * median) {
        return;
    }
    Finding jump{step.Ms,
                 "",
                 "sensor-jump",
                 0,
                 Printf("Sensor jumped %lld counts in one report where the reports around it "
                        "moved about %lld: the pointer leaps by itself (a dirty or failing "
                        "sensor, or a surface it cannot read).",
                        (long long)step.Counts, (long long)median),
                 step.Counts};
    Add(jump, BUTTON_KINDS);
}

void FindingsTracker::Finish() {
    for (int which = 0; which < BUTTON_KINDS; ++which) {
        if (Bursts[which].Open) {
            EndBurst((Button)which);
        }
    }
    EndMovement();
    // Bursts and jumps are told when they are over: the list is put back in time order.
    std::stable_sort(Result.Findings.begin(), Result.Findings.end(),
                     [](const Finding &a, const Finding &b) { return a.Ms < b.Ms; });
    ReportRate &rate = Result.Rate;
    if (rate.Intervals == 0) {
        return;
    }
    rate.MedianHz = Hz(Percentile(Spacing, rate.Intervals, 0.5));
    rate.SlowHz = Hz(Percentile(Spacing, rate.Intervals, 0.99));
    rate.FastHz = Hz(Percentile(Spacing, rate.Intervals, 0.01));
}

} // namespace replay
