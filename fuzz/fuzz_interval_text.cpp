// FormatInterval for any interval and any buffer size: the text never passes the given
// size, and when it has room it is " <ms>  " below 1000 ms and " ---  " from there on.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "display/button_panel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 5) {
        return 0;
    }
    uint32_t interval;
    memcpy(&interval, data, sizeof interval);
    size_t room = 1 + data[4] % 32;

    char expected[32];
    if (interval >= 1000) {
        snprintf(expected, sizeof expected, " ---  ");
    } else {
        snprintf(expected, sizeof expected, " %u  ", (unsigned)interval);
    }

    char *text = (char *)malloc(room); // exact size, so that an overrun is caught
    FormatInterval(text, room, (DWORD)interval);
    size_t length = strnlen(text, room);
    if (length >= room) {
        abort(); // not terminated within the buffer
    }
    size_t wanted = strlen(expected) < room - 1 ? strlen(expected) : room - 1;
    if (length != wanted || memcmp(text, expected, wanted) != 0) {
        abort();
    }
    free(text);
    return 0;
}
