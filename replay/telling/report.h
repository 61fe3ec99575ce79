// What the replay prints: the verdict as text for a person or as one JSON object.
#pragma once

#include "replay/running/session.h"

#include <string>

namespace replay {

// A formatted text of up to 511 characters.
std::string Printf(const char *format, ...) __attribute__((format(printf, 1, 2)));

// The text with every control character shown as '?', safe to print on a terminal.
std::string Printable(std::string text);

// The length of the UTF-8 sequence at text[at], or 0 when none starts there.
size_t Utf8Length(const std::string &text, size_t at);

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
