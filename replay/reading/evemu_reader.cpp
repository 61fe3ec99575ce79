// evemu-record files: an optional header (name, supported codes) and one `E:` line per
// event, read line by line.
#include "replay/reading/open.h"
#include "replay/reading/text.h"

#include <cstring>
#include <string_view>

namespace replay {

namespace {

const size_t LONGEST_LINE = 65536;

// Lines of the source without their line end (LF or CR LF). A line that lies whole in the
// buffer is handed out where it lies; one split between two reads is put together first.
class LineReader {
  public:
    explicit LineReader(ByteSource &source) : Source(source) {}

    // The line stays valid until the next call.
    bool Next(std::string_view &line) {
        Joined.clear();
        bool joined = false, ended = false;
        for (;;) {
            if (Used == Filled) {
                Filled = Source.Read(Buffer, sizeof Buffer);
                Used = 0;
                if (Filled == 0) {
                    if (!joined) {
                        return false;
                    }
                    break; // a last line without a line feed
                }
            }
            const char *start = Buffer + Used;
            const char *end = (const char *)memchr(start, '\n', Filled - Used);
            size_t count = end ? (size_t)(end - start) : Filled - Used;
            if (Joined.size() + count > LONGEST_LINE) {
                throw RecordingError(Number + 1, "the line is longer than 65536 characters");
            }
            Used += count + (end ? 1 : 0);
            if (end && !joined) {
                line = std::string_view(start, count);
                ended = true;
                break;
            }
            Joined.append(start, count);
            joined = true;
            if (end) {
                ended = true;
                break;
            }
        }
        if (joined) {
            line = Joined;
        }
        LastOpen = !ended;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ++Number;
        return true;
    }
    long Number = 0;
    bool LastOpen = false; // the line handed out last ended without a line feed

  private:
    ByteSource &Source;
    char Buffer[65536] = {};
    size_t Used = 0, Filled = 0;
    std::string Joined;
};

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int HexValue(char c) {
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// The value of a hexadecimal digit; 16 for any other character.
struct HexTable {
    unsigned char Value[256];
    HexTable() {
        for (int i = 0; i < 256; ++i) {
            Value[i] = IsHex((char)i) ? (unsigned char)HexValue((char)i) : 16;
        }
    }
};
const HexTable HexDigits;

int HexDigit(char c) {
    return HexDigits.Value[(unsigned char)c];
}

// A hexadecimal field of at most eight digits starting at text[at], ending at a blank or
// the end of the line; at moves past it.
bool ParseHex(std::string_view text, size_t &at, long &value) {
    size_t start = at;
    value = 0;
    while (at < text.size() && IsHex(text[at]) && at - start < 8) {
        value = value * 16 + HexValue(text[at]);
        ++at;
    }
    return at > start && (at == text.size() || text[at] == ' ' || text[at] == '\t');
}

// Where the run of decimal digits from text[at] ends.
size_t Digits(std::string_view text, size_t at) {
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        ++at;
    }
    return at;
}

bool SkipBlanks(std::string_view text, size_t &at) {
    size_t start = at;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
    return at > start;
}

class EvemuReader : public EventReader {
  public:
    EvemuReader(ByteSource &source, int wantedDevice) : Lines(source) {
        source.CountNoLines();
        if (wantedDevice > 1) {
            throw RecordingError(0, "--device " + std::to_string(wantedDevice) +
                                        ": an evemu recording holds one device only");
        }
        Info.Number = 1;
        Info.DeviceCount = 1;
    }

    bool Next(RecordedEvent &event) override {
        while (Lines.Next(Text)) {
            if (Text.compare(0, 2, "E:") == 0) {
                if (!HeaderChecked) {
                    CheckDevice();
                }
                // A recorder stopped mid-line leaves a last line without its line feed.
                if (Lines.LastOpen) {
                    Cut = true;
                    return false;
                }
                if (!ParseUsualEvent(event)) {
                    ParseEvent(event);
                }
                return true;
            }
            if (!HeaderChecked) {
                ReadHeaderLine();
            }
        }
        if (!HeaderChecked) {
            CheckDevice();
        }
        return false;
    }

    const DeviceInfo &Device() const override { return Info; }
    long LastLine() const override { return Lines.Number; }
    bool CutLine() const override { return Cut; }

  private:
    [[noreturn]] void Fail(const std::string &what) const {
        throw RecordingError(Lines.Number, what);
    }

    void ReadHeaderLine() {
        if (Text.compare(0, 3, "N: ") == 0) {
            Info.Name = std::string(Text.substr(3));
        } else if (Text.compare(0, 3, "B: ") == 0) {
            ReadCodeMask();
        }
    }

    // "B: tt b0 b1 ... b7": eight bytes of the bit mask of event type tt; the lines of
    // one type follow each other, eight bytes further each.
    void ReadCodeMask() {
        size_t at = 3;
        long type, byte;
        if (!ParseHex(Text, at, type) || type > 0x1f) {
            Fail("a B: line must start with an event type in hexadecimal");
        }
        int index = MaskLines[type]++;
        for (int i = 0; i < 8 && SkipBlanks(Text, at); ++i) {
            if (!ParseHex(Text, at, byte) || byte > 0xff) {
                Fail("a B: line must hold bytes in hexadecimal");
            }
            int firstCode = (index * 8 + i) * 8;
            if (type == EV_KEY_TYPE && firstCode == BTN_LEFT_CODE) {
                Info.HasLeftButton = byte & 1;
                for (int bit = 0; bit <= BTN_BACK_CODE - BTN_LEFT_CODE; ++bit) {
                    Info.HasButton[ButtonOfCode(BTN_LEFT_CODE + bit)] = (byte >> bit) & 1;
                }
            }
            if (type == EV_REL_TYPE && firstCode == 0) {
                Info.HasRelX = byte & 1;
            }
        }
        Info.CodesKnown = true;
    }

    void CheckDevice() {
        HeaderChecked = true;
        if (Info.CodesKnown && !(Info.HasLeftButton && Info.HasRelX)) {
            Fail("the device \"" + Info.Name +
                 "\" has no BTN_LEFT and REL_X: this is no recording of a mouse");
        }
    }

    void Set(RecordedEvent &event, int64_t seconds, int64_t micros, long type, long code,
             int64_t value) const {
        event.Micros = seconds * 1000000 + micros;
        event.Type = (int)type;
        event.Code = (int)code;
        event.Value = (int)value;
        event.Line = Lines.Number;
    }

    // The line as evemu-record writes it, "E: <sec>.<usec> <type> <code> <value>" with one
    // space between the fields, each in range, in one pass; false for any other line, which
    // ParseEvent reads (or tells what is wrong with it).
    bool ParseUsualEvent(RecordedEvent &event) const {
        const char *at = Text.data() + 2, *end = Text.data() + Text.size();
        auto digit = [&](unsigned &value) {
            value = at < end ? (unsigned)(*at - '0') : 10;
            return value < 10;
        };
        // Four hexadecimal digits and a space, as the recorder writes type and code.
        auto hex = [&](long &value) {
            if (end - at < 5 || at[4] != ' ') {
                return false;
            }
            int a = HexDigit(at[0]), b = HexDigit(at[1]), c = HexDigit(at[2]), d = HexDigit(at[3]);
            value = a << 12 | b << 8 | c << 4 | d;
            at += 5;
            return (a | b | c | d) < 16;
        };
        if (at == end || *at++ != ' ') {
            return false;
        }
        int64_t seconds = 0, micros = 0, value = 0;
        unsigned d;
        const char *start = at;
        for (; digit(d) && at - start < 13; ++at) {
            seconds = seconds * 10 + d;
        }
        if (at == start || seconds > (int64_t)1 << 40 || at == end || *at++ != '.') {
            return false;
        }
        for (int i = 0; i < 6; ++i, ++at) {
            if (!digit(d)) {
                return false;
            }
            micros = micros * 10 + d;
        }
        long type, code;
        if (at == end || *at++ != ' ' || !hex(type) || type > 0x1f || !hex(code) || code > 0x2ff) {
            return false;
        }
        bool negative = at < end && *at == '-';
        at += negative;
        start = at;
        for (; digit(d) && at - start < 10; ++at) {
            value = value * 10 + d;
        }
        value = negative ? -value : value;
        if (at == start || value < INT32_MIN || value > INT32_MAX) {
            return false;
        }
        while (at < end && (*at == ' ' || *at == '\t')) {
            ++at;
        }
        if (at < end && (*at != '#' || (at[-1] != ' ' && at[-1] != '\t'))) {
            return false;
        }
        Set(event, seconds, micros, type, code, value);
        return true;
    }

    // "E: <sec>.<usec> <type> <code> <value>", then maybe blanks and a comment.
    void ParseEvent(RecordedEvent &event) {
        size_t at = 2;
        SkipBlanks(Text, at);
        size_t dot = Digits(Text, at);
        int64_t seconds, micros, value;
        if (dot == at || dot == Text.size() || Text[dot] != '.') {
            Fail("an E: line must start with the time as <seconds>.<microseconds>");
        }
        if (!ParseDecimal(Text.data() + at, dot - at, 0, (int64_t)1 << 40, seconds)) {
            Fail("the seconds of an E: line are out of range: at most 1099511627776 (2^40)");
        }
        at = dot + 1;
        size_t digits = Digits(Text, at);
        if (digits - at != 6 || !ParseDecimal(Text.data() + at, 6, 0, 999999, micros)) {
            Fail("the microseconds of an E: line must be six digits");
        }
        at = digits;
        long type, code;
        if (!SkipBlanks(Text, at) || !ParseHex(Text, at, type) || type > 0x1f) {
            Fail("the event type of an E: line must be hexadecimal, 0000 to 001f");
        }
        if (!SkipBlanks(Text, at) || !ParseHex(Text, at, code) || code > 0x2ff) {
            Fail("the event code of an E: line must be hexadecimal, 0000 to 02ff");
        }
        size_t start = at;
        if (SkipBlanks(Text, start)) {
            at = start;
            while (at < Text.size() && Text[at] != ' ' && Text[at] != '\t') {
                ++at;
            }
        }
        if (start == at ||
            !ParseDecimal(Text.data() + start, at - start, INT32_MIN, INT32_MAX, value)) {
            Fail("the value of an E: line must be a whole number from -2147483648 to 2147483647");
        }
        SkipBlanks(Text, at);
        if (at < Text.size() && Text[at] != '#') {
            Fail("an E: line holds more than time, type, code and value");
        }
        Set(event, seconds, micros, type, code, value);
    }

    LineReader Lines;
    std::string_view Text;
    DeviceInfo Info;
    int MaskLines[0x20] = {};
    bool HeaderChecked = false;
    bool Cut = false;
};

} // namespace

std::unique_ptr<EventReader> OpenEvemuReader(ByteSource &source, int wantedDevice) {
    return std::make_unique<EvemuReader>(source, wantedDevice);
}

} // namespace replay
