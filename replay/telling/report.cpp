// The verdict of a replay, as text and as JSON.
#include "replay/telling/report.h"

#include "replay/reading/text.h"

#include <cstdio>
#include <map>

namespace replay {

namespace {

using Count = unsigned long long;

std::string SecondsText(int64_t ms) {
    return Printf("%lld.%03lld", (long long)(ms / 1000), (long long)(ms % 1000));
}

std::map<int, uint64_t> ErrorsByCode(const ReplayResult &result) {
    std::map<int, uint64_t> counts;
    for (const BoxSeen &error : result.Errors) {
        ++counts[error.Code];
    }
    return counts;
}

std::string CountsText(const std::map<int, uint64_t> &counts) {
    std::string text;
    for (const auto &entry : counts) {
        text += Printf("%s%d: %llu", text.empty() ? "" : ", ", entry.first, (Count)entry.second);
    }
    return text.empty() ? "-" : text;
}

std::string DeviceText(const ReplayResult &result) {
    std::string text = result.Device.Name.empty() ? "(not named in the input)"
                                                  : "\"" + Printable(result.Device.Name) + "\"";
    if (result.Device.DeviceCount > 1) {
        text += Printf(" (device %d of %d)", result.Device.Number, result.Device.DeviceCount);
    }
    return text;
}

// A JSON string; bytes that are no UTF-8 become U+FFFD.
std::string JsonString(const std::string &text) {
    std::string json = "\"";
    for (size_t at = 0; at < text.size();) {
        unsigned char c = (unsigned char)text[at];
        if (c >= 0x80) {
            size_t length = Utf8Length(text, at);
            json += length ? text.substr(at, length) : "\\ufffd";
            at += length ? length : 1;
            continue;
        }
        if (c == '"' || c == '\\') {
            json += '\\';
            json += (char)c;
        } else if (c < 0x20 || c == 0x7f) {
            json += Printf("\\u%04x", c);
        } else {
            json += (char)c;
        }
        ++at;
    }
    return json + "\"";
}

std::string JsonBoxes(const std::vector<BoxSeen> &boxes, bool errors) {
    std::string json = "[";
    for (size_t i = 0; i < boxes.size(); ++i) {
        const BoxSeen &box = boxes[i];
        json += Printf("%s{\"time_ms\": %lld, ", i ? ", " : "", (long long)box.Ms);
        json +=
            errors ? Printf("\"code\": %d", box.Code) : "\"caption\": " + JsonString(box.Caption);
        json += ", \"text\": " + JsonString(box.Text) + "}";
    }
    return json + "]";
}

std::string Plural(uint64_t count, const char *one, const char *many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Times(uint64_t count) {
    return count == 1 ? "once" : count == 2 ? "twice" : std::to_string(count) + " times";
}

// The notes on what the recording held and how it was read, one line each.
std::vector<std::string> Notes(const ReplayResult &result) {
    std::vector<std::string> notes;
    if (result.DroppedReports > 0) {
        notes.push_back(Printf("the kernel dropped events %llu time(s) (SYN_DROPPED); the frames "
                               "it spoiled were not replayed, and %llu button change(s) lost "
                               "there were restored from the changes after them",
                               (Count)result.DroppedReports, (Count)result.RestoredChanges));
    }
    if (result.Device.Mice > 1) {
        notes.push_back(Printf("the recording holds %d mice: device %d was replayed, and "
                               "--device N replays another",
                               result.Device.Mice, result.Device.Number));
    }
    std::string held;
    for (int i = 0; i < BUTTON_KINDS; ++i) {
        if (result.HeldAtStart & (1u << i)) {
            held += (held.empty() ? "" : ", ") + std::string(ButtonWords(i));
        }
    }
    if (!held.empty()) {
        notes.push_back("the recording began while a button was held (" + held +
                        "): its first release only put the state right, with no press and no "
                        "interval");
    }
    if (result.CutEvents > 0 || result.CutLine) {
        std::string text = "the recording was cut off in the middle of a frame: ";
        if (result.CutEvents > 0) {
            text += Printf("its last %llu event(s)%s were not replayed", (Count)result.CutEvents,
                           result.CutLine ? " and its incomplete last line" : "");
        } else {
            text += "its incomplete last line was not replayed";
        }
        notes.push_back(text);
    }
    if (result.TimeBackFrames > 0) {
        notes.push_back(Printf("the time went back in %llu frame(s), by up to %lld ms; each was "
                               "replayed at the time before it",
                               (Count)result.TimeBackFrames,
                               (long long)((result.MostTimeBackMicros + 999) / 1000)));
    }
    if (result.ReleasesIntoBoxes > 0) {
        notes.push_back(Printf("%llu release(s) of a button held when a box came up went to the "
                               "box, as a user lets go of the button to answer it",
                               (Count)result.ReleasesIntoBoxes));
    }
    if (result.ReleasesOffIcon > 0) {
        notes.push_back(Printf("%llu left release(s) landed on TapTally's icon and were moved "
                               "just off it: a release there opens TapTally's About box, which "
                               "the person recording never saw",
                               (Count)result.ReleasesOffIcon));
    }
    return notes;
}

std::string RateText(const ReplayResult &result) {
    const ReportRate &rate = result.Rate;
    if (rate.Intervals == 0) {
        return result.LargestStep.Counts == 0
                   ? "not measured: the mouse did not move"
                   : "not measured: no two motion reports came within 100 ms of each other";
    }
    return Printf("%.0f Hz (1st percentile %.0f Hz, 99th %.0f Hz) over %s between motion reports",
                  rate.MedianHz, rate.SlowHz, rate.FastHz,
                  Plural(rate.Intervals, "interval", "intervals").c_str());
}

std::string StepText(const ReplayResult &result) {
    const SensorStep &step = result.LargestStep;
    if (step.Counts == 0) {
        return "no motion";
    }
    std::string text =
        Plural((uint64_t)step.Counts, "count", "counts") + " at " + SecondsText(step.Ms) + " s";
    if (step.Pinned) {
        text += " (the pointer was pinned at the window's edge there, so TapTally's figures "
                "above show less of it)";
    }
    return text;
}

// A button as the person holding the mouse knows it: with the buttons swapped, the
// physical one, and which TapTally saw.
std::string PhysicalWords(int which, const ReplayResult &result) {
    if (result.Swapped && (which == BUTTON_LEFT || which == BUTTON_RIGHT)) {
        return which == BUTTON_LEFT ? "right button (TapTally's left, swapped)"
                                    : "left button (TapTally's right, swapped)";
    }
    return std::string(ButtonWords(which)) + " button";
}

// One sentence a layman reads for a button that had errors or findings; empty otherwise.
std::string PlainWords(int which, const ReplayResult &result) {
    const ButtonResult &button = result.Buttons[which];
    int triggerMs = result.TriggerMs;
    std::vector<std::string> parts;
    if (button.BelowTrigger > 0) {
        parts.push_back(Plural(button.BelowTrigger, "press", "presses") + " came less than " +
                        Printf("%d ms after the press before, the fastest %u ms apart: its switch "
                               "bounces or it double-clicks by itself",
                               triggerMs, button.LeastMs));
    }
    uint64_t lost = 0;
    for (const auto &entry : button.Errors) {
        lost += ErrorOfLostChange(entry.first) ? entry.second : 0;
    }
    if (lost > 0) {
        parts.push_back("a release came without its press, or a press without its release, " +
                        Times(lost) + ": the switch or its driver loses changes");
    }
    if (button.Bounces > 0) {
        parts.push_back(Times(button.Bounces) + " it pressed itself again right after being let " +
                        Printf("go, %s%lld ms later: it double-clicks when released",
                               button.Bounces > 1 ? "the quickest " : "",
                               (long long)button.FastestBounceMs));
    }
    if (button.ShortPresses > 0) {
        parts.push_back(Times(button.ShortPresses) + " it let go by itself while held, " +
                        Printf("%s%lld ms after the press: it drops what you drag",
                               button.ShortPresses > 1 ? "the soonest " : "",
                               (long long)button.ShortestPressMs));
    }
    if (button.Drops > 0) {
        parts.push_back(Times(button.Drops) + " it let go for a moment by itself in a drag" +
                        Printf(", %s%lld ms: it drops what you drag",
                               button.Drops > 1 ? "up to " : "", (long long)button.LongestDropMs));
    }
    if (parts.empty()) {
        return "";
    }
    std::string text = PhysicalWords(which, result) + ": ";
    text[0] = (char)(text[0] - 'a' + 'A');
    for (size_t i = 0; i < parts.size(); ++i) {
        text += (i ? "; " : "") + parts[i];
    }
    return text + ".\n";
}

// What the findings are, in a few words each, for the verdict's last line.
std::string FindingsNamed(const ReplayResult &result) {
    std::vector<std::string> names;
    for (int i = 0; i < BUTTON_KINDS; ++i) {
        const ButtonResult &button = result.Buttons[i];
        std::string name = "the " + PhysicalWords(i, result);
        if (button.Bounces > 0) {
            names.push_back(name + " bounces on release");
        }
        if (button.ShortPresses > 0) {
            names.push_back(name + " lets go right after a press");
        }
        if (button.Drops > 0) {
            names.push_back(name + " drops a drag");
        }
        if (i >= PANEL_BUTTONS && button.BelowTrigger > 0) {
            names.push_back(name + " presses too fast");
        }
    }
    if (result.WheelReversals > 0) {
        names.push_back("the wheel steps back");
    }
    if (result.SensorJumps > 0) {
        names.push_back("the sensor jumps");
    }
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    }
    return text;
}

std::string BeyondText(const ReplayResult &result) {
    std::string text = "\nBeyond TapTally's test (the replay's own findings; without an error "
                       "of TapTally's they make the verdict WARN):\n";
    text += Printf("Setting:  changes of one button closer than %d ms are one bounce "
                   "(--bounce)\n",
                   result.BounceMs);
    text += "Side buttons:";
    bool any = false;
    for (int i = PANEL_BUTTONS; i < BUTTON_KINDS; ++i) {
        const ButtonResult &button = result.Buttons[i];
        if (!button.Present) {
            continue;
        }
        std::string least = button.HasLeast ? Printf(", least %u ms", button.LeastMs) : "";
        text += Printf("%s %s %s%s", any ? ";" : "", ButtonWords(i),
                       Plural(button.Presses, "press", "presses").c_str(), least.c_str());
        any = true;
    }
    text += any ? "\n" : " none seen\n";
    text += Printf("Wheel:    %s, %s against the scroll\n",
                   Plural(result.WheelSteps, "step", "steps").c_str(),
                   Plural(result.WheelReversals, "step", "steps").c_str());
    text += "Report rate: " + RateText(result) + "\n";
    text += "Largest sensor step: " + StepText(result) + "\n";
    uint64_t total = 0;
    for (const auto &entry : result.FindingCounts) {
        total += entry.second;
    }
    text += total == 0 ? "Findings: none\n" : "Findings:\n";
    for (const Finding &finding : result.Findings) {
        text += Printf("%10s s  ", SecondsText(finding.Ms).c_str()) + finding.Text + "\n";
    }
    if (total > result.Findings.size()) {
        text += Printf("            ... and %llu more\n", (Count)(total - result.Findings.size()));
    }
    return text;
}

} // namespace

const char *VerdictWord(const ReplayResult &result) {
    if (!result.Errors.empty()) {
        return "FAIL";
    }
    if (!result.FindingCounts.empty()) {
        return "WARN";
    }
    for (int i = 0; i < PANEL_BUTTONS; ++i) {
        if (result.Buttons[i].Presses > 0) {
            return "PASS";
        }
    }
    return "UNTESTED";
}

std::string TextReport(const std::string &file, const ReplayResult &result,
                       const OutputOptions &options) {
    const IgnoredCounts &ignored = result.Ignored;
    std::string text =
        std::string(options.Live ? "TapTally live test of " : "TapTally replay of ") +
        Printable(file) + "\n";
    text += "Device:   " + DeviceText(result) + "\n";
    text +=
        Printf("Duration: %s s, %llu frames, %llu events\n", SecondsText(result.DurationMs).c_str(),
               (Count)result.Frames, (Count)result.Events);
    text += Printf("Ignored:  %llu key repeats, %llu other buttons, %llu wheel (TapTally has "
                   "none; see Wheel below), %llu other\n",
                   (Count)ignored.Repeats, (Count)ignored.OtherButtons, (Count)ignored.Wheel,
                   (Count)ignored.Other);
    for (const std::string &note : Notes(result)) {
        text += "Note:     " + note + "\n";
    }
    text += Printf("Trigger:  %d ms\n\n", result.TriggerMs);

    text += result.Errors.empty() ? "Errors:   none\n" : "Errors:\n";
    for (const BoxSeen &error : result.Errors) {
        text += Printf("%10s s  ", SecondsText(error.Ms).c_str()) + error.Text + "\n";
    }
    for (const BoxSeen &box : result.OtherBoxes) {
        text += Printf("%10s s  box \"", SecondsText(box.Ms).c_str()) + box.Caption +
                "\": " + box.Text + "\n";
    }

    text += "\nButton   Presses  Least ms  Below trigger  Errors\n";
    for (int i = 0; i < PANEL_BUTTONS; ++i) {
        const ButtonResult &button = result.Buttons[i];
        std::string least = button.HasLeast ? std::to_string(button.LeastMs) : "-";
        text +=
            Printf("%-6s %9llu %9s %14llu  %s\n", ButtonName(i), (Count)button.Presses,
                   least.c_str(), (Count)button.BelowTrigger, CountsText(button.Errors).c_str());
    }
    text += "\nMovement: " + Plural(result.MoveMessages, "message", "messages") +
            Printf(", most change x %d, y %d\n", result.MostChangeX, result.MostChangeY);
    text += BeyondText(result);

    std::string plain;
    for (int i = 0; i < BUTTON_KINDS; ++i) {
        plain += PlainWords(i, result);
    }
    if (result.WheelReversals > 0) {
        plain += "Wheel: " + Times(result.WheelReversals) +
                 " it stepped back against the scroll: its encoder is worn or dirty.\n";
    }
    if (result.SensorJumps > 0) {
        plain += "Sensor: " + Times(result.SensorJumps) +
                 Printf(" the pointer leapt by itself, by up to %lld counts in one report: it "
                        "misreads the surface or is failing.\n",
                        (long long)result.LargestJump);
    }
    std::string word = VerdictWord(result);
    if (word == "UNTESTED") {
        plain = "Nothing TapTally tests was used: no left, middle or right press was recorded.\n";
    } else if (plain.empty()) {
        plain = "Nothing wrong was found in what was recorded.\n";
    } else if (word == "WARN") {
        plain += "TapTally raised no error: the faults above are ones its test cannot see.\n";
    }
    text += "\nIn plain words:\n" + plain;
    if (options.Strict && (word == "WARN" || word == "UNTESTED")) {
        text += "With --strict, " + word + " makes the exit status 1.\n";
    }
    if (word == "FAIL") {
        text +=
            Printf("FAIL: %zu error%s (%s)\n", result.Errors.size(),
                   result.Errors.size() == 1 ? "" : "s", CountsText(ErrorsByCode(result)).c_str());
    } else if (word == "WARN") {
        text += "WARN: no error of TapTally's, but " + FindingsNamed(result) + "\n";
    } else if (word == "UNTESTED") {
        text += "UNTESTED: no left, middle or right button was pressed\n";
    } else {
        text += "PASS: no errors, no findings\n";
    }
    return text;
}

std::string JsonReport(const std::string &file, const ReplayResult &result) {
    std::string json = "{\"verdict\": \"" + std::string(VerdictWord(result)) + "\"";
    json += ", \"file\": " + JsonString(file);
    json += ", \"device\": " + JsonString(result.Device.Name);
    json += Printf(", \"device_number\": %d, \"device_count\": %d", result.Device.Number,
                   result.Device.DeviceCount);
    json += Printf(", \"duration_ms\": %lld, \"frames\": %llu, \"events\": %llu",
                   (long long)result.DurationMs, (Count)result.Frames, (Count)result.Events);
    json += Printf(", \"trigger_ms\": %d, \"bounce_ms\": %d, \"notes\": [", result.TriggerMs,
                   result.BounceMs);
    std::vector<std::string> notes = Notes(result);
    for (size_t i = 0; i < notes.size(); ++i) {
        json += (i ? ", " : "") + JsonString(notes[i]);
    }
    json +=
        Printf("], \"dropped_reports\": %llu, \"restored_changes\": %llu, \"cut_events\": "
               "%llu, \"cut_line\": %s, \"time_back_frames\": %llu",
               (Count)result.DroppedReports, (Count)result.RestoredChanges, (Count)result.CutEvents,
               result.CutLine ? "true" : "false", (Count)result.TimeBackFrames);
    json += ", \"errors\": " + JsonBoxes(result.Errors, true) + ", \"other_boxes\": ";
    json += JsonBoxes(result.OtherBoxes, false);
    json += Printf(", \"releases_into_boxes\": %llu, \"releases_off_icon\": %llu, "
                   "\"buttons\": {",
                   (Count)result.ReleasesIntoBoxes, (Count)result.ReleasesOffIcon);
    for (int i = 0; i < BUTTON_KINDS; ++i) {
        const ButtonResult &button = result.Buttons[i];
        json += Printf("%s\"%s\": {\"presses\": %llu, \"least_ms\": ", i ? ", " : "", ButtonName(i),
                       (Count)button.Presses);
        json += button.HasLeast ? std::to_string(button.LeastMs) : "null";
        if (i >= PANEL_BUTTONS) {
            json += Printf(", \"present\": %s, \"findings\": %llu}",
                           button.Present ? "true" : "false", (Count)button.FindingCount);
            continue;
        }
        json += ", \"errors\": {";
        bool first = true;
        for (const auto &entry : button.Errors) {
            json += Printf("%s\"%d\": %llu", first ? "" : ", ", entry.first, (Count)entry.second);
            first = false;
        }
        json += Printf("}, \"findings\": %llu}", (Count)button.FindingCount);
    }
    json += Printf("}, \"movement\": {\"messages\": %llu, \"most_change_x\": %d, "
                   "\"most_change_y\": %d, \"largest_step\": %lld, \"largest_step_ms\": %lld, "
                   "\"largest_step_pinned\": %s, \"sensor_jumps\": %llu}",
                   (Count)result.MoveMessages, result.MostChangeX, result.MostChangeY,
                   (long long)result.LargestStep.Counts, (long long)result.LargestStep.Ms,
                   result.LargestStep.Pinned ? "true" : "false", (Count)result.SensorJumps);
    const ReportRate &rate = result.Rate;
    json += rate.Intervals == 0
                ? std::string(", \"report_rate\": null")
                : Printf(", \"report_rate\": {\"median_hz\": %.1f, \"p1_hz\": %.1f, \"p99_hz\": "
                         "%.1f, \"intervals\": %llu}",
                         rate.MedianHz, rate.SlowHz, rate.FastHz, (Count)rate.Intervals);
    json += Printf(", \"wheel\": {\"steps\": %llu, \"reversals\": %llu}, \"findings\": [",
                   (Count)result.WheelSteps, (Count)result.WheelReversals);
    for (size_t i = 0; i < result.Findings.size(); ++i) {
        const Finding &finding = result.Findings[i];
        json += Printf("%s{\"time_ms\": %lld, \"button\": ", i ? ", " : "", (long long)finding.Ms) +
                JsonString(finding.Button) + ", \"kind\": " + JsonString(finding.Kind) +
                (finding.Kind == "sensor-jump"
                     ? Printf(", \"counts\": %lld, \"text\": ", (long long)finding.Counts)
                     : Printf(", \"ms\": %lld, \"text\": ", (long long)finding.ValueMs)) +
                JsonString(finding.Text) + "}";
    }
    json += "], \"finding_counts\": {";
    bool first = true;
    for (const auto &entry : result.FindingCounts) {
        json +=
            (first ? "" : ", ") + JsonString(entry.first) + Printf(": %llu", (Count)entry.second);
        first = false;
    }
    const IgnoredCounts &ignored = result.Ignored;
    json += Printf("}, \"ignored\": {\"repeats\": %llu, \"other_buttons\": %llu, \"wheel\": "
                   "%llu, \"other\": %llu}}\n",
                   (Count)ignored.Repeats, (Count)ignored.OtherButtons, (Count)ignored.Wheel,
                   (Count)ignored.Other);
    return json;
}

} // namespace replay
