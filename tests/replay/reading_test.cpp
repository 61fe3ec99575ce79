// The reading layer on its own, linked without the program, the stand-in, libevdev or
// libpng, reading from memory: a recording's buttons come out in one numbering whichever format
// lists them.
#include <gtest/gtest.h>

#include "replay/reading/frames.h"
#include "replay/reading/open.h"

#include <cstdio>
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
