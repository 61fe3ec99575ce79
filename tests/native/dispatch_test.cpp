// Keys, commands, resizing and paints of the main window.
#include <gtest/gtest.h>

#include "run_support.h"

#include "base/test_state.h"

#include <fstream>
#include <iterator>

using headless::AddStep;
using headless::AnswerBox;
using headless::TopBox;

namespace {

using Dispatch = run::StandardWorld;

// Presses the key and answers what it opens; returns the caption, "" when nothing.
void ExpectKeyOpens(UINT virtualKey, char character, const std::string &caption) {
    AddStep([=] { headless::QueueKey(virtualKey, character); });
    AddStep([=] {
        if (caption.empty()) {
            EXPECT_FALSE(headless::BoxOpen()) << character;
            return;
        }
        ASSERT_TRUE(headless::BoxOpen()) << character;
        EXPECT_EQ(TopBox().Caption, caption) << character;
        AnswerBox(IDCANCEL == 2 && TopBox().IsDialog ? IDCANCEL : IDOK);
    });
}

// One resource of the compiled .res: its type, its name ("#600" for a number), its data.
struct Resource {
    int Type;
    std::string Name;
    std::vector<unsigned char> Data;
};

unsigned Word(const std::vector<unsigned char> &bytes, size_t at) {
    return at + 1 < bytes.size() ? bytes[at] | bytes[at + 1] << 8 : 0;
}

// A number (0xFFFF, then the number) or a zero-ended UTF-16 text, as "#n" or the text.
std::string NameOrNumber(const std::vector<unsigned char> &bytes, size_t &at) {
    if (Word(bytes, at) == 0xFFFF) {
        at += 4;
        return "#" + std::to_string(Word(bytes, at - 2));
    }
    std::string text;
    for (; at < bytes.size() && Word(bytes, at) != 0; at += 2) {
        text += (char)bytes[at];
    }
    at += 2;
    return text;
}

std::vector<Resource> ProgramResources() {
    std::ifstream file(TAPTALLY_PROGRAM_RES, std::ios::binary);
    std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
    std::vector<Resource> resources;
    for (size_t at = 0; at + 8 <= bytes.size();) {
        size_t size = Word(bytes, at) | Word(bytes, at + 2) << 16;
        size_t header = Word(bytes, at + 4) | Word(bytes, at + 6) << 16;
        size_t name = at + 8;
        std::string type = NameOrNumber(bytes, name);
        Resource resource{atoi(type.c_str() + 1), NameOrNumber(bytes, name), {}};
        resource.Data.assign(bytes.begin() + (long)(at + header),
                             bytes.begin() + (long)std::min(bytes.size(), at + header + size));
        resources.push_back(resource);
        at = (at + header + size + 3) & ~(size_t)3;
    }
    return resources;
}

const Resource &Find(const std::vector<Resource> &resources, int type, const std::string &name) {
    for (const Resource &resource : resources) {
        if (resource.Type == type && resource.Name == name) {
            return resource;
        }
    }
    throw std::logic_error("no resource " + name);
}

// The ids of a dialog template's controls, in their order.
std::vector<unsigned> ControlIds(const Resource &dialog) {
    const std::vector<unsigned char> &d = dialog.Data;
    size_t at = 18;
    for (int i = 0; i < 3; ++i) {
        NameOrNumber(d, at); // menu, class, title; no font
    }
    std::vector<unsigned> ids;
    for (unsigned i = 0; i < Word(d, 8); ++i) {
        at = (at + 3) & ~(size_t)3;
        ids.push_back(Word(d, at + 16));
        at += 18;
        NameOrNumber(d, at); // class
        NameOrNumber(d, at); // text
        at += 2 + Word(d, at);
    }
    return ids;
}

} // namespace

TEST(Resources, HoldTheIdsOfCommandsControlsAndIcon) {
    const std::vector<Resource> resources = ProgramResources();
    // The menu: (text, command) of every entry, the pop-up without one.
    const Resource &menu = Find(resources, 4, "TAPTALLYMENU");
    std::vector<std::pair<std::string, unsigned>> entries;
    for (size_t at = 4; at < menu.Data.size();) {
        unsigned flags = Word(menu.Data, at);
        unsigned id = flags & MF_POPUP ? 0 : Word(menu.Data, at + 2);
        at += flags & MF_POPUP ? 2 : 4;
        entries.emplace_back(NameOrNumber(menu.Data, at), id);
    }
    EXPECT_EQ(entries, (std::vector<std::pair<std::string, unsigned>>{{"E&xit  ", 1},
                                                                      {"&Driver Info  ", 4},
                                                                      {"&Reset  ", 21},
                                                                      {"&Setup  ", 2},
                                                                      {"&Information  ", 3},
                                                                      {"&About  ", 0},
                                                                      {"&About TapTally  ", 18}}));
    // The accelerators: (key, command); F1 is the virtual key 0x70.
    const Resource &keys = Find(resources, 9, "ACCELTABLE");
    std::vector<std::pair<unsigned, unsigned>> accelerators;
    for (size_t at = 0; at + 8 <= keys.Data.size(); at += 8) {
        accelerators.emplace_back(Word(keys.Data, at + 2), Word(keys.Data, at + 4));
    }
    EXPECT_EQ(accelerators, (std::vector<std::pair<unsigned, unsigned>>{{'a', 18},
                                                                        {'A', 18},
                                                                        {'d', 4},
                                                                        {'D', 4},
                                                                        {'i', 3},
                                                                        {'I', 3},
                                                                        {'r', 5},
                                                                        {'R', 5},
                                                                        {'c', 5},
                                                                        {'C', 5},
                                                                        {'s', 2},
                                                                        {'S', 2},
                                                                        {'x', 1},
                                                                        {'X', 1},
                                                                        {0x70, 3}}));
    EXPECT_EQ(ControlIds(Find(resources, 5, "ENTERIT")), (std::vector<unsigned>{114, 116, 115}));
    EXPECT_EQ(ControlIds(Find(resources, 5, "DTLINFO")), (std::vector<unsigned>{118, 115, 119}));
    EXPECT_NO_THROW(Find(resources, 14, "#600")); // the icon group
}

TEST_F(Dispatch, CommandNumbersRunWhatTheyName) {
    const struct {
        WPARAM Command;
        LPARAM Param;
        const char *Opens;
    } commands[] = {
        {2, 0, "Change the 'Least' Trigger Value"},
        {3, 0, "Information and Details"},
        {4, 0, "Mouse Driver Info"},
        {6, 12, "Error Message"},
        {8, 0, "Note:"},
        {18, 0, "About TapTally"},
        {21, 0, "Reset Test Values"},
    };
    for (const auto &c : commands) {
        AddStep([&c] { PostMessageA(run::Main(), WM_COMMAND, c.Command, c.Param); });
        AddStep([&c] {
            ASSERT_TRUE(headless::BoxOpen()) << c.Command;
            EXPECT_EQ(TopBox().Caption, c.Opens) << c.Command;
            EXPECT_TRUE(c.Command != 6 || TopBox().Text.rfind("Error # 12 ", 0) == 0);
            AnswerBox(TopBox().IsDialog || c.Command == 8 ? IDCANCEL : IDOK);
        });
    }
    run::AddLeftClickAfter(1000);
    AddStep([] {
        PostMessageA(run::Main(), WM_COMMAND, 9, 0);
        PostMessageA(run::Main(), WM_COMMAND, 5, 0);
    });
    AddStep([] {
        EXPECT_EQ(headless::WinExecCalls().size(), 1u);
        EXPECT_EQ(headless::Pixel(run::Main(), 172, 466), run::TEAL); // reset
        PostMessageA(run::Main(), WM_COMMAND, 1, 0);
    });
    EXPECT_EQ(run::Start(), 0);
    EXPECT_FALSE(IsWindow(run::Main()));
}

TEST_F(Dispatch, EveryAcceleratorKeyRunsItsCommand) {
    for (char key : {'a', 'A'}) {
        ExpectKeyOpens((UINT)toupper(key), key, "About TapTally");
    }
    for (char key : {'d', 'D'}) {
        ExpectKeyOpens((UINT)toupper(key), key, "Mouse Driver Info");
    }
    for (char key : {'i', 'I'}) {
        ExpectKeyOpens((UINT)toupper(key), key, "Information and Details");
    }
    ExpectKeyOpens(VK_F1, 0, "Information and Details");
    for (char key : {'s', 'S'}) {
        ExpectKeyOpens((UINT)toupper(key), key, "Change the 'Least' Trigger Value");
    }
    for (char key : {'q', 'z'}) {
        ExpectKeyOpens((UINT)toupper(key), key, "");
    }
    // The reset keys clear the values at once, without a notice.
    for (char key : {'r', 'R', 'c', 'C'}) {
        run::AddLeftClickAfter(1000);
        AddStep([key] {
            EXPECT_EQ(headless::Pixel(run::Main(), 172, 466), run::GREY);
            run::PressKey(key);
        });
        AddStep([key] {
            EXPECT_FALSE(headless::BoxOpen()) << key;
            EXPECT_EQ(headless::Pixel(run::Main(), 172, 466), run::TEAL) << key;
        });
    }
    AddStep([] { run::PressKey('x'); });
    EXPECT_EQ(run::Start(), 0);
    EXPECT_EQ(headless::BoxesShown().size(), 9u);
}

TEST_F(Dispatch, CommandsOutsideTheTableChangeNothing) {
    run::AddLeftClickAfter(1000);
    run::AddLeftClickAfter(300);
    AddStep([] {
        for (WPARAM id : {0, 7, 10, 11, 12, 13, 14, 15, 16, 17, 19, 20, 22, 100, 0xFFFF}) {
            PostMessageA(run::Main(), WM_COMMAND, id, 0);
        }
    });
    AddStep([] {
        EXPECT_TRUE(headless::BoxesShown().empty());
        EXPECT_EQ(State.Buttons[BUTTON_LEFT].LeastInterval, 300u);
        EXPECT_EQ(State.Buttons[BUTTON_LEFT].StepIndex, 2);
        // The high word (menu or accelerator) is ignored: this is the reset.
        PostMessageA(run::Main(), WM_COMMAND, MAKEWPARAM(CMD_RESET_VALUES, 1), 0);
    });
    AddStep([] {
        EXPECT_EQ(State.Buttons[BUTTON_LEFT].LeastInterval, LEAST_NONE);
        run::PressKey('X');
    });
    run::Start();
}

TEST_F(Dispatch, SizeChangesTheLayoutOfTheNextPaint) {
    AddStep([] {
        SendMessageA(run::Main(), WM_SIZE, 0, MAKELPARAM(800, 600));
        EXPECT_EQ(State.Layout.ClientWidth, 800);
        EXPECT_EQ(State.Layout.ClientHeight, 600);
        EXPECT_EQ(State.Layout.RowUnit, 27); // until the next paint
        InvalidateRect(run::Main(), nullptr, FALSE);
    });
    AddStep([] {
        EXPECT_EQ(State.Layout.RowUnit, 22);
        EXPECT_EQ(State.Layout.MiddlePanelX, 266);
        run::PressKey('X');
    });
    run::Start();
}

TEST_F(Dispatch, APaintWithNothingToPaintDoesNothing) {
    AddStep([] {
        State.CalibrationTotal = 500;
        headless::ClearDrawLog();
        SendMessageA(run::Main(), WM_PAINT, 0, 0);
    });
    AddStep([] {
        EXPECT_TRUE(headless::DrawLog().empty());
        EXPECT_FALSE(headless::BoxOpen()); // no after-paint check either
        run::PressKey('X');
    });
    run::Start();
}

TEST_F(Dispatch, MouseInputWaitingAtCreationIsDropped) {
    AddStep([] {
        for (UINT message :
             {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONUP, WM_MBUTTONDOWN, WM_MBUTTONDBLCLK}) {
            headless::QueueMouse(run::Main(), message, 10, 10);
        }
        // The window is created again with the input waiting for it.
        CREATESTRUCTA creation{};
        creation.hInstance = headless::ProgramInstance();
        SendMessageA(run::Main(), WM_CREATE, 0, (LPARAM)&creation);
        MSG waiting;
        EXPECT_FALSE(
            PeekMessageA(&waiting, run::Main(), WM_MOUSEMOVE, WM_MBUTTONDBLCLK, PM_NOREMOVE));
        run::PressKey('X');
    });
    run::Start();
}
