// ConvertEntry for any entry, against a wide reference: white space " \t\n\v\f\r", one
// sign, digits; a value beyond the 32-bit range gives INT_MIN or INT_MAX.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "dialogs/trigger_dialog.h"

namespace {

int ReferenceConvert(const char *text) {
    while (*text != '\0' && strchr(" \t\n\v\f\r", *text) != nullptr) {
        ++text;
    }
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    __int128 value = 0;
    const __int128 cap = (__int128)INT_MAX + 2; // beyond either end, stop growing
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > cap) {
            value = cap;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return (int)value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string text((const char *)data, size);
    text = text.substr(0, text.find('\0'));
    char *entry = (char *)malloc(text.size() + 1);
    memcpy(entry, text.c_str(), text.size() + 1);
    int got = ConvertEntry(entry);
    if (got != ReferenceConvert(text.c_str())) {
        abort();
    }
    if (memcmp(entry, text.c_str(), text.size() + 1) != 0) {
        abort(); // the entry was changed
    }
    free(entry);
    return 0;
}
