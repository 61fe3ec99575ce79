// The one reader of the binary resource formats (.res files, menu, accelerator, dialog and
// icon resources, version blocks): little-endian values read from a span of bytes, never
// beyond its end. A read that would run past the end reads nothing, returns 0 (a text:
// what lay before the end) and leaves the reader failed for good, so that a parser checks
// Ok() once after a run of reads instead of the room before each one.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace headless::detail {

// Positions are offsets from the start of the whole data, so alignment is to that start.
inline size_t Align4(size_t pos) {
    return (pos + 3) & ~(size_t)3;
}

class ByteReader {
  public:
    // Reads data[pos, end); a start beyond the end makes a failed reader.
    ByteReader(const uint8_t *data, size_t end, size_t pos = 0)
        : Data(data), End(end), At(pos <= end ? pos : end), Good(pos <= end) {}
    explicit ByteReader(const std::vector<uint8_t> &data) : ByteReader(data.data(), data.size()) {}

    bool Ok() const { return Good; }
    size_t Pos() const { return At; }
    size_t Left() const { return End - At; }

    uint8_t U8() { return (uint8_t)Value(1); }
    uint16_t U16() { return (uint16_t)Value(2); }
    uint32_t U32() { return Value(4); }

    // The next count bytes, or null when fewer are left.
    const uint8_t *Bytes(size_t count) {
        if (!Good || count > Left()) {
            Fail();
            return nullptr;
        }
        const uint8_t *bytes = Data + At;
        At += count;
        return bytes;
    }
    void Skip(size_t count) { Bytes(count); }
    // A reader of the next count bytes alone; this one goes on behind them.
    ByteReader Part(size_t count) {
        size_t start = At;
        return Bytes(count) ? ByteReader(Data, start + count, start) : ByteReader(Data, 0, 1);
    }
    // Padding up to the next multiple of 4; padding that the data leaves out is no fault.
    void Align4() { At = std::min(End, headless::detail::Align4(At)); }

    // A resource name given by number: 0xFFFF and the ordinal. Reads nothing and returns
    // false when the next field is not one (a text, or too short to be either).
    bool Ordinal(uint16_t &ordinal) {
        if (!Good || Left() < 2 || Data[At] != 0xFF || Data[At + 1] != 0xFF) {
            return false;
        }
        At += 2;
        ordinal = U16();
        return true;
    }

    // A zero-terminated UTF-16 text as 8-bit text (code points above 255 become '?').
    // Without a terminator the text is every character up to the end, and the reader fails.
    std::string Utf16() {
        std::string text;
        for (uint16_t code = U16(); Good && code != 0; code = U16()) {
            text += code < 256 ? (char)code : '?';
        }
        return text;
    }

  private:
    uint32_t Value(size_t size) {
        const uint8_t *bytes = Bytes(size);
        uint32_t value = 0;
        for (size_t i = bytes ? size : 0; i > 0; --i) {
            value = value << 8 | bytes[i - 1];
        }
        return value;
    }
    void Fail() {
        Good = false;
        At = End;
    }

    const uint8_t *Data;
    size_t End;
    size_t At;
    bool Good;
};

} // namespace headless::detail
