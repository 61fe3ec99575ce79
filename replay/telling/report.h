// What the replay prints: the verdict as text for a person or as one JSON object.
#pragma once

#include "replay/running/session.h"

#include <string>

namespace replay {

// 0 when the program raised no error, 1 when it raised any (or, with --strict, when the
// replay found anything beyond its test).
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
