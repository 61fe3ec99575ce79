// What the replay prints: the verdict as text for a person or as one JSON object.
#pragma once

#include "replay/running/verdict.h"

#include <string>

namespace replay {

// How the verdict is told, and where the pictures go.
struct OutputOptions {
    bool Json = false;
    std::string Png;      // TapTally's screen at the end
    std::string Timeline; // SVG plot of the press intervals
    bool Strict = false;  // a finding counts for the exit status
    bool Live = false;    // the events came from the mouse as it was used, not from a file
};

std::string TextReport(const std::string &file, const ReplayResult &result,
                       const OutputOptions &options);
std::string JsonReport(const std::string &file, const ReplayResult &result);
// The plot of every press's interval over time, one row per button, with TapTally's
// errors and the findings marked.
std::string TimelineSvg(const std::string &file, const ReplayResult &result,
                        const OutputOptions &options);

} // namespace replay
