// Reading a recording of a mouse: the kernel's input events of one device, from a
// `libinput record` file (YAML) or an `evemu-record` file (text), streamed from the
// file so that an hour of events takes no more memory than a second of them.
#pragma once

#include "replay/reading/codes.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace replay {

struct RecordedEvent {
    int64_t Micros = 0; // kernel time of the event
    int Type = 0, Code = 0, Value = 0;
    long Line = 0; // line of the file it stands on
    // Made up by the reader to put the state right after the kernel dropped events (a
    // device's state read again): a button change of it is no press and no interval.
    bool Restored = false;
};

// Bad input: what is wrong and where. The line is 0 when the fault has no place.
struct RecordingError : std::runtime_error {
    RecordingError(long line, const std::string &what) : std::runtime_error(what), Line(line) {}
    long Line;
};
// The input ended before its first event.
struct NoEventsError : RecordingError {
    using RecordingError::RecordingError;
};

// The bytes of the recording: a file or standard input, with the first bytes kept
// aside so that the format can be told from the content before a reader takes over.
class ByteSource {
  public:
    explicit ByteSource(FILE *file) : File(file) {}
    // Reads up to size bytes; 0 at the end. Throws RecordingError on a read error.
    size_t Read(char *buffer, size_t size);
    // The first bytes (up to limit), kept to be read again by Read.
    const std::string &Peek(size_t limit);
    // Lines handed out by Read so far, a last one without line feed included.
    long LinesRead() const { return LineFeeds + (EndsOpen ? 1 : 0); }
    // The line of the last byte read that is no space, tab or line end; 0 before one.
    long LastContentLine() const { return ContentLine; }
    // A reader that counts its lines itself stops the two above, which cost a pass over
    // every byte.
    void CountNoLines() { Counting = false; }
    // Drops a UTF-8 byte-order mark at the start (editors on Windows write one).
    void SkipByteOrderMark();
    uint64_t BytesRead() const { return Bytes; }
    bool AtEnd() const { return Ended; } // Read has returned 0

  private:
    size_t Count(const char *buffer, size_t count);

    FILE *File;
    std::string Head;
    size_t HeadUsed = 0;
    long LineFeeds = 0;
    bool EndsOpen = false; // the last byte read is no line feed
    long ContentLine = 0;
    bool Counting = true;
    uint64_t Bytes = 0;
    bool Ended = false;
};

// The device the events belong to, as far as the file describes it.
struct DeviceInfo {
    std::string Name;
    int Number = 0;          // 1 for the first device of the file
    int DeviceCount = 0;     // devices in the file (known once the file is read)
    bool CodesKnown = false; // the file lists the codes the device supports
    bool HasLeftButton = false, HasRelX = false;
    bool HasButton[BUTTON_KINDS] = {}; // by Button, when CodesKnown
    int Mice = 0; // devices of the file with events, BTN_LEFT and REL_X (at its end)
};

// ":N" for a line of a text file, "" for 0.
inline std::string LinePlace(long line) {
    return line > 0 ? ":" + std::to_string(line) : "";
}

class EventReader {
  public:
    virtual ~EventReader() = default;
    // The next event of the chosen device; false at the end of the file.
    virtual bool Next(RecordedEvent &event) = 0;
    virtual const DeviceInfo &Device() const = 0;
    virtual long LastLine() const = 0; // the line the reader stands on
    // Where a line (as in LastLine, RecordedEvent::Line) stands, after the file's name:
    // ":N" in a text file, "" for 0.
    virtual std::string Place(long line) const { return LinePlace(line); }
    // The file ended in the middle of a line (or a YAML structure) that was left out.
    virtual bool CutLine() const { return false; }
};

} // namespace replay
