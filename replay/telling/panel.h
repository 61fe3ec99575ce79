// What the live test shows while it runs: on a terminal a panel redrawn in place, else one
// plain line per error or finding.
#pragma once

#include "replay/running/verdict.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace replay {

struct PanelButton {
    std::string Name; // "left", "side", ...
    uint64_t Presses = 0;
    bool HasCurrent = false, HasLeast = false;
    uint32_t CurrentMs = 0, LeastMs = 0;
    uint64_t Errors = 0, Findings = 0;
};

// An error or finding as one line: its time and its text.
std::string EventLine(int64_t ms, const std::string &text);

// The panel's rows of the verdict so far: left, middle and right always; a side button
// when the device has it (its codes say so, or it was used).
std::vector<PanelButton> PanelButtons(const ReplayResult &soFar, const DeviceInfo &device);

struct Panel {
    std::string Title;
    std::vector<PanelButton> Buttons;
    std::deque<std::string> Latest; // the latest event lines, oldest first
};

// How many event lines the panel keeps below the buttons.
const size_t PANEL_LATEST = 6;

// The panel's lines, none longer than width.
std::vector<std::string> PanelLines(const Panel &panel, size_t width);

// The text that draws lines over the previousLines drawn before (the cursor stands
// below them), with ANSI escapes: up, then each line cleared and written.
std::string Redraw(const std::vector<std::string> &lines, size_t previousLines);

} // namespace replay
