// The evemu-record reader on any bytes: no crash, no hang, frames in time order and
// faults on lines the file has.
#include "fuzz_recording_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    return FuzzReader(data, size, false);
}
