// The live panel: a table of the buttons and the latest errors and findings, drawn with
// nothing but a few ANSI escapes so that any terminal shows it.
#include "replay/telling/panel.h"

#include <algorithm>
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
            rows.push_back(PanelRow(ButtonWords(button), soFar.Buttons[button]));
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
    char status[160] = "Waiting for the mouse... move it or press a button.";
    if (panel.Started) {
        char rate[40] = "standing still";
        if (panel.RateHz > 0) {
            snprintf(rate, sizeof rate, "moving, %.0f reports a second", panel.RateHz);
        }
        snprintf(status, sizeof status, "Elapsed %lld s   %llu events   %s",
                 (long long)(panel.ElapsedMs / 1000), (unsigned long long)panel.Events, rate);
    }
    // The names' column as wide as the longest, "forward (BTN_FORWARD)" at most.
    int names = 6;
    for (const PanelButton &button : panel.Buttons) {
        names = std::max(names, (int)button.Name.size());
    }
    char head[160];
    snprintf(head, sizeof head, "%-*s  Presses  Now ms  Least ms  Errors  Findings", names,
             "Button");
    std::vector<std::string> lines = {panel.Title, status, "", head};
    for (const PanelButton &button : panel.Buttons) {
        char line[160];
        snprintf(line, sizeof line, "%-*s %8llu %7s %9s %7llu %9llu", names, button.Name.c_str(),
                 (unsigned long long)button.Presses,
                 Ms(button.HasCurrent, button.CurrentMs).c_str(),
                 Ms(button.HasLeast, button.LeastMs).c_str(), (unsigned long long)button.Errors,
                 (unsigned long long)button.Findings);
        lines.push_back(line);
    }
    char wheel[160];
    snprintf(wheel, sizeof wheel, "%-*s %8llu step%s, %llu against the scroll", names, "wheel",
             (unsigned long long)panel.WheelSteps, panel.WheelSteps == 1 ? "" : "s",
             (unsigned long long)panel.WheelBack);
    lines.push_back(wheel);
    lines.push_back("");
    lines.push_back(panel.Latest.empty() ? "No errors or findings yet."
                                         : "Latest errors and findings:");
    for (size_t i = 0; i < PANEL_LATEST; ++i) {
        lines.push_back(i < panel.Latest.size() ? panel.Latest[i] : "");
    }
    for (std::string &line : lines) {
        // A line the terminal wraps would throw the redraw off by a line: it is cut, and
        // ends in "..." so that it does not read as whole. Names may be UTF-8: a
        // character's continuation bytes take no column of their own.
        const size_t mark = width > 3 ? 3 : 0;
        size_t characters = 0, kept = 0;
        for (size_t at = 0; at < line.size(); ++at) {
            if (((unsigned char)line[at] & 0xc0) == 0x80) {
                continue;
            }
            kept = characters == width - mark ? at : kept;
            if (++characters > width) {
                line.resize(kept);
                line += std::string(mark, '.');
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
