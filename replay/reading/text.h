// Small helpers for the texts the replay reads and writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace replay {

// A formatted text of up to 511 characters.
std::string Printf(const char *format, ...) __attribute__((format(printf, 1, 2)));

// The text with every control character shown as '?', safe to print on a terminal.
std::string Printable(std::string text);

// The length of the UTF-8 sequence at text[at], or 0 when none starts there.
size_t Utf8Length(const std::string &text, size_t at);

// Parses a decimal integer that fills text[0, length) completely (an optional '-' and
// digits; leading zeros are decimal). False when it is no such number or out of range.
// Inline: a reader calls it for most fields of every event.
inline bool ParseDecimal(const char *text, size_t length, int64_t low, int64_t high,
                         int64_t &value) {
    size_t at = 0;
    bool negative = false;
    if (at < length && text[at] == '-') {
        negative = true;
        ++at;
    }
    if (at == length || length - at > 18) {
        return false;
    }
    int64_t result = 0;
    for (; at < length; ++at) {
        if (text[at] < '0' || text[at] > '9') {
            return false;
        }
        result = result * 10 + (text[at] - '0');
    }
    value = negative ? -result : result;
    return value >= low && value <= high;
}

} // namespace replay
