// FormatValuePair for any two 32-bit numbers and any buffer size: the text never passes
// the given size, and up to it equals the full pair text built here another way: each
// number right-aligned in four characters after a blank, ", " between them, two blanks,
// and one blank more for each number below 100. At the program's own buffer size the
// text is never cut.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "display/movement_row.h"

namespace {

std::string RightAligned(int32_t value) {
    std::string digits = std::to_string(value);
    return digits.size() < 4 ? std::string(4 - digits.size(), ' ') + digits : digits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 9) {
        return 0;
    }
    int32_t first, second;
    memcpy(&first, data, sizeof first);
    memcpy(&second, data + 4, sizeof second);
    size_t room = data[8] % (VALUE_PAIR_TEXT_SIZE + 8); // 0 up to past the program's size

    std::string expected = " " + RightAligned(first) + ", " + RightAligned(second) + "  ";
    expected += std::string((first < 100) + (second < 100), ' ');
    if (expected.size() >= VALUE_PAIR_TEXT_SIZE) {
        abort(); // the program's buffer would cut this pair
    }

    char *text = (char *)malloc(room == 0 ? 1 : room); // exact size, so that an overrun is caught
    int length = FormatValuePair(text, room, first, second);
    if (room == 0) {
        if (length != 0) {
            abort();
        }
        free(text);
        return 0;
    }
    size_t wanted = expected.size() < room ? expected.size() : room - 1;
    if ((size_t)length != wanted || strnlen(text, room) != wanted ||
        memcmp(text, expected.data(), wanted) != 0) {
        abort();
    }
    free(text);
    return 0;
}
