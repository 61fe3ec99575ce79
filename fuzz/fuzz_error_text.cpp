// BuildErrorText for any 32-bit error code: always terminated within the buffer, under
// 200 characters, and starting with the header that names the code.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dialogs/message_catalog.h"
#include "base/test_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 4) {
        return 0;
    }
    int32_t code;
    memcpy(&code, data, sizeof code);
    State.ErrorCode = code;
    const char *text = BuildErrorText();
    if (memchr(text, 0, sizeof ErrorText) == nullptr) {
        abort(); // not terminated inside the buffer
    }
    if (strlen(text) >= 200) {
        abort();
    }
    char header[64];
    snprintf(header, sizeof header, "Error # %d Occurred! - \n", code);
    if (strncmp(text, header, strlen(header)) != 0) {
        abort();
    }
    return 0;
}
