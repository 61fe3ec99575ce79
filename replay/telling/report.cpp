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

std::string RateText(const ReportRate &rate) {
    if (rate.Intervals == 0) {
        return "not measured: the mouse did not move";
    }
    return Printf("%.0f Hz (1st percentile %.0f Hz, 99th %.0f Hz) over %llu motion reports",
                  rate.MedianHz, rate.SlowHz, rate.FastHz, (Count)rate.Intervals);
}

std::string StepText(const ReplayResult &result) {
    const SensorStep &step = result.LargestStep;
    if (step.Counts == 0) {
        return "no motion";
    }
    std::string text =
        Printf("%lld counts at %s s", (long long)step.Counts, SecondsText(step.Ms).c_str());
    if (step.Pinned) {
        text += " (the pointer was pinned at the window's edge there, so TapTally's figures "
                "above show less of it)";
    }
    return text;
}

// One sentence a layman reads for a button that had errors or findings; empty otherwise.
std::string PlainWords(int which, const ButtonResult &button, int triggerMs) {
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
    if (parts.empty()) {
        return "";
    }
    std::string text = ButtonName(which);
    text[0] = (char)(text[0] - 'a' + 'A');
    text += " button: ";
    for (size_t i = 0; i < parts.size(); ++i) {
        text += (i ? "; " : "") + parts[i];
    }
    return text + ".\n";
}

std::string BeyondText(const ReplayResult &result) {
    std::string text = "\nBeyond TapTally's test (the replay's own findings; TapTally's verdict "
                       "stays as it is):\n";
    text += Printf("Bounce:   a release and a press closer than %d ms\n", result.BounceMs);
    text += "Side buttons:";
    bool any = false;
    for (int i = PANEL_BUTTONS; i < BUTTON_KINDS; ++i) {
        const ButtonResult &button = result.Buttons[i];
        if (!button.Present) {
            continue;
        }
        std::string least = button.HasLeast ? Printf(", least %u ms", button.LeastMs) : "";
        text += Printf("%s %s %s%s", any ? ";" : "", ButtonName(i),
                       Plural(button.Presses, "press", "presses").c_str(), least.c_str());
        any = true;
    }
    text += any ? "\n" : " none seen\n";
    text += Printf("Wheel:    %s, %s against the scroll\n",
                   Plural(result.WheelSteps, "step", "steps").c_str(),
                   Plural(result.WheelReversals, "step", "steps").c_str());
    text += "Report rate: " + RateText(result.Rate) + "\n";
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
    text += Printf("Ignored:  %llu key repeats, %llu other buttons, %llu wheel, %llu other\n",
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
    text += Printf("\nMovement: %llu messages, most change x %d, y %d\n",
                   (Count)result.MoveMessages, result.MostChangeX, result.MostChangeY);
    text += BeyondText(result);

    std::string plain;
    for (int i = 0; i < BUTTON_KINDS; ++i) {
        plain += PlainWords(i, result.Buttons[i], result.TriggerMs);
    }
    if (result.WheelReversals > 0) {
        plain += "Wheel: " + Times(result.WheelReversals) +
                 " it stepped back against the scroll: its encoder is worn or dirty.\n";
    }
    if (plain.empty()) {
        plain = "Nothing wrong was found in what was recorded.\n";
    } else if (result.Errors.empty()) {
        plain += "TapTally's own test passes this mouse: the faults above are ones its test "
                 "cannot see.\n";
    }
    text += "\nIn plain words:\n" + plain;
    if (options.Strict && !result.FindingCounts.empty()) {
        text += "With --strict, the findings make the exit status 1.\n";
    }
    if (result.Errors.empty()) {
        text += "PASS: no errors\n";
    } else {
        text +=
            Printf("FAIL: %zu error%s (%s)\n", result.Errors.size(),
                   result.Errors.size() == 1 ? "" : "s", CountsText(ErrorsByCode(result)).c_str());
    }
    return text;
}

std::string JsonReport(const std::string &file, const ReplayResult &result) {
    std::string json = "{\"file\": " + JsonString(file);
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
                   "\"largest_step_pinned\": %s}",
                   (Count)result.MoveMessages, result.MostChangeX, result.MostChangeY,
                   (long long)result.LargestStep.Counts, (long long)result.LargestStep.Ms,
                   result.LargestStep.Pinned ? "true" : "false");
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
                Printf(", \"ms\": %lld, \"text\": ", (long long)finding.ValueMs) +
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
