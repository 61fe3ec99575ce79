// What the replay prints: the verdict as text for a person or as one JSON object.
#pragma once

#include "replay/running/session.h"

#include <string>

namespace replay {

// The verdict's first word, the first that applies: "FAIL" (TapTally raised errors),
// "WARN" (findings beyond TapTally's test), "UNTESTED" (no left, middle or right press),
// "PASS".
const char *VerdictWord(const ReplayResult &result);
// 1 for FAIL, and with --strict for WARN and UNTESTED too; 0 otherwise.
int ExitStatus(const ReplayResult &result, const ReplayOptions &options);
std::string TextReport(const std::string &file, const ReplayResult &result,
                       const ReplayOptions &options);
std::string JsonReport(const std::string &file, const ReplayResult &result,
                       const ReplayOptions &options);
// The plot of every press's interval over time, one row per button, with TapTally's
// errors and the findings marked.
std::string TimelineSvg(const std::string &file, const ReplayResult &result,
                        const ReplayOptions &options);

} // namespace replay
