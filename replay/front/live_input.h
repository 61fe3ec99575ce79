// Reading a mouse as it is used: from its device node through libevdev, or from a stream
// of stored records (a file, a pipe), and what ends such a reading: Ctrl+C, SIGTERM, a
// time limit, the end of the stream or the device going away.
#pragma once

#include "replay/reading/stream.h"

#include <functional>
#include <memory>
#include <string>

namespace replay {

enum class StreamEnd { None, Ended, Interrupted, Terminated, TimeUp, Unplugged };

// Ctrl+C and SIGTERM set a flag that ends the reading; a second Ctrl+C ends the
// program at once. seconds > 0 also ends it after that many seconds.
void CatchStopSignals(double seconds);
// Waits until fd can be read: true then; false when the reading is to end (why says why).
// While it waits, idle (when set) is called some five times a second.
bool WaitForInput(int fd, StreamEnd &why);
void WhileWaiting(std::function<void()> idle);

// The bytes of a descriptor as they come, ending as WaitForInput says.
ReadBytes ReadDescriptor(int fd, StreamEnd &why);

// A device node through libevdev: its name and codes from the kernel, the state put right
// after the kernel dropped events; grab keeps its events from every other reader.
// why tells how the reading ended. Throws RecordingError when the node cannot be opened
// as an input device.
std::unique_ptr<StreamReader> OpenDeviceReader(const std::string &node, bool grab, StreamEnd &why);

} // namespace replay
