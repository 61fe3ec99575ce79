// The reading layer on its own, linked without the program, the stand-in, libevdev or
// libpng, reading from memory: a recording's buttons come out in one numbering whichever format
// lists them.
#include <gtest/gtest.h>

#include "replay/reading/frames.h"
#include "replay/reading/open.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const replay::Button ORDER[] = {replay::BUTTON_LEFT, replay::BUTTON_MIDDLE, replay::BUTTON_RIGHT,
                                replay::BUTTON_SIDE, replay::BUTTON_EXTRA,  replay::BUTTON_FORWARD,
                                replay::BUTTON_BACK};
const char *const NAMES[] = {"left", "middle", "right", "side", "extra", "forward", "back"};

std::string NameOf(replay::Button button) {
    for (int i = 0; i < 7; ++i) {
        if (ORDER[i] == button) {
            return NAMES[i];
        }
    }
    return "none";
}

// The device's buttons by name, as its codes list them.
std::string Listed(const replay::DeviceInfo &device) {
    std::string text;
    for (replay::Button button : ORDER) {
        if (device.HasButton[button]) {
            text += (text.empty() ? "" : " ") + NameOf(button);
        }
    }
    return text;
}

// An evemu-record file of a device whose BTN_LEFT byte is mask, pressing keyCode once.
std::string Evemu(int mask, int keyCode) {
    std::string text = "# EVEMU 1.3\nN: Example Mouse\nI: 0003 1234 5678 0001\n"
                       "B: 00 0b 00 00 00 00 00 00 00\n";
    for (int line = 0; line < 12; ++line) {
        char bytes[64];
        snprintf(bytes, sizeof bytes, "B: 01 00 00 %02x 00 00 00 00 00\n", line == 4 ? mask : 0);
        text += bytes;
    }
    char event[64];
    snprintf(event, sizeof event, "E: 0.000000 0001 %04x 0001\n", keyCode);
    return text + "B: 02 43 19 00 00 00 00 00 00\n" + event + "E: 0.000000 0000 0000 0000\n";
}

// A libinput record file of a device with the key codes listed, pressing keyCode once.
std::string Yaml(const std::string &keyCodes, int keyCode) {
    return "version: 1\nndevices: 1\ndevices:\n- node: /dev/input/event5\n  evdev:\n"
           "    name: \"Example Mouse\"\n    codes:\n      0: [0]\n      1: [" +
           keyCodes + "]\n      2: [0, 1]\n  events:\n  - evdev:\n    - [0, 0, 1, " +
           std::to_string(keyCode) + ", 1]\n    - [0, 0, 0, 0, 0]\n";
}

struct Case {
    const char *Name;
    std::string Recording;
    std::string Buttons; // the device's, by name
    std::string Pressed; // the button of the one press, by name
};

TEST(ReplayReading, EveryFormatListsTheButtonsInOneNumbering) {
    const Case cases[] = {
        {"evemu: left, right, side", Evemu(0x0b, 0x112), "left right side", "middle"},
        {"evemu: left, middle, back", Evemu(0x45, 0x111), "left middle back", "right"},
        {"evemu: all seven, and the code after them", Evemu(0xff, 0x116),
         "left middle right side extra forward back", "back"},
        {"yaml: left, right, side", Yaml("272, 273, 275", 0x112), "left right side", "middle"},
        {"yaml: left, middle, back", Yaml("272, 274, 278, 279", 0x111), "left middle back",
         "right"},
        {"yaml: codes around the buttons", Yaml("271, 272, 277, 280", 0x113), "left forward",
         "side"},
    };
    for (const Case &test : cases) {
        std::string bytes = test.Recording;
        FILE *file = fmemopen(bytes.data(), bytes.size(), "rb");
        ASSERT_NE(file, nullptr);
        replay::ByteSource source(file);
        std::unique_ptr<replay::EventReader> events = replay::OpenRecording(source, {});
        replay::FrameReader frames(*events);
        replay::Frame frame;
        ASSERT_TRUE(frames.Next(frame)) << test.Name;
        fclose(file);
        EXPECT_EQ(Listed(frames.Device()), test.Buttons) << test.Name;
        ASSERT_EQ(frame.Buttons.size(), 1u) << test.Name;
        EXPECT_EQ(NameOf(frame.Buttons[0].Which), test.Pressed) << test.Name;
    }
}

} // namespace

namespace {

// A libinput record file as the tool writes it: comments, the device's description, frames
// with the libinput events written beside them.
const char RECORDED[] =
    "# libinput record\n"
    "version: 1\n"
    "ndevices: 1\n"
    "libinput:\n"
    "  version: \"1.22.1\"\n"
    "  git: \"unknown\"\n"
    "system:\n"
    "  os: \"debian:12\"\n"
    "  kernel: \"6.1.0-18-amd64\"\n"
    "  dmi: \"dmi:bvnExample:bvr1.0:svnExample:pnBox:\"\n"
    "devices:\n"
    "- node: /dev/input/event5\n"
    "  evdev:\n"
    "    # Name: Example USB Optical Mouse\n"
    "    # ID: bus 0x3 vendor 0x46d product 0xc077 version 0x111\n"
    "    # Supported Events:\n"
    "    # Event type 1 (EV_KEY)\n"
    "    #   Event code 272 (BTN_LEFT)\n"
    "    # Properties:\n"
    "    name: \"Example USB Optical Mouse\"\n"
    "    id: [3, 1133, 49271, 273]\n"
    "    codes:\n"
    "      0: [0, 1, 2, 3, 4] # EV_SYN\n"
    "      1: [272, 273, 274] # EV_KEY\n"
    "      2: [0, 1, 8, 11] # EV_REL\n"
    "      4: [4] # EV_MSC\n"
    "    properties: []\n"
    "  hid: [5, 1, 9, 2, 161, 1]\n"
    "  udev:\n"
    "    properties:\n"
    "    - ID_INPUT=1\n"
    "    - ID_INPUT_MOUSE=1\n"
    "  quirks:\n"
    "  events:\n"
    "  # Current time is 12:31:56\n"
    "  - evdev:\n"
    "    - [  0,      0,   4,   4,      30] # EV_MSC / MSC_SCAN             30\n"
    "    - [  0,      0,   1, 272,       1] # EV_KEY / BTN_LEFT              1\n"
    "    - [  0,      0,   0,   0,       0] # ------------ SYN_REPORT (0) ---------- +0ms\n"
    "    libinput:\n"
    "    - {time: 0.000000, type: POINTER_BUTTON, button: 272, state: 1, seat_count: 1}\n"
    "  - evdev:\n"
    "    - [  0,  90012,   4,   4,      30] # EV_MSC / MSC_SCAN             30\n"
    "    - [  0,  90012,   1, 272,       0] # EV_KEY / BTN_LEFT              0\n"
    "    - [  0,  90012,   0,   0,       0] # ------------ SYN_REPORT (0) ---------- +90ms\n"
    "  - evdev:\n"
    "    - [  0, 120000,   2,   0,       3] # EV_REL / REL_X                 3\n"
    "    - [  0, 120000,   2,   1,      -1] # EV_REL / REL_Y                -1\n"
    "    - [  0, 120000,   0,   0,       0] # ------------ SYN_REPORT (0) ---------- +30ms\n"
    "    libinput:\n"
    "    - {time: 0.120000, type: POINTER_MOTION, delta: [  3.00, -1.00]}\n"
    "  # Current time is 12:31:57\n"
    "  - evdev:\n"
    "    - [  1,      5,   2,   8,      -1] # EV_REL / REL_WHEEL            -1\n"
    "    - [  1,      5,   2,  11,    -120] # EV_REL / REL_WHEEL_HI_RES   -120\n"
    "    - [  1,      5,   0,   0,       0] # ------------ SYN_REPORT (0) ---------- +880ms\n";

struct Reading {
    std::vector<long> Values; // the value of every event read, in order
    std::string Error;        // "" when the file was read to its end
    bool NoteOfACut = false;  // an incomplete frame or line was left out, and said so
};

Reading ReadCut(const std::string &bytes) {
    Reading reading;
    std::string copy = bytes;
    FILE *file = fmemopen(copy.data(), copy.size(), "rb");
    if (!file) {
        reading.Error = "fmemopen";
        return reading;
    }
    try {
        replay::ByteSource source(file);
        std::unique_ptr<replay::EventReader> events = replay::OpenRecording(source, {});
        replay::RecordedEvent event;
        long pending = 0;
        while (events->Next(event)) {
            reading.Values.push_back(event.Value * 1000 + event.Code);
            pending = event.Type == 0 && event.Code == 0 ? 0 : pending + 1;
        }
        reading.NoteOfACut = pending > 0 || events->CutLine();
    } catch (const replay::RecordingError &error) {
        reading.Error = std::to_string(error.Line) + ": " + error.what();
    }
    fclose(file);
    return reading;
}

} // namespace

// A recording stopped at any byte after its first complete event is read up to there:
// every row closed before the cut, none after it, and a cut inside a frame or a line is told.
TEST(ReplayReading, AYamlRecordingCutAtAnyByteIsReadUpToTheCut) {
    const std::string whole = RECORDED;
    const std::vector<long> all = {30004, 1272, 0, 30004, 272, 0, 3000, -999, 0, -992, -119989, 0};
    Reading full = ReadCut(whole);
    ASSERT_EQ(full.Error, "");
    ASSERT_EQ(full.Values, all);
    EXPECT_FALSE(full.NoteOfACut);
    size_t firstEvent = whole.find("30] #") + 3;
    int refused = 0;
    for (size_t cut = firstEvent; cut < whole.size(); ++cut) {
        std::string bytes = whole.substr(0, cut);
        // Rows whose closing bracket is before the cut; the cut inside an open row.
        size_t rows = 0, open = 0;
        for (size_t at = bytes.find("    - ["); at != std::string::npos;
             at = bytes.find("    - [", at + 1)) {
            size_t close = bytes.find(']', at);
            (close == std::string::npos ? open : rows) += 1;
        }
        Reading reading = ReadCut(bytes);
        if (!reading.Error.empty()) {
            ADD_FAILURE() << "cut at byte " << cut << " refused: " << reading.Error;
            if (++refused > 5) {
                break;
            }
            continue;
        }
        std::vector<long> expected(all.begin(), all.begin() + (std::ptrdiff_t)rows);
        EXPECT_EQ(reading.Values, expected) << "cut at byte " << cut;
        bool insideAFrame = rows % 3 != 0 || open > 0;
        if (insideAFrame) {
            EXPECT_TRUE(reading.NoteOfACut) << "cut at byte " << cut;
        }
    }
}

// An evemu-record file is read in blocks of 64 KiB: a line split between two blocks, at any
// of its bytes, with LF or CR LF line ends, is read as one line, and a last line without its
// line feed is told as cut.
TEST(ReplayReading, EvemuLinesSplitBetweenBlocksAreReadWhole) {
    for (const char *end : {"\n", "\r\n"}) {
        for (int pad = 0; pad < 30; ++pad) {
            std::string text = "# EVEMU 1.3\n# " + std::string((size_t)pad, 'x') + end;
            std::vector<long> expected;
            for (int i = 0; i < 3000; ++i) {
                char line[80];
                snprintf(line, sizeof line, "E: 0.%06d 0002 0000 %d%sE: 0.%06d 0000 0000 0000%s", i,
                         i + 100, end, i, end);
                text += line;
                expected.push_back((i + 100) * 1000L);
                expected.push_back(0);
            }
            ASSERT_GT(text.size(), 65536u * 2);
            Reading whole = ReadCut(text);
            ASSERT_EQ(whole.Error, "") << "pad " << pad;
            EXPECT_EQ(whole.Values, expected) << "pad " << pad;
            EXPECT_FALSE(whole.NoteOfACut) << "pad " << pad;

            // The file stops in the middle of the value of the last event: it is left out.
            Reading cut = ReadCut(text.substr(0, text.size() - std::strlen(end) - 2));
            ASSERT_EQ(cut.Error, "") << "pad " << pad;
            expected.pop_back();
            EXPECT_EQ(cut.Values, expected) << "pad " << pad;
            EXPECT_TRUE(cut.NoteOfACut) << "pad " << pad;
        }
    }
}

// Every E: line is read alike, whether it has the recorder's own layout or not: its time,
// type, code and value, or the message that tells what is wrong with it.
TEST(ReplayReading, EvemuEventLinesAreReadOrToldWhatIsWrong) {
    const struct {
        const char *Line;
        const char *Read; // "micros type code value", or the error with its line
    } rows[] = {
        {"E: 1700000000.000123 0002 0001 -003\t# event", "1700000000000123 2 1 -3"},
        {"E: 0.000001 0001 0110 0001", "1 1 272 1"},
        {"E: 12.500000 0001 011F 0001 # uppercase", "12500000 1 287 1"},
        {"E:  3.000000\t0002  0008   -1", "3000000 2 8 -1"},
        {"E: 0.000000 02 0 7", "0 2 0 7"},
        {"E: 1.000000 00000002 00000001 2147483647", "1000000 2 1 2147483647"},
        {"E: 1.000000 0002 0001 -2147483648\t", "1000000 2 1 -2147483648"},
        {"E: 1099511627776.999999 0000 0000 0000", "1099511627776999999 0 0 0"},
        {"E: 1099511627777.000000 0000 0000 0000",
         "3: the seconds of an E: line are out of range: at most 1099511627776 (2^40)"},
        {"E: 1.00000 0002 0000 0001", "3: the microseconds of an E: line must be six digits"},
        {"E: 1.0000000 0002 0000 0001", "3: the microseconds of an E: line must be six digits"},
        {"E: 1 0002 0000 0001",
         "3: an E: line must start with the time as <seconds>.<microseconds>"},
        {"E: 1.000000 0020 0000 0001",
         "3: the event type of an E: line must be hexadecimal, 0000 to 001f"},
        {"E: 1.000000 000000002 0000 0001",
         "3: the event type of an E: line must be hexadecimal, 0000 to 001f"},
        {"E: 1.000000 0002 0300 0001",
         "3: the event code of an E: line must be hexadecimal, 0000 to 02ff"},
        {"E: 1.000000 0002 00g0 0001",
         "3: the event code of an E: line must be hexadecimal, 0000 to 02ff"},
        {"E: 1.000000 0002 0000 2147483648",
         "3: the value of an E: line must be a whole number from -2147483648 to 2147483647"},
        {"E: 1.000000 0002 0000 12345678901",
         "3: the value of an E: line must be a whole number from -2147483648 to 2147483647"},
        {"E: 1.000000 0002 0000 -",
         "3: the value of an E: line must be a whole number from -2147483648 to 2147483647"},
        {"E: 1.000000 0002 0000 3#",
         "3: the value of an E: line must be a whole number from -2147483648 to 2147483647"},
        {"E: 1.000000 0002 0000 3 4", "3: an E: line holds more than time, type, code and value"},
    };
    for (const auto &row : rows) {
        std::string text = std::string("# EVEMU 1.3\nN: Example Mouse\n") + row.Line + "\n";
        std::string copy = text;
        FILE *file = fmemopen(copy.data(), copy.size(), "rb");
        ASSERT_NE(file, nullptr);
        std::string read;
        try {
            replay::ByteSource source(file);
            std::unique_ptr<replay::EventReader> events = replay::OpenRecording(source, {});
            replay::RecordedEvent event;
            if (events->Next(event)) {
                read = std::to_string(event.Micros) + " " + std::to_string(event.Type) + " " +
                       std::to_string(event.Code) + " " + std::to_string(event.Value);
            }
        } catch (const replay::RecordingError &error) {
            read = std::to_string(error.Line) + ": " + error.what();
        }
        fclose(file);
        EXPECT_EQ(read, row.Read) << row.Line;
    }
}
