// snprintf as the stand-in's C runtime gives it to the program. The program formats three
// value pairs for every movement message, and the C library's general formatter costs
// more than all the rest of such a message; stb_sprintf writes whole numbers several
// times faster, with the same text. Formats of whole numbers only (flags '-' and '0', a
// width, the lengths l and ll, conversions d, i, u, x, X and %%) go to it; every other
// format, and a size the C library alone handles, goes to the C library.
#include <climits>
#include <cstdarg>
#include <cstddef>
#include <cstdio>

#define STB_SPRINTF_IMPLEMENTATION
#define STB_SPRINTF_STATIC
#define STB_SPRINTF_NOFLOAT
#define STB_SPRINTF_NOUNALIGNED // no stores of four characters at an odd address
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Weverything"
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#include STB_SPRINTF_HEADER
#if defined(__clang__)
#pragma clang diagnostic pop
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

// The longest text the format can give when every conversion is one of a whole number, as
// above; -1 when one is not.
long LongestText(const char *format) {
    long longest = 0;
    for (const char *at = format; *at; ++at) {
        if (*at != '%') {
            ++longest;
            continue;
        }
        ++at;
        while (*at == '-' || *at == '0') {
            ++at;
        }
        long width = 0;
        for (; *at >= '0' && *at <= '9'; ++at) {
            if (width > 4096) {
                return -1;
            }
            width = width * 10 + (*at - '0');
        }
        long digits = 11; // -2147483648
        if (*at == 'l') {
            ++at;
            digits = sizeof(long) > 4 ? 20 : 11; // -9223372036854775808
            if (*at == 'l') {
                ++at;
                digits = 20;
            }
        }
        switch (*at) {
        case 'd':
        case 'i':
        case 'u':
        case 'x':
        case 'X':
            longest += width > digits ? width : digits;
            break;
        case '%':
            if (at[-1] != '%') {
                return -1; // "%5%" and the like
            }
            ++longest;
            break;
        default:
            return -1;
        }
    }
    return longest;
}

} // namespace

extern "C" int __wrap_snprintf(char *buffer, size_t size, const char *format, ...) {
    va_list arguments;
    va_start(arguments, format);
    long longest = size > 0 && size <= INT_MAX ? LongestText(format) : -1;
    int length = longest < 0              ? vsnprintf(buffer, size, format, arguments)
                 : (size_t)longest < size ? stbsp_vsprintf(buffer, format, arguments)
                                          : stbsp_vsnprintf(buffer, (int)size, format, arguments);
    va_end(arguments);
    return length;
}
