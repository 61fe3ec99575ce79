// Streams of the kernel's event records: as read from a device node, stored by
// `cat /dev/input/eventN > file`, or coming through a pipe.
#include "replay/stream.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>

namespace replay {

namespace {

const size_t RECORD_SIZE = 24;

volatile sig_atomic_t StopSignal = 0;
std::chrono::steady_clock::time_point Deadline = std::chrono::steady_clock::time_point::max();

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
bool Plausible(const unsigned char *record) {
    uint64_t seconds = LittleEndian(record, 8), micros = LittleEndian(record + 8, 8);
    return seconds <= ((uint64_t)1 << 40) && micros <= 999999 &&
           LittleEndian(record + 16, 2) <= 0x1f && LittleEndian(record + 18, 2) <= 0x2ff;
}

class RawReader : public StreamReader {
  public:
    explicit RawReader(ReadBytes read) : Read(std::move(read)) {
        Info.Number = 1;
        Info.DeviceCount = 1;
    }

    bool Next(RecordedEvent &event) override {
        while (Filled - Used < RECORD_SIZE) {
            if (Ended) {
                return false;
            }
            // Keep the partial record and fill up behind it.
            memmove(Buffer, Buffer + Used, Filled - Used);
            Filled -= Used;
            Used = 0;
            size_t count = Read((char *)Buffer + Filled, sizeof Buffer - Filled);
            if (count == 0) {
                Ended = true;
                Cut = Filled;
            }
            Filled += count;
        }
        Parse(Buffer + Used, event);
        Used += RECORD_SIZE;
        return true;
    }

    const DeviceInfo &Device() const override { return Info; }
    long LastLine() const override { return Records; }
    size_t CutBytes() const override { return Cut; }

  private:
    void Parse(const unsigned char *record, RecordedEvent &event) {
        ++Records;
        int64_t seconds = (int64_t)LittleEndian(record, 8);
        int64_t micros = (int64_t)LittleEndian(record + 8, 8);
        event.Type = (int)LittleEndian(record + 16, 2);
        event.Code = (int)LittleEndian(record + 18, 2);
        event.Value = (int32_t)(uint32_t)LittleEndian(record + 20, 4);
        event.Line = Records;
        if (!Plausible(record)) {
            throw RecordingError(Records, "record " + std::to_string(Records) +
                                              " is no input event of 64-bit Linux (24 bytes: "
                                              "time, type, code, value)");
        }
        event.Micros = seconds * 1000000 + micros;
    }

    ReadBytes Read;
    DeviceInfo Info;
    unsigned char Buffer[RECORD_SIZE * 512];
    size_t Used = 0, Filled = 0, Cut = 0;
    long Records = 0;
    bool Ended = false;
};

} // namespace

void CatchStopSignals(double seconds) {
    StopSignal = 0;
    Deadline = seconds > 0 ? std::chrono::steady_clock::now() +
                                 std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                     std::chrono::duration<double>(seconds))
                           : std::chrono::steady_clock::time_point::max();
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
            why = StreamEnd::Interrupted;
            return false;
        }
        auto now = std::chrono::steady_clock::now();
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
    const unsigned char *bytes = (const unsigned char *)head.data();
    bool report = false;
    for (size_t at = 0; at + RECORD_SIZE <= head.size(); at += RECORD_SIZE) {
        if (!Plausible(bytes + at)) {
            return false;
        }
        report = report || (LittleEndian(bytes + at + 16, 4) == 0);
    }
    return report;
}

std::unique_ptr<StreamReader> OpenRawReader(ReadBytes read) {
    return std::make_unique<RawReader>(std::move(read));
}

} // namespace replay
