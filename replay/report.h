// What the replay prints: the verdict as text for a person or as one JSON object.
#pragma once

#include "replay/session.h"

#include <string>

namespace replay {

// A formatted text of up to 511 characters.
std::string Printf(const char *format, ...) __attribute__((format(printf, 1, 2)));

// The text with every control character shown as '?', safe to print on a terminal.
std::string Printable(std::string text);

// The length of the UTF-8 sequence at text[at], or 0 when none starts there.
size_t Utf8Length(const std::string &text, size_t at);

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
