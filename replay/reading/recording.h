// Reading a recording of a mouse: the kernel's input events of one device, from a
// `libinput record` file (YAML) or an `evemu-record` file (text), streamed from the
// file so that an hour of events takes no more memory than a second of them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace replay {

// Event numbers of the kernel's input protocol that the replay looks at.
enum : int {
    EV_SYN_TYPE = 0,
    EV_KEY_TYPE = 1,
    EV_REL_TYPE = 2,
    EV_MSC_TYPE = 4,
    SYN_REPORT_CODE = 0,
    SYN_DROPPED_CODE = 3,
    BTN_LEFT_CODE = 0x110,
    BTN_RIGHT_CODE = 0x111,
    BTN_MIDDLE_CODE = 0x112,
    BTN_SIDE_CODE = 0x113,
    BTN_BACK_CODE = 0x116,
    MSC_SCAN_CODE = 4,
    REL_X_CODE = 0,
    REL_Y_CODE = 1,
    REL_HWHEEL_CODE = 6,
    REL_WHEEL_CODE = 8,
    REL_WHEEL_HI_RES_CODE = 11,
    REL_HWHEEL_HI_RES_CODE = 12,
};

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
    uint64_t Bytes = 0;
    bool Ended = false;
};

enum class Format { Unknown, LibinputYaml, Evemu, Raw };

// Tells the format from the first lines; Unknown when it is neither. line receives the
// line that decided it (the first line that is not blank or a comment).
Format DetectFormat(const std::string &head, long &line);
// Whether a stream begins with the kernel's event records (of 64-bit or 32-bit Linux): its
// first frame, up to its SYN_REPORT, among the first bytes.
bool IsRawRecords(const std::string &head);

// The device the events belong to, as far as the file describes it.
struct DeviceInfo {
    std::string Name;
    int Number = 0;          // 1 for the first device of the file
    int DeviceCount = 0;     // devices in the file (known once the file is read)
    bool CodesKnown = false; // the file lists the codes the device supports
    bool HasLeftButton = false, HasRelX = false;
    bool HasButton[7] = {}; // BTN_LEFT to BTN_BACK (0x110 to 0x116), when CodesKnown
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

// wantedDevice 0 picks the first device that has BTN_LEFT and REL_X.
std::unique_ptr<EventReader> OpenEvemuReader(ByteSource &source, int wantedDevice);
std::unique_ptr<EventReader> OpenYamlReader(ByteSource &source, int wantedDevice);

} // namespace replay
