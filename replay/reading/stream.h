// Streams of the kernel's event records, as a device node gives them or as stored from one
// (a file, a pipe): their reader, fed bytes by whoever reads the stream.
#pragma once

#include "replay/reading/recording.h"

#include <functional>

namespace replay {

// A reader of a live or stored stream.
class StreamReader : public EventReader {
  public:
    // Bytes of a record the stream ended in the middle of, left out.
    virtual size_t CutBytes() const { return 0; }
    // The device's lines of an evemu-record header (N:, I:, B:), as far as they are known.
    virtual std::string EvemuHeader() const { return ""; }
};

// Up to size bytes of the stream; 0 at its end. May block until bytes come.
using ReadBytes = std::function<size_t(char *buffer, size_t size)>;

// The kernel's own records, all little-endian: seconds and microseconds, then a 16-bit
// type, a 16-bit code and a 32-bit value; 24 bytes each with the 64-bit time fields of
// 64-bit Linux, 16 with the 32-bit ones of 32-bit Linux, told apart by the first records.
std::unique_ptr<StreamReader> OpenRawReader(ReadBytes read);
// Whether a stream begins with the kernel's event records (of 64-bit or 32-bit Linux): its
// first frame, up to its SYN_REPORT, among the first bytes.
bool IsRawRecords(const std::string &head);

} // namespace replay
