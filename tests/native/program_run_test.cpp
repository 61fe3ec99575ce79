// Whole runs of the program from WinMain, driven by a scripted user.
#include <gtest/gtest.h>

#include "run_support.h"

#include "base/version_lookup.h"
#include "base/test_state.h"

using headless::AddStep;
using headless::AnswerBox;
using headless::TopBox;

namespace {

using ProgramRun = run::StandardWorld;

} // namespace

TEST_F(ProgramRun, StartsCalibratesAndEndsByTheXKeyWithNothingLeaking) {
    AddStep([] {
        EXPECT_EQ(State.Calibrating, 0);
        EXPECT_EQ(State.CalibrationCount, 11);
        EXPECT_EQ(State.CalibrationTotal, 0);
        EXPECT_EQ(State.Buttons[BUTTON_LEFT].LeastInterval, LEAST_NONE);
        EXPECT_EQ(State.Buttons[BUTTON_LEFT].IsDown, 0);
        EXPECT_EQ(State.TriggerThreshold, 85);
        EXPECT_STREQ(VersionText, "1.90");
        EXPECT_TRUE(headless::BoxesShown().empty());
        EXPECT_TRUE(headless::Beeps().empty()); // no beep while calibrating
        char title[64] = "";
        GetWindowTextA(run::Main(), title, sizeof title);
        EXPECT_STREQ(title, "TapTally - Mouse Testing Program");
        RECT client;
        GetClientRect(run::Main(), &client);
        EXPECT_EQ(client.right, 1024);
        EXPECT_EQ(client.bottom, 740);
        EXPECT_EQ(State.Layout.RowUnit, 27);
        run::PressKey('X');
    });
    EXPECT_EQ(run::Start(), 0);
    EXPECT_EQ(headless::LiveGdiObjects(), 0);
    EXPECT_EQ(headless::LiveDCs(), 0);
    EXPECT_EQ(headless::SelectedObjectsDeleted(), 0);
}

TEST_F(ProgramRun, TheCloseBoxEndsTheRunToo) {
    AddStep([] { headless::QueueCloseBox(run::Main()); });
    EXPECT_EQ(run::Start(), 0);
    EXPECT_EQ(headless::LiveDCs(), 0);
}

TEST_F(ProgramRun, TheWindowIsAsHighAsTheScreenLessTheMenuBar) {
    headless::SetSystemMetric(SM_CYCAPTION, 30); // the caption's height does not count
    RECT window{};
    AddStep([&window] {
        GetWindowRect(run::Main(), &window);
        run::PressKey('X');
    });
    run::Start();
    EXPECT_EQ(window.right - window.left, 1024);
    EXPECT_EQ(window.bottom - window.top, 780);
}

TEST_F(ProgramRun, SlowCalibrationRaisesError80OncePerProgramRepaint) {
    AddStep([] {
        EXPECT_EQ(run::ErrorBoxes(80), 0);
        State.CalibrationTotal = 309;
        run::PressKey('r');
    });
    AddStep([] {
        EXPECT_EQ(run::ErrorBoxes(80), 0);
        State.CalibrationTotal = 310;
        run::PressKey('r');
    });
    AddStep([] {
        ASSERT_TRUE(headless::BoxOpen());
        EXPECT_EQ(TopBox().Text.rfind("Error # 80 Occurred! - \n", 0), 0u);
        AnswerBox(IDOK); // its close repaints what it covered
    });
    AddStep([] {
        EXPECT_FALSE(headless::BoxOpen());
        EXPECT_EQ(run::ErrorBoxes(80), 1);
        run::PressKey('c');
    });
    AddStep([] {
        ASSERT_TRUE(headless::BoxOpen());
        AnswerBox(IDOK);
    });
    AddStep([] {
        EXPECT_EQ(run::ErrorBoxes(80), 2);
        run::PressKey('X');
    });
    run::Start();
}

TEST_F(ProgramRun, NoMouseRaisesError99OnceAndDriverInfoRaisesItAgain) {
    headless::SetSystemMetric(SM_MOUSEPRESENT, 0);
    headless::SetCursorScreenPos(300, 200);
    AddStep([] {
        ASSERT_TRUE(headless::BoxOpen());
        EXPECT_EQ(TopBox().Text.rfind("Error # 99 Occurred! - \n", 0), 0u);
        EXPECT_EQ(State.Calibrating, 0);
        EXPECT_EQ(State.CalibrationCount, 0);
        AnswerBox(IDOK);
    });
    AddStep([] { run::PressKey('d'); });
    AddStep([] {
        ASSERT_TRUE(headless::BoxOpen());
        EXPECT_EQ(TopBox().Caption, "Error Message");
        AnswerBox(IDOK);
    });
    AddStep([] {
        EXPECT_EQ(run::ErrorBoxes(99), 2);
        EXPECT_EQ(run::ErrorBoxes(80), 0);
        EXPECT_EQ(run::BoxesWithCaption("Mouse Driver Info"), 0);
        headless::ClearDrawLog();
        headless::QueueMouse(run::Main(), WM_MOUSEMOVE, 30, 40);
    });
    AddStep([] {
        // No calibration took the pointer's place: the first change is the position.
        EXPECT_TRUE(run::Drawn(0, run::Shape("TextOutA", 511, 310, 0, 0, run::BLACK, 0, run::GREY,
                                             "   30,   40    ")));
        run::PressKey('X');
    });
    run::Start();
}

TEST_F(ProgramRun, ManyPressesLeakNoGraphicsObjects) {
    int before = 0, beforeDCs = 0;
    AddStep([&] {
        before = headless::LiveGdiObjects();
        beforeDCs = headless::LiveDCs();
    });
    for (int i = 0; i < 10000; ++i) {
        AddStep([] {
            headless::AdvanceTick(200);
            run::LeftClick();
            run::Click(WM_MBUTTONDOWN, WM_MBUTTONUP);
            run::Click(WM_RBUTTONDOWN, WM_RBUTTONUP);
        });
    }
    AddStep([&] {
        EXPECT_FALSE(headless::BoxOpen());
        EXPECT_EQ(headless::LiveGdiObjects(), before);
        EXPECT_EQ(headless::LiveDCs(), beforeDCs);
        EXPECT_EQ(headless::SelectedObjectsDeleted(), 0);
        EXPECT_EQ(headless::Beeps().size(), 30000u);
        run::PressKey('X');
    });
    run::Start();
}
