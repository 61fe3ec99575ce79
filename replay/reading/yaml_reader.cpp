// libinput record files (YAML), read with libyaml's event interface: the reader keeps
// only the path from the top of the document to the node at hand, never the document.
#include "replay/reading/open.h"
#include "replay/reading/text.h"

#include <yaml.h>

#include <algorithm>
#include <cstring>

namespace replay {

namespace {

// What a node of the document is, known from where it stands.
enum class Role {
    Document, // the top-level mapping
    Version,
    Devices,
    Device,
    Evdev,
    Name,
    Codes,
    CodeList,
    Code,
    Events,
    Frame,
    FrameRows,
    Row,
    RowValue,
    Other, // anything the replay does not need, with everything inside it
};

struct Node {
    Role Kind;
    bool IsMap = false;
    bool KeyNext = true;          // a mapping waits for a key (else for the key's value)
    Role ValueKind = Role::Other; // the role of the value of the current key
    int CodeType = -1;            // Codes: the event type of the current key
    int Count = 0;                // items seen (rows: values)
};

const size_t DEEPEST = 64;
// Bytes read without the parser handing out an item: a name, value or comment this long
// is no recording, and the parser would hold all of it.
const uint64_t LONGEST_ITEM = 1 << 20;

// A value of the file for a message: at most 40 characters of it.
std::string Shown(const char *text, size_t length) {
    return length > 40 ? std::string(text, 40) + "..." : std::string(text, length);
}

bool Is(const yaml_event_t &event, const char *text) {
    size_t length = strlen(text);
    return event.data.scalar.length == length && memcmp(event.data.scalar.value, text, length) == 0;
}

class YamlReader : public EventReader {
  public:
    YamlReader(ByteSource &source, int wantedDevice) : Source(source), Wanted(wantedDevice) {
        if (!yaml_parser_initialize(&Parser)) {
            throw RecordingError(0, "the YAML parser could not start");
        }
        yaml_parser_set_input(&Parser, &YamlReader::ReadHandler, this);
    }
    ~YamlReader() override { yaml_parser_delete(&Parser); }
    YamlReader(const YamlReader &) = delete;
    YamlReader &operator=(const YamlReader &) = delete;

    bool Next(RecordedEvent &event) override {
        while (!Finished) {
            yaml_event_t parsed;
            if (!yaml_parser_parse(&Parser, &parsed)) {
                ParserFailed();
                return false;
            }
            ItemStart = Source.BytesRead();
            Line = FileLine(parsed.start_mark);
            bool rowDone = false;
            try {
                rowDone = Handle(parsed, event);
            } catch (...) {
                yaml_event_delete(&parsed);
                throw;
            }
            yaml_event_delete(&parsed);
            if (rowDone) {
                return true;
            }
        }
        return false;
    }

    const DeviceInfo &Device() const override { return Chosen; }
    long LastLine() const override { return Line; }
    bool CutLine() const override { return Cut; }

  private:
    static int ReadHandler(void *data, unsigned char *buffer, size_t size, size_t *read) {
        YamlReader *reader = (YamlReader *)data;
        if (reader->Source.BytesRead() - reader->ItemStart > LONGEST_ITEM) {
            reader->TooLong = true;
            return 0;
        }
        try {
            *read = reader->Source.Read((char *)buffer, size);
        } catch (const RecordingError &) {
            return 0;
        }
        return 1;
    }

    // The line of a mark; the parser places the end of the file on the line after the
    // last, which is the last line for a person.
    long FileLine(const yaml_mark_t &mark) const {
        return std::min((long)mark.line + 1, std::max(Source.LinesRead(), 1L));
    }

    // A fault on the last line of the file, found at its end, is where a recorder was
    // stopped: what came before is replayed. Anywhere else it is bad input.
    void ParserFailed() {
        if (TooLong) {
            throw RecordingError(Source.LinesRead(),
                                 "more than 1 MiB without a YAML item: a name, value or "
                                 "comment this long is no recording");
        }
        if (Source.AtEnd() && (long)Parser.problem_mark.line + 1 >= Source.LinesRead()) {
            Cut = true;
            Finish();
            return;
        }
        if (Parser.error == YAML_READER_ERROR && Parser.problem &&
            strstr(Parser.problem, "input error")) {
            throw RecordingError(0, "cannot be read");
        }
        long line = FileLine(Parser.problem_mark);
        std::string what = "not valid YAML: ";
        what += Parser.problem ? Parser.problem : "unknown problem";
        if (Parser.context) {
            what += std::string(" ") + Parser.context;
        }
        throw RecordingError(line, what);
    }

    [[noreturn]] void Fail(const std::string &what) const { throw RecordingError(Line, what); }

    // The role of a node that starts now, from its parent. A scalar key of a mapping
    // sets the role of the value that follows.
    Role RoleOfNew(const yaml_event_t &event) {
        if (Path.empty()) {
            return Role::Document;
        }
        Node &parent = Path.back();
        if (parent.Kind == Role::Other) {
            return Role::Other;
        }
        if (parent.IsMap) {
            if (parent.KeyNext) {
                parent.KeyNext = false;
                parent.ValueKind =
                    event.type == YAML_SCALAR_EVENT ? ValueRole(parent, event) : Role::Other;
                return Role::Other; // the key itself
            }
            parent.KeyNext = true;
            return parent.ValueKind;
        }
        ++parent.Count;
        switch (parent.Kind) {
        case Role::Devices:
            return Role::Device;
        case Role::CodeList:
            return Role::Code;
        case Role::Events:
            return Role::Frame;
        case Role::FrameRows:
            return Role::Row;
        case Role::Row:
            return Role::RowValue;
        default:
            return Role::Other;
        }
    }

    Role ValueRole(Node &map, const yaml_event_t &key) {
        switch (map.Kind) {
        case Role::Document:
            return Is(key, "version")   ? Role::Version
                   : Is(key, "devices") ? Role::Devices
                                        : Role::Other;
        case Role::Device:
            return Is(key, "evdev") ? Role::Evdev : Is(key, "events") ? Role::Events : Role::Other;
        case Role::Evdev:
            return Is(key, "name") ? Role::Name : Is(key, "codes") ? Role::Codes : Role::Other;
        case Role::Codes: {
            int64_t type;
            map.CodeType = ParseDecimal((const char *)key.data.scalar.value, key.data.scalar.length,
                                        0, 0x1f, type)
                               ? (int)type
                               : -1;
            return Role::CodeList;
        }
        case Role::Frame:
            return Is(key, "evdev") ? Role::FrameRows : Role::Other;
        default:
            return Role::Other;
        }
    }

    void Open(Role kind, bool isMap) {
        if (Path.size() >= DEEPEST) {
            Fail("the document is nested deeper than 64 levels");
        }
        if (kind == Role::Events) {
            kind = ChooseDevice() ? Role::Events : Role::Other;
        }
        bool wantsMap = kind == Role::Document || kind == Role::Device || kind == Role::Evdev ||
                        kind == Role::Codes || kind == Role::Frame;
        bool wantsList = kind == Role::Devices || kind == Role::CodeList || kind == Role::Events ||
                         kind == Role::FrameRows || kind == Role::Row;
        if ((wantsMap && !isMap) || (wantsList && isMap) || kind == Role::Version ||
            kind == Role::Name || kind == Role::Code || kind == Role::RowValue) {
            Fail(Expected(kind));
        }
        if (kind == Role::Device) {
            Current = DeviceInfo{};
            Current.Number = ++DeviceCount;
            DeviceHadEvents = false;
        }
        Node node{kind};
        node.IsMap = isMap;
        Path.push_back(node);
    }

    static std::string Expected(Role kind) {
        switch (kind) {
        case Role::Document:
            return "this is no libinput recording: its top level must be a mapping";
        case Role::Version:
            return "version must be a number";
        case Role::Devices:
            return "devices must be a list";
        case Role::Device:
            return "each item of devices must be a mapping";
        case Role::Evdev:
            return "evdev of a device must be a mapping";
        case Role::Name:
            return "the device name must be a text";
        case Role::Codes:
            return "codes must map event types to lists of codes";
        case Role::CodeList:
            return "each event type of codes must have a list of codes";
        case Role::Code:
            return "a code must be a number";
        case Role::Events:
            return "events must be a list of frames";
        case Role::Frame:
            return "each item of events must be a mapping";
        case Role::FrameRows:
            return "evdev of a frame must be a list of rows";
        case Role::Row:
            return "each evdev row must be a list [sec, usec, type, code, value]";
        case Role::RowValue:
            return "the values of an evdev row must be numbers";
        default:
            return "unexpected content";
        }
    }

    bool ChooseDevice() {
        DeviceHadEvents = true;
        bool mouse = Current.HasLeftButton && Current.HasRelX;
        if (Wanted > 0) {
            if (Current.Number != Wanted) {
                return false;
            }
            if (Current.CodesKnown && !mouse) {
                Fail("device " + std::to_string(Wanted) + " \"" + Current.Name +
                     "\" has no BTN_LEFT and REL_X: this is no recording of a mouse");
            }
        } else if (Found || !MayBeMouse()) {
            return false;
        }
        Found = true;
        Chosen = Current;
        return true;
    }

    // Returns true when it completes a row: a row is an event only once it is closed.
    bool Close(RecordedEvent &out) {
        Node node = Path.back();
        Path.pop_back();
        if (node.Kind == Role::Device && !DeviceHadEvents && !Found &&
            (Wanted == Current.Number || (Wanted == 0 && MayBeMouse()))) {
            Eventless = Current;
        }
        if (node.Kind != Role::Row) {
            return false;
        }
        if (node.Count != 5) {
            Fail("an evdev row must hold 5 values [sec, usec, type, code, value], not " +
                 std::to_string(node.Count));
        }
        out.Micros = Row[0] * 1000000 + Row[1];
        out.Type = (int)Row[2];
        out.Code = (int)Row[3];
        out.Value = (int)Row[4];
        out.Line = RowLine;
        return true;
    }

    // A device whose codes show a mouse, or whose file does not list its codes.
    bool MayBeMouse() const {
        return !Current.CodesKnown || (Current.HasLeftButton && Current.HasRelX);
    }

    // A scalar whose role is known.
    void Scalar(Role kind, const yaml_event_t &event) {
        const char *text = (const char *)event.data.scalar.value;
        size_t length = event.data.scalar.length;
        int64_t value;
        switch (kind) {
        case Role::Version:
            if (!Is(event, "1")) {
                Fail("format version " + Shown(text, length) +
                     " is not known; this tool reads version 1");
            }
            return;
        case Role::Name:
            Current.Name.assign(text, length);
            return;
        case Role::Code: {
            const Node &codes = Path[Path.size() - 2];
            if (!ParseDecimal(text, length, 0, 0x2ff, value)) {
                Fail("a code must be a number from 0 to 767");
            }
            Current.CodesKnown = true;
            Button button = ButtonOfCode((int)value);
            if (codes.CodeType == EV_KEY_TYPE && button < BUTTON_KINDS) {
                Current.HasButton[button] = true;
                Current.HasLeftButton = Current.HasLeftButton || value == BTN_LEFT_CODE;
            }
            if (codes.CodeType == EV_REL_TYPE && value == REL_X_CODE) {
                Current.HasRelX = true;
            }
            return;
        }
        case Role::RowValue:
            RowValue(text, length);
            return;
        case Role::Other:
            return;
        default:
            // "  - evdev:" with nothing after it: the recorder was stopped there.
            if (length == 0 && Source.AtEnd() && Line >= Source.LinesRead()) {
                Cut = true;
                Finish();
                return;
            }
            Fail(Expected(kind));
        }
    }

    void RowValue(const char *text, size_t length) {
        static const int64_t LOW[5] = {0, 0, 0, 0, INT32_MIN};
        static const int64_t HIGH[5] = {(int64_t)1 << 40, 999999, 0x1f, 0x2ff, INT32_MAX};
        static const char *const NAMES[5] = {"sec", "usec", "type", "code", "value"};
        int index = Path.back().Count - 1;
        int64_t value;
        if (index > 4) {
            return; // reported when the row closes
        }
        if (!ParseDecimal(text, length, LOW[index], HIGH[index], value)) {
            Fail(std::string("the ") + NAMES[index] + " of an evdev row must be a number from " +
                 std::to_string(LOW[index]) + " to " + std::to_string(HIGH[index]) + ", not \"" +
                 Shown(text, length) + "\"");
        }
        Row[index] = value;
        RowLine = index == 0 ? Line : RowLine;
        return;
    }

    bool Handle(const yaml_event_t &event, RecordedEvent &out) {
        switch (event.type) {
        case YAML_SCALAR_EVENT:
        case YAML_ALIAS_EVENT: {
            Role kind = RoleOfNew(event);
            if (event.type == YAML_ALIAS_EVENT) {
                if (kind != Role::Other) {
                    Fail(Expected(kind));
                }
                return false;
            }
            Scalar(kind, event);
            return false;
        }
        case YAML_SEQUENCE_START_EVENT:
            Open(RoleOfNew(event), false);
            return false;
        case YAML_MAPPING_START_EVENT:
            Open(RoleOfNew(event), true);
            return false;
        case YAML_SEQUENCE_END_EVENT:
        case YAML_MAPPING_END_EVENT:
            return Close(out);
        case YAML_DOCUMENT_END_EVENT:
        case YAML_STREAM_END_EVENT:
            Finish();
            return false;
        default:
            return false;
        }
    }

    void Finish() {
        Finished = true;
        if (!Found && Eventless.Number > 0) {
            Fail("device " + std::to_string(Eventless.Number) + " \"" + Eventless.Name +
                 "\" has no events: the recording holds none of it");
        }
        if (!Found) {
            if (Wanted > 0) {
                Fail("--device " + std::to_string(Wanted) + ": the recording holds " +
                     std::to_string(DeviceCount) + " device(s)");
            }
            Fail(DeviceCount == 0 ? "the recording holds no devices"
                                  : "no device of the recording has BTN_LEFT and REL_X: this is "
                                    "no recording of a mouse");
        }
        Chosen.DeviceCount = DeviceCount;
    }

    ByteSource &Source;
    int Wanted;
    yaml_parser_t Parser;
    std::vector<Node> Path;
    DeviceInfo Current, Chosen;
    int DeviceCount = 0;
    bool Found = false, Finished = false, Cut = false, TooLong = false;
    bool DeviceHadEvents = false;
    DeviceInfo Eventless; // a device that could be the one wanted, without events
    uint64_t ItemStart = 0;
    long Line = 0, RowLine = 0;
    int64_t Row[5] = {};
};

} // namespace

std::unique_ptr<EventReader> OpenYamlReader(ByteSource &source, int wantedDevice) {
    return std::make_unique<YamlReader>(source, wantedDevice);
}

} // namespace replay
