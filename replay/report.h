// What the replay prints: the verdict as text for a person or as one JSON object.
#pragma once

#include "replay/session.h"

#include <string>

namespace replay {

// A formatted text of up to 511 characters.
std::string Printf(const char *format, ...) __attribute__((format(printf, 1, 2)));

// The text with every control character shown as '?', safe to print on a terminal.
std::string Printable(std::string text);

// 0 when the program raised no error, 1 when it raised any.
int ExitStatus(const ReplayResult &result);
std::string TextReport(const std::string &file, const ReplayResult &result);
std::string JsonReport(const std::string &file, const ReplayResult &result);
// The plot of every press's interval over time, one row per button.
std::string TimelineSvg(const std::string &file, const ReplayResult &result);

} // namespace replay
