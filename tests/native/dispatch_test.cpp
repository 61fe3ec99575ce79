// Keys, commands, resizing and paints of the main window.
#include <gtest/gtest.h>

#include "run_support.h"

#include "engine/test_state.h"

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

} // namespace

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
