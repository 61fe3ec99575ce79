// The verdict of a replay, as text and as JSON.
#include "replay/report.h"

#include <cstdarg>
#include <cstdio>
#include <map>

namespace replay {

namespace {

const char *const BUTTON_NAMES[3] = {"left", "middle", "right"};

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
        text += Printf("%s%d: %llu", text.empty() ? "" : ", ", entry.first,
                       (unsigned long long)entry.second);
    }
    return text.empty() ? "-" : text;
}

std::string DeviceText(const ReplayResult &result) {
    std::string text = result.Device.Name.empty() ? "(the recording names none)"
                                                  : "\"" + Printable(result.Device.Name) + "\"";
    if (result.Device.DeviceCount > 1) {
        text += Printf(" (device %d of %d)", result.Device.Number, result.Device.DeviceCount);
    }
    return text;
}

// The length of the UTF-8 sequence at text[at], or 0 when none starts there.
size_t Utf8Length(const std::string &text, size_t at) {
    unsigned char lead = (unsigned char)text[at];
    size_t length = lead >= 0xf0 && lead <= 0xf4 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 ? 2 : 0;
    if (lead >= 0xf5 || at + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if (((unsigned char)text[at + i] & 0xc0) != 0x80) {
            return 0;
        }
    }
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    unsigned char second = length > 1 ? (unsigned char)text[at + 1] : 0;
    if ((lead == 0xe0 && second < 0xa0) || (lead == 0xed && second >= 0xa0) ||
        (lead == 0xf0 && second < 0x90) || (lead == 0xf4 && second >= 0x90)) {
        return 0;
    }
    return length;
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
        json += ", \"text\": " + JsonString(box.FirstLine) + "}";
    }
    return json + "]";
}

} // namespace

std::string Printf(const char *format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

std::string Printable(std::string text) {
    for (char &c : text) {
        if ((unsigned char)c < 0x20 || c == 0x7f) {
            c = '?';
        }
    }
    return text;
}

int ExitStatus(const ReplayResult &result) {
    return result.Errors.empty() ? 0 : 1;
}

std::string TextReport(const std::string &file, const ReplayResult &result) {
    const IgnoredCounts &ignored = result.Ignored;
    std::string text = "TapTally replay of " + Printable(file) + "\n";
    text += "Device:   " + DeviceText(result) + "\n";
    text +=
        Printf("Duration: %s s, %llu frames, %llu events\n", SecondsText(result.DurationMs).c_str(),
               (unsigned long long)result.Frames, (unsigned long long)result.Events);
    text += Printf("Ignored:  %llu key repeats, %llu other buttons, %llu wheel, %llu other\n",
                   (unsigned long long)ignored.Repeats, (unsigned long long)ignored.OtherButtons,
                   (unsigned long long)ignored.Wheel, (unsigned long long)ignored.Other);
    if (result.DroppedReports > 0) {
        text += Printf("Note:     the kernel dropped events %llu time(s) (SYN_DROPPED); the frames "
                       "it spoiled were not replayed, and %llu button change(s) lost there were "
                       "restored from the changes after them\n",
                       (unsigned long long)result.DroppedReports,
                       (unsigned long long)result.RestoredChanges);
    }
    if (result.CutEvents > 0) {
        text += Printf("Note:     the recording ends in the middle of a frame; its %llu event(s) "
                       "were not replayed\n",
                       (unsigned long long)result.CutEvents);
    }
    if (result.ReleasesIntoBoxes > 0) {
        text += Printf("Note:     %llu release(s) of a button held when a box came up went to the "
                       "box, as a user lets go of the button to answer it\n",
                       (unsigned long long)result.ReleasesIntoBoxes);
    }
    text += Printf("Trigger:  %d ms\n\n", result.TriggerMs);

    text += result.Errors.empty() ? "Errors:   none\n" : "Errors:\n";
    for (const BoxSeen &error : result.Errors) {
        text += Printf("%10s s  %s\n", SecondsText(error.Ms).c_str(), error.FirstLine.c_str());
    }
    for (const BoxSeen &box : result.OtherBoxes) {
        text += Printf("%10s s  box \"%s\": %s\n", SecondsText(box.Ms).c_str(), box.Caption.c_str(),
                       box.FirstLine.c_str());
    }

    text += "\nButton   Presses  Least ms  Below trigger  Errors\n";
    for (int i = 0; i < 3; ++i) {
        const ButtonResult &button = result.Buttons[i];
        std::string least = button.HasLeast ? std::to_string(button.LeastMs) : "-";
        text += Printf("%-6s %9llu %9s %14llu  %s\n", BUTTON_NAMES[i],
                       (unsigned long long)button.Presses, least.c_str(),
                       (unsigned long long)button.BelowTrigger, CountsText(button.Errors).c_str());
    }
    text += Printf("\nMovement: %llu messages, most change x %d, y %d\n",
                   (unsigned long long)result.MoveMessages, result.MostChangeX, result.MostChangeY);
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
    json += Printf(", \"duration_ms\": %lld, \"trigger_ms\": %d, \"errors\": ",
                   (long long)result.DurationMs, result.TriggerMs);
    json += JsonBoxes(result.Errors, true) + ", \"other_boxes\": ";
    json += JsonBoxes(result.OtherBoxes, false);
    json += Printf(", \"releases_into_boxes\": %llu, \"buttons\": {",
                   (unsigned long long)result.ReleasesIntoBoxes);
    for (int i = 0; i < 3; ++i) {
        const ButtonResult &button = result.Buttons[i];
        json += Printf("%s\"%s\": {\"presses\": %llu, \"least_ms\": ", i ? ", " : "",
                       BUTTON_NAMES[i], (unsigned long long)button.Presses);
        json += button.HasLeast ? std::to_string(button.LeastMs) : "null";
        json += ", \"errors\": {";
        bool first = true;
        for (const auto &entry : button.Errors) {
            json += Printf("%s\"%d\": %llu", first ? "" : ", ", entry.first,
                           (unsigned long long)entry.second);
            first = false;
        }
        json += "}}";
    }
    json += Printf("}, \"movement\": {\"messages\": %llu, \"most_change_x\": %d, "
                   "\"most_change_y\": %d}",
                   (unsigned long long)result.MoveMessages, result.MostChangeX, result.MostChangeY);
    const IgnoredCounts &ignored = result.Ignored;
    json += Printf(", \"ignored\": {\"repeats\": %llu, \"other_buttons\": %llu, \"wheel\": "
                   "%llu, \"other\": %llu}}\n",
                   (unsigned long long)ignored.Repeats, (unsigned long long)ignored.OtherButtons,
                   (unsigned long long)ignored.Wheel, (unsigned long long)ignored.Other);
    return json;
}

} // namespace replay
