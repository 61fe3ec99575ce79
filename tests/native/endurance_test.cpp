// A long run of mixed events: presses, releases, moves, resets and answered error
// boxes. Graphics objects and device contexts must stay flat the whole way.
#include <gtest/gtest.h>

#include "run_support.h"

#include "engine/test_state.h"

namespace {

#if defined(__SANITIZE_ADDRESS__)
const int ROUNDS = 200; // a tenth under the sanitizers, which are ten times slower
#else
const int ROUNDS = 2000;
#endif
const int EVENTS_PER_ROUND = 500; // one million events in all

void Move(int x, int y) {
    headless::QueueMouse(run::Main(), WM_MOUSEMOVE, x % 1024, y % 740);
}

void Button(UINT message, int x) {
    headless::QueueMouse(run::Main(), message, x, 600);
}

// One round of presses and releases of all buttons with moves between them (no two
// moves in a row, which the platform would merge), ended by a release without a press,
// whose error box the next step answers.
void QueueRound(int round) {
    for (int i = 0; i < EVENTS_PER_ROUND / 10; ++i) {
        Button(WM_LBUTTONDOWN, 100 + i);
        Move(round * 7 + i * 13, round * 3 + i * 5);
        Button(WM_LBUTTONUP, 100 + i);
        Move(round * 11 + i * 17, round * 5 + i * 3);
        Button(WM_MBUTTONDOWN, 400 + i);
        Move(round * 5 + i * 3, 20 + i);
        Button(WM_MBUTTONUP, 400 + i);
        Move(500, round + i);
        Button(WM_RBUTTONDOWN, 800 + i);
        Button(WM_RBUTTONUP, 800 + i);
    }
    Button(WM_RBUTTONUP, 900);
}

} // namespace

TEST(Endurance, AMillionMixedEventsLeaveNothingBehind) {
    headless::ResetWorld();
    run::Use1024By740();
    int gdiAtStart = 0, dcsAtStart = 0;
    int errorBoxes = 0;
    headless::AddStep([&] {
        gdiAtStart = headless::LiveGdiObjects();
        dcsAtStart = headless::LiveDCs();
        // Presses come back to back; no interval counts as too fast here.
        State.TriggerThreshold = 0;
    });
    for (int round = 0; round < ROUNDS; ++round) {
        headless::AddStep([round] {
            headless::AdvanceTick(round % 3 == 0 ? 800 : 1);
            QueueRound(round);
            if (round % 2 == 0) {
                run::PressKey('r');
            }
        });
        headless::AddStep([&] {
            ASSERT_TRUE(headless::BoxOpen());
            ++errorBoxes;
            headless::AnswerBox(IDOK);
        });
        headless::AddStep([&] {
            headless::ClearDrawLog();
            EXPECT_EQ(headless::LiveGdiObjects(), gdiAtStart);
            EXPECT_EQ(headless::LiveDCs(), dcsAtStart);
        });
    }
    headless::AddStep([] { run::PressKey('X'); });
    run::Start();
    EXPECT_EQ(errorBoxes, ROUNDS);
    EXPECT_EQ(headless::LiveGdiObjects(), 0);
    EXPECT_EQ(headless::LiveDCs(), 0);
    EXPECT_EQ(headless::SelectedObjectsDeleted(), 0);
}
