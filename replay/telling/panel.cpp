// The live panel: a table of the buttons and the latest errors and findings, drawn with
// nothing but a few ANSI escapes so that any terminal shows it.
#include "replay/telling/panel.h"

#include <cstdio>

namespace replay {

namespace {

PanelButton PanelRow(const char *name, const ButtonResult &button) {
    PanelButton row;
    row.Name = name;
    row.Presses = button.Presses;
    row.HasCurrent = button.HasCurrent;
    row.CurrentMs = button.CurrentMs;
    row.HasLeast = button.HasLeast;
    row.LeastMs = button.LeastMs;
    for (const auto &error : button.Errors) {
        row.Errors += error.second;
    }
    row.Findings = button.FindingCount;
    return row;
}

std::string Ms(bool known, uint32_t ms) {
    return known ? std::to_string(ms) : "-";
}

} // namespace

std::vector<PanelButton> PanelButtons(const ReplayResult &soFar, const DeviceInfo &device) {
    std::vector<PanelButton> rows;
    for (int button = 0; button < BUTTON_KINDS; ++button) {
        bool listed = device.CodesKnown && device.HasButton[button];
        if (button < PANEL_BUTTONS || soFar.Buttons[button].Present || listed) {
            rows.push_back(PanelRow(ButtonName(button), soFar.Buttons[button]));
        }
    }
    return rows;
}

std::string EventLine(int64_t ms, const std::string &text) {
    char time[40];
    snprintf(time, sizeof time, "%8lld.%03lld s  ", (long long)(ms / 1000), (long long)(ms % 1000));
    return time + text;
}

std::vector<std::string> PanelLines(const Panel &panel, size_t width) {
    std::vector<std::string> lines = {panel.Title, "",
                                      "Button    Presses  Now ms  Least ms  Errors  Findings"};
    for (const PanelButton &button : panel.Buttons) {
        char line[160];
        snprintf(line, sizeof line, "%-8s %8llu %7s %9s %7llu %9llu", button.Name.c_str(),
                 (unsigned long long)button.Presses,
                 Ms(button.HasCurrent, button.CurrentMs).c_str(),
                 Ms(button.HasLeast, button.LeastMs).c_str(), (unsigned long long)button.Errors,
                 (unsigned long long)button.Findings);
        lines.push_back(line);
    }
    lines.push_back("");
    lines.push_back(panel.Latest.empty() ? "No errors or findings yet."
                                         : "Latest errors and findings:");
    for (size_t i = 0; i < PANEL_LATEST; ++i) {
        lines.push_back(i < panel.Latest.size() ? panel.Latest[i] : "");
    }
    for (std::string &line : lines) {
        // A line the terminal wraps would throw the redraw off by a line. Names may be
        // UTF-8: a character's continuation bytes take no column of their own.
        size_t characters = 0;
        for (size_t at = 0; at < line.size(); ++at) {
            if (((unsigned char)line[at] & 0xc0) != 0x80 && ++characters > width) {
                line.resize(at);
                break;
            }
        }
    }
    return lines;
}

std::string Redraw(const std::vector<std::string> &lines, size_t previousLines) {
    std::string text = previousLines > 0 ? "\r\x1b[" + std::to_string(previousLines) + "A" : "";
    for (const std::string &line : lines) {
        text += "\x1b[2K" + line + "\n";
    }
    return text;
}

} // namespace replay
