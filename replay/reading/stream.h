// Reading a mouse as it is used: the kernel's event records from a device node (through
// libevdev) or from a stream of stored records (a file, a pipe), and what ends such a
// reading: Ctrl+C, SIGTERM, a time limit, the end of the stream or the device going away.
#pragma once

#include "replay/reading/recording.h"

#include <functional>

namespace replay {

enum class StreamEnd { None, Ended, Interrupted, Terminated, TimeUp, Unplugged };

// Ctrl+C and SIGTERM set a flag that ends the reading; a second Ctrl+C ends the
// program at once. seconds > 0 also ends it after that many seconds.
void CatchStopSignals(double seconds);
// Waits until fd can be read: true then; false when the reading is to end (why says why).
bool WaitForInput(int fd, StreamEnd &why);

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
// The bytes of a descriptor as they come, ending as WaitForInput says.
ReadBytes ReadDescriptor(int fd, StreamEnd &why);

// A device node through libevdev: its name and codes from the kernel, the state put right
// after the kernel dropped events; grab keeps its events from every other reader.
// why tells how the reading ended. Throws RecordingError when the node cannot be opened
// as an input device.
std::unique_ptr<StreamReader> OpenDeviceReader(const std::string &node, bool grab, StreamEnd &why);

} // namespace replay
