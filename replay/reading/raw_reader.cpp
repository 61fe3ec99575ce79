// Streams of the kernel's event records: as read from a device node, stored by
// `cat /dev/input/eventN > file`, or coming through a pipe.
#include "replay/reading/stream.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

namespace replay {

namespace {

// struct input_event of 64-bit Linux (two 64-bit time fields) and of 32-bit Linux (two
// 32-bit ones); type, code and value follow in both.
const size_t RECORD_64 = 24, RECORD_32 = 16;
// Bytes looked at to tell the two apart: two records of 64-bit Linux, three of 32-bit.
const size_t SIZE_SAMPLE = 48;

volatile sig_atomic_t StopSignal = 0;
std::chrono::steady_clock::time_point Deadline = std::chrono::steady_clock::time_point::max();
double SecondsAsked = 0; // --seconds; 0 for no limit

extern "C" void OnStopSignal(int signal) {
    StopSignal = signal;
}

uint64_t LittleEndian(const unsigned char *bytes, int count) {
    uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

// Time, type and code of a record within the kernel's bounds.
bool Plausible(const unsigned char *record, size_t size) {
    int time = (int)size / 2 - 4; // bytes of each time field
    uint64_t seconds = LittleEndian(record, time), micros = LittleEndian(record + time, time);
    const unsigned char *rest = record + 2 * time;
    return seconds <= ((uint64_t)1 << 40) && micros <= 999999 && LittleEndian(rest, 2) <= 0x1f &&
           LittleEndian(rest + 2, 2) <= 0x2ff;
}

// The size of the records the bytes begin with: 24 when every whole record up to the first
// SYN_REPORT (or to the end of the bytes) is plausible as one of 64-bit Linux, else 16 when
// as one of 32-bit Linux; 0 when neither. A record of one size read in the other puts time
// fields where type and code belong, and fails. framed: a SYN_REPORT was among them.
size_t RecordSizeOf(const unsigned char *bytes, size_t count, bool &framed) {
    for (size_t size : {RECORD_64, RECORD_32}) {
        bool plausible = count >= size;
        framed = false;
        for (size_t at = 0; plausible && !framed && at + size <= count; at += size) {
            plausible = Plausible(bytes + at, size);
            framed = LittleEndian(bytes + at + size - 8, 4) == 0; // type and code 0
        }
        if (plausible) {
            return size;
        }
    }
    framed = false;
    return 0;
}

class RawReader : public StreamReader {
  public:
    explicit RawReader(ReadBytes read) : Read(std::move(read)) {
        Info.Number = 1;
        Info.DeviceCount = 1;
    }

    bool Next(RecordedEvent &event) override {
        if (Size == 0) {
            // The first records tell their size; a stream too short to tell is of 64-bit Linux.
            Fill(SIZE_SAMPLE);
            bool framed;
            Size = RecordSizeOf(Buffer, Filled, framed);
            Size = Size == 0 ? RECORD_64 : Size;
        }
        if (!Fill(Size)) {
            Cut = Filled - Used;
            return false;
        }
        Parse(Buffer + Used, event);
        Used += Size;
        return true;
    }

    const DeviceInfo &Device() const override { return Info; }
    long LastLine() const override { return Records; }
    std::string Place(long record) const override {
        return record > 0 ? ": record " + std::to_string(record) + " (byte " +
                                std::to_string((record - 1) * (long)Size) + ")"
                          : "";
    }
    size_t CutBytes() const override { return Cut; }

  private:
    // Reads until the buffer holds count bytes not yet used; false when the stream ends first.
    bool Fill(size_t count) {
        while (Filled - Used < count) {
            if (Ended) {
                return false;
            }
            // Keep the partial record and fill up behind it.
            memmove(Buffer, Buffer + Used, Filled - Used);
            Filled -= Used;
            Used = 0;
            size_t read = Read((char *)Buffer + Filled, sizeof Buffer - Filled);
            Ended = read == 0;
            Filled += read;
        }
        return true;
    }

    void Parse(const unsigned char *record, RecordedEvent &event) {
        ++Records;
        int time = (int)Size / 2 - 4;
        const unsigned char *rest = record + 2 * time;
        event.Type = (int)LittleEndian(rest, 2);
        event.Code = (int)LittleEndian(rest + 2, 2);
        event.Value = (int32_t)(uint32_t)LittleEndian(rest + 4, 4);
        event.Line = Records;
        if (!Plausible(record, Size)) {
            throw RecordingError(Records, "this is no input event of Linux: its time, type or "
                                          "code is out of range (records of " +
                                              std::to_string(Size) + " bytes)");
        }
        event.Micros = (int64_t)LittleEndian(record, time) * 1000000 +
                       (int64_t)LittleEndian(record + time, time);
    }

    ReadBytes Read;
    DeviceInfo Info;
    unsigned char Buffer[RECORD_64 * RECORD_32 * 64]; // whole records of either size
    size_t Size = 0;                                  // of a record, once known
    size_t Used = 0, Filled = 0, Cut = 0;
    long Records = 0;
    bool Ended = false;
};

} // namespace

void CatchStopSignals(double seconds) {
    StopSignal = 0;
    SecondsAsked = seconds;
    Deadline = std::chrono::steady_clock::time_point::max();
    // No SA_RESTART: a read waiting for the mouse returns at once. SA_RESETHAND: a second
    // Ctrl+C ends a program that does not stop.
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool WaitForInput(int fd, StreamEnd &why) {
    // A signal that comes just before poll is seen within this time.
    const int LONGEST_WAIT_MS = 200;
    for (;;) {
        if (StopSignal) {
            why = StopSignal == SIGTERM ? StreamEnd::Terminated : StreamEnd::Interrupted;
            return false;
        }
        auto now = std::chrono::steady_clock::now();
        // The time counts from the first wait for the mouse, once TapTally is up and
        // calibrated: a slow start takes nothing from the test.
        if (SecondsAsked > 0 && Deadline == std::chrono::steady_clock::time_point::max()) {
            Deadline = now + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                 std::chrono::duration<double>(SecondsAsked));
        }
        if (now >= Deadline) {
            why = StreamEnd::TimeUp;
            return false;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - now).count();
        pollfd wait = {fd, POLLIN, 0};
        int ready = poll(&wait, 1, (int)std::min<long long>(left + 1, LONGEST_WAIT_MS));
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            throw RecordingError(0, std::string("cannot be read: ") + strerror(errno));
        }
    }
}

ReadBytes ReadDescriptor(int fd, StreamEnd &why) {
    return [fd, &why](char *buffer, size_t size) -> size_t {
        for (;;) {
            if (!WaitForInput(fd, why)) {
                return 0;
            }
            ssize_t count = read(fd, buffer, size);
            if (count >= 0) {
                if (count == 0) {
                    why = StreamEnd::Ended;
                }
                return (size_t)count;
            }
            if (errno != EINTR && errno != EAGAIN) {
                throw RecordingError(0, std::string("cannot be read: ") + strerror(errno));
            }
        }
    };
}

bool IsRawRecords(const std::string &head) {
    // Text has printable bytes where a record's time has zeros: no text passes for records.
    // A record damaged after the first frame is the reader's to name.
    const size_t FIRST_FRAME = 1024;
    bool framed;
    RecordSizeOf((const unsigned char *)head.data(), std::min(head.size(), FIRST_FRAME), framed);
    return framed;
}

std::unique_ptr<StreamReader> OpenRawReader(ReadBytes read) {
    return std::make_unique<RawReader>(std::move(read));
}

} // namespace replay
