// A long run of mixed events: presses, releases, moves, resets and answered error
// boxes. Graphics objects, device contexts and the heap must stay flat the whole way.
#include <gtest/gtest.h>

#include <malloc.h>

#include "run_support.h"

#include "base/test_state.h"

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's own count of the bytes in use (malloc's figures do not see its heap).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif
#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#else
#define RUNNING_ON_VALGRIND 0
#endif

namespace {

#if defined(__SANITIZE_ADDRESS__)
const int FULL_ROUNDS = 200; // a tenth under the sanitizers, which are ten times slower
#else
const int FULL_ROUNDS = 2000;
#endif
const int EVENTS_PER_ROUND = 500; // one million events in all

// Valgrind is some fifty times slower still: a hundredth there.
int Rounds() {
    return RUNNING_ON_VALGRIND ? FULL_ROUNDS / 100 : FULL_ROUNDS;
}

// Bytes the heap holds for the program and the stand-in.
size_t HeapInUse() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

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

// The run's steps, added a round at a time so that the script itself stays the same size
// and the heap can be compared round by round.
struct MixedRun {
    int Rounds = 0;
    int GdiAtStart = 0, DcsAtStart = 0;
    int ErrorBoxes = 0;
    size_t HeapAtStart = 0, HeapMost = 0;

    void AddRound(int round) {
        headless::AddStep([round] {
            headless::AdvanceTick(round % 3 == 0 ? 800 : 1);
            QueueRound(round);
            if (round % 2 == 0) {
                run::PressKey('r');
            }
        });
        headless::AddStep([this] {
            ASSERT_TRUE(headless::BoxOpen());
            ++ErrorBoxes;
            headless::AnswerBox(IDOK);
        });
        headless::AddStep([this, round] { EndRound(round); });
    }

    void EndRound(int round) {
        headless::ForgetRecords();
        EXPECT_EQ(headless::LiveGdiObjects(), GdiAtStart);
        EXPECT_EQ(headless::LiveDCs(), DcsAtStart);
        // The heap is measured from the end of the first round on, once every record
        // and cache of the run has been made once.
        size_t heap = HeapInUse();
        if (round == 0) {
            HeapAtStart = heap;
        }
        HeapMost = heap > HeapMost ? heap : HeapMost;
        if (round + 1 < Rounds) {
            AddRound(round + 1);
        } else {
            run::PressKey('X');
        }
    }
};

using Endurance = run::StandardWorld;

} // namespace

TEST_F(Endurance, AMillionMixedEventsLeaveNothingBehind) {
    MixedRun run;
    run.Rounds = Rounds();
    headless::AddStep([&run] {
        run.GdiAtStart = headless::LiveGdiObjects();
        run.DcsAtStart = headless::LiveDCs();
        // Presses come back to back; no interval counts as too fast here.
        State.TriggerThreshold = 0;
        run.AddRound(0);
    });
    run::Start();
    EXPECT_EQ(run.ErrorBoxes, run.Rounds);
    EXPECT_EQ(headless::LiveGdiObjects(), 0);
    EXPECT_EQ(headless::LiveDCs(), 0);
    EXPECT_EQ(headless::SelectedObjectsDeleted(), 0);
    EXPECT_LE(run.HeapMost, run.HeapAtStart + 4096)
        << "the heap grew from " << run.HeapAtStart << " bytes";
}
