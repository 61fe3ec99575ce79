// Text helpers: formatting, terminal-safe text, UTF-8 and decimal numbers.
#include "replay/reading/text.h"

#include <cstdarg>
#include <cstdio>

namespace replay {

std::string Printf(const char *format, ...) {
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

std::string Printable(std::string text) {
    for (char &c : text) {
        if ((unsigned char)c < 0x20 || c == 0x7f) {
            c = '?';
        }
    }
    return text;
}

size_t Utf8Length(const std::string &text, size_t at) {
    unsigned char lead = (unsigned char)text[at];
    size_t length = lead >= 0xf0 && lead <= 0xf4 ? 4 : lead >= 0xe0 ? 3 : lead >= 0xc2 ? 2 : 0;
    if (lead >= 0xf5 || at + length > text.size()) {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if (((unsigned char)text[at + i] & 0xc0) != 0x80) {
            return 0;
        }
    }
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    unsigned char second = length > 1 ? (unsigned char)text[at + 1] : 0;
    if ((lead == 0xe0 && second < 0xa0) || (lead == 0xed && second >= 0xa0) ||
        (lead == 0xf0 && second < 0x90) || (lead == 0xf4 && second >= 0x90)) {
        return 0;
    }
    return length;
}

} // namespace replay
