// Streams of the kernel's event records: as read from a device node, stored by
// `cat /dev/input/eventN > file`, or coming through a pipe.
#include "replay/reading/stream.h"

#include <algorithm>
#include <cstring>

namespace replay {

namespace {

// struct input_event of 64-bit Linux (two 64-bit time fields) and of 32-bit Linux (two
// 32-bit ones); type, code and value follow in both.
const size_t RECORD_64 = 24, RECORD_32 = 16;
// Bytes looked at to tell the two apart: two records of 64-bit Linux, three of 32-bit.
const size_t SIZE_SAMPLE = 48;

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
