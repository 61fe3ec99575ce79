// The reader of the kernel's event records on any bytes: no crash, no read beyond the
// stream, frames in time order, and a fault named by a record the stream has.
#include <algorithm>
#include <cstring>

#include "fuzz_recording_reader.h"
#include "replay/reading/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // Handed out in pieces of odd sizes, as a pipe does.
    size_t at = 0;
    replay::ReadBytes read = [&](char *buffer, size_t room) -> size_t {
        size_t count = std::min({room, size - at, (size_t)7 + at % 29});
        memcpy(buffer, data + at, count);
        at += count;
        return count;
    };
    long records = (long)(size / 16) + 1;
    try {
        std::unique_ptr<replay::StreamReader> events = replay::OpenRawReader(read);
        ReadAllFrames(*events, records);
    } catch (const replay::RecordingError &error) {
        CheckPlace(error, records);
    }
    return 0;
}
