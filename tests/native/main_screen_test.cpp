// What the main screen shows at a client area of 1024 x 740: the painted picture, the
// three button panels and the movement row, checked where they are drawn.
#include <gtest/gtest.h>

#include "run_support.h"

#include <set>
#include <tuple>

#include "base/test_state.h"

using headless::AddStep;
using namespace run;

namespace {

using MainScreen = run::StandardWorld;

// The texts drawn at (x, y), in order, since the mark.
std::vector<std::string> TextsAt(size_t mark, int x, int y) {
    std::vector<std::string> texts;
    for (size_t i = mark; i < headless::DrawLog().size(); ++i) {
        const headless::DrawCall &call = headless::DrawLog()[i];
        if (call.Name == "TextOutA" && call.X1 == x && call.Y1 == y) {
            texts.push_back(call.Text);
        }
    }
    return texts;
}

// End points, relative to the centre, of the spinner lines drawn in this colour.
std::vector<std::pair<int, int>> SpinnerEnds(size_t mark, int cx, int cy, COLORREF color) {
    std::vector<std::pair<int, int>> ends;
    for (size_t i = mark; i < headless::DrawLog().size(); ++i) {
        const headless::DrawCall &call = headless::DrawLog()[i];
        if (call.Name == "LineTo" && call.X1 == cx && call.Y1 == cy && call.PenColor == color) {
            ends.emplace_back(call.X2 - cx, call.Y2 - cy);
        }
    }
    return ends;
}

} // namespace

TEST_F(MainScreen, PaintDrawsTheFixedPictureInItsPlacesAndColours) {
    struct Text {
        const char *Text;
        int X, Y;
    };
    const char *notice = "Copyright (C) 2026 The TapTally Project - free to use and share";
    // Texts: 9 pixels a character at height 18, centred in the text area (client width
    // + 1); frames, the menu-bar line, and the empty bar channels from their corner.
    const struct {
        int Width, Height;
        std::vector<Text> Texts;
        std::vector<Shape> Shapes;
    } screens[] = {
        {1024,
         740,
         {{"Version 1.90", 458, 54},
          {"Mouse              Tester", 400, 108},
          {notice, 229, 162},
          {"Left Button", 121, 405},
          {"Middle Button", 454, 405},
          {"Right Button", 799, 405},
          {"Current: ", 89, 459},
          {"Least: ", 107, 490},
          {"Current: ", 430, 459},
          {"Least: ", 448, 490},
          {"Current: ", 771, 459},
          {"Least: ", 789, 490},
          {"Position: ", 80, 310},
          {"Change: ", 439, 310},
          {"Most Change: ", 735, 310}},
         {{"FillRect", 0, 0, 1024, 740, TEAL},
          {"DrawIcon", 496, 100, 528, 132},
          {"LineTo", 2, 391, 1021, 391, YELLOW, 5},
          {"LineTo", 1021, 391, 1021, 675, YELLOW, 5},
          {"LineTo", 1021, 675, 2, 675, YELLOW, 5},
          {"LineTo", 2, 675, 2, 391, YELLOW, 5},
          {"LineTo", 341, 391, 341, 675, YELLOW, 5},
          {"LineTo", 682, 391, 682, 675, YELLOW, 5},
          {"LineTo", 2, 256, 1021, 256, YELLOW, 5},
          {"LineTo", 1021, 256, 1021, 391, YELLOW, 5},
          {"LineTo", 1021, 391, 2, 391, YELLOW, 5},
          {"LineTo", 2, 391, 2, 256, YELLOW, 5},
          {"LineTo", 1, 40, 1023, 40, headless::MenuBarColor, 1},
          {"LineTo", 423, 381, 423, 341, BLACK, 7},
          {"LineTo", 423, 341, 423, 272, BLACK, 7},
          {"LineTo", 422, 272, 422, 381, TEAL, 5},
          {"LineTo", 423, 382, 463, 382, BLACK, 7},
          {"LineTo", 463, 382, 533, 382, BLACK, 7},
          {"LineTo", 532, 381, 423, 381, TEAL, 5}}},
        // Row unit 20, where 3.15 row units give 62 pixels; columns of 266; bars of 83.
        {799,
         561,
         {{"Version 1.90", 346, 40},
          {"Mouse              Tester", 287, 80},
          {notice, 116, 120},
          {"Left Button", 83, 300},
          {"Middle Button", 342, 300},
          {"Right Button", 612, 300},
          {"Current: ", 52, 340},
          {"Least: ", 70, 362},
          {"Current: ", 318, 340},
          {"Least: ", 336, 362},
          {"Current: ", 584, 340},
          {"Least: ", 602, 362},
          {"Position: ", 43, 230},
          {"Change: ", 327, 230},
          {"Most Change: ", 548, 230}},
         {{"FillRect", 0, 0, 799, 561, TEAL},
          {"DrawIcon", 384, 72, 416, 104},
          {"LineTo", 2, 290, 796, 290, YELLOW, 5},
          {"LineTo", 796, 290, 796, 500, YELLOW, 5},
          {"LineTo", 796, 500, 2, 500, YELLOW, 5},
          {"LineTo", 2, 500, 2, 290, YELLOW, 5},
          {"LineTo", 266, 290, 266, 500, YELLOW, 5},
          {"LineTo", 532, 290, 532, 500, YELLOW, 5},
          {"LineTo", 2, 190, 796, 190, YELLOW, 5},
          {"LineTo", 796, 190, 796, 290, YELLOW, 5},
          {"LineTo", 796, 290, 2, 290, YELLOW, 5},
          {"LineTo", 2, 290, 2, 190, YELLOW, 5},
          {"LineTo", 1, 40, 798, 40, headless::MenuBarColor, 1},
          {"LineTo", 315, 280, 315, 240, BLACK, 7},
          {"LineTo", 315, 240, 315, 197, BLACK, 7},
          {"LineTo", 314, 197, 314, 280, TEAL, 5},
          {"LineTo", 315, 281, 355, 281, BLACK, 7},
          {"LineTo", 355, 281, 399, 281, BLACK, 7},
          {"LineTo", 398, 280, 315, 280, TEAL, 5}}},
        // Narrower than the texts: a negative offset halves toward zero (-41 / 2 is -20).
        {200,
         740,
         {{"Version 1.90", 46, 54},
          {"Mouse              Tester", -12, 108},
          {notice, -183, 162},
          {"Left Button", -16, 405},
          {"Middle Button", 42, 405},
          {"Right Button", 114, 405},
          {"Current: ", -48, 459},
          {"Least: ", -30, 490},
          {"Current: ", 18, 459},
          {"Least: ", 36, 490},
          {"Current: ", 85, 459},
          {"Least: ", 103, 490},
          {"Position: ", -57, 310},
          {"Change: ", 27, 310},
          {"Most Change: ", 49, 310}},
         {{"FillRect", 0, 0, 200, 740, TEAL},
          {"DrawIcon", 84, 100, 116, 132},
          {"LineTo", 2, 391, 197, 391, YELLOW, 5},
          {"LineTo", 197, 391, 197, 675, YELLOW, 5},
          {"LineTo", 197, 675, 2, 675, YELLOW, 5},
          {"LineTo", 2, 675, 2, 391, YELLOW, 5},
          {"LineTo", 66, 391, 66, 675, YELLOW, 5},
          {"LineTo", 133, 391, 133, 675, YELLOW, 5},
          {"LineTo", 2, 256, 197, 256, YELLOW, 5},
          {"LineTo", 197, 256, 197, 391, YELLOW, 5},
          {"LineTo", 197, 391, 2, 391, YELLOW, 5},
          {"LineTo", 2, 391, 2, 256, YELLOW, 5},
          {"LineTo", 1, 40, 199, 40, headless::MenuBarColor, 1},
          {"LineTo", 25, 381, 25, 341, BLACK, 7},
          {"LineTo", 25, 341, 25, 272, BLACK, 7},
          {"LineTo", 24, 272, 24, 381, TEAL, 5},
          {"LineTo", 25, 382, 65, 382, BLACK, 7},
          {"LineTo", 65, 382, 135, 382, BLACK, 7},
          {"LineTo", 134, 381, 25, 381, TEAL, 5}}},
    };
    for (const auto &screen : screens) {
        run::FreshWorld();
        run::UseClientSize(screen.Width, screen.Height);
        AddStep([] {
            headless::ClearDrawLog();
            InvalidateRect(run::Main(), nullptr, FALSE);
        });
        AddStep([&screen] {
            for (const Text &t : screen.Texts) {
                EXPECT_TRUE(
                    Drawn(0, Shape{"TextOutA", t.X, t.Y, 0, 0, BLACK, 0, TEAL, t.Text}.In("Arial")))
                    << t.Text << " at " << t.X << ", " << t.Y << " of " << screen.Width;
            }
            // Each text once, and no other: the paint draws the table and nothing more.
            std::multiset<std::tuple<std::string, int, int>> wanted, painted;
            for (const Text &t : screen.Texts) {
                wanted.insert({t.Text, t.X, t.Y});
            }
            for (const headless::DrawCall &call : headless::DrawLog()) {
                if (call.Name == "TextOutA") {
                    painted.insert({call.Text, call.X1, call.Y1});
                }
            }
            EXPECT_EQ(painted, wanted) << screen.Width;
            for (const Shape &shape : screen.Shapes) {
                EXPECT_TRUE(Drawn(0, shape)) << shape.Describe();
            }
            EXPECT_EQ(headless::Pixel(run::Main(), 5, 5), TEAL);
            EXPECT_EQ(headless::Pixel(run::Main(), 100, screen.Shapes[2].Y1), YELLOW);
            EXPECT_EQ(headless::Pixel(run::Main(), 100, screen.Shapes[8].Y1), YELLOW);
            EXPECT_EQ(headless::Pixel(run::Main(), screen.Shapes[6].X1, screen.Shapes[6].Y2 - 5),
                      YELLOW);
            // no dividers above
            EXPECT_EQ(headless::Pixel(run::Main(), screen.Shapes[6].X1, screen.Shapes[8].Y1 + 10),
                      TEAL);
            run::PressKey('X');
        });
        run::Start();
    }
}

TEST_F(MainScreen, EveryPanelShowsArrowValuesAndSpinnerOfItsButton) {
    const struct {
        UINT Down, Up;
        int ArrowX, ValueX, SpinnerX;
    } panels[] = {
        {WM_LBUTTONDOWN, WM_LBUTTONUP, 272, 170, 158},
        {WM_MBUTTONDOWN, WM_MBUTTONUP, 613, 511, 499},
        {WM_RBUTTONDOWN, WM_RBUTTONUP, 954, 852, 840},
    };
    // Intervals between presses, and what the panel shows for each.
    const DWORD intervals[] = {1000, 999, 300, 400, 500, 500, 500, 500, 500};
    const std::vector<std::string> current = {" ---  ", " 999  ", " 300  ", " 400  ", " 500  ",
                                              " 500  ", " 500  ", " 500  ", " 500  "};
    const std::vector<std::string> least = {" ---  ", " 999  ", " 300  ", " 300  ", " 300  ",
                                            " 300  ", " 300  ", " 300  ", " 300  "};
    // The spinner turns clockwise one eighth a press, from straight up after the reset.
    const std::vector<std::pair<int, int>> turns = {{16, -16},  {25, 0},   {16, 16},
                                                    {0, 25},    {-16, 16}, {-25, 0},
                                                    {-16, -16}, {0, -25},  {16, -16}};
    size_t mark = 0, pressMark = 0; // steps run after this loop, one panel after another
    for (const auto &panel : panels) {
        AddStep([&] { mark = headless::DrawLog().size(); });
        for (DWORD interval : intervals) {
            AddStep([&panel, &pressMark, interval] {
                headless::AdvanceTick(interval);
                pressMark = headless::DrawLog().size();
                headless::QueueMouse(run::Main(), panel.Down, panel.ValueX, 600);
            });
            AddStep([&panel, &pressMark] {
                int x = panel.ArrowX;
                EXPECT_TRUE(Drawn(pressMark, Shape{"FillRect", x - 4, 416, x + 4, 432, TEAL}));
                EXPECT_TRUE(Drawn(pressMark, Shape{"LineTo", x, 432, x, 416, BLACK, 1}));
                EXPECT_TRUE(Drawn(pressMark, Shape{"LineTo", x, 432, x - 4, 428, BLACK, 1}));
                EXPECT_TRUE(Drawn(pressMark, Shape{"LineTo", x, 432, x + 4, 428, BLACK, 1}));
                pressMark = headless::DrawLog().size();
                headless::QueueMouse(run::Main(), panel.Up, panel.ValueX, 600);
            });
            AddStep([&panel, &pressMark] {
                int x = panel.ArrowX;
                EXPECT_TRUE(Drawn(pressMark, Shape{"LineTo", x, 432, x, 416, BLACK, 1}));
                EXPECT_TRUE(Drawn(pressMark, Shape{"LineTo", x, 416, x - 4, 420, BLACK, 1}));
                EXPECT_TRUE(Drawn(pressMark, Shape{"LineTo", x, 416, x + 4, 420, BLACK, 1}));
                EXPECT_FALSE(Drawn(pressMark, Shape{"LineTo", x, 432, x - 4, 428, BLACK, 1}));
            });
        }
        AddStep([&] {
            int x = panel.ValueX;
            EXPECT_EQ(TextsAt(mark, x, 459), current) << x;
            EXPECT_EQ(TextsAt(mark, x, 490), least) << x;
            EXPECT_TRUE(Drawn(
                mark, Shape{"TextOutA", x, 490, 0, 0, BLACK, 0, GREY, " 300  "}.In("MS Serif")));
            EXPECT_TRUE(Drawn(
                mark, Shape{"TextOutA", x, 459, 0, 0, BLACK, 0, GREY, " 500  "}.In("MS Serif")));
            EXPECT_EQ(SpinnerEnds(mark, panel.SpinnerX, 594, YELLOW), turns);
            std::vector<std::pair<int, int>> erased(turns.begin(), turns.end() - 1);
            erased.insert(erased.begin(), {0, -25});
            EXPECT_EQ(SpinnerEnds(mark, panel.SpinnerX, 594, TEAL), erased);
            EXPECT_TRUE(Drawn(mark, Shape{"FillRect", panel.SpinnerX + 14, 576, panel.SpinnerX + 18,
                                          580, YELLOW}));
            EXPECT_TRUE(Drawn(mark, Shape{"FillRect", panel.SpinnerX - 2, 567, panel.SpinnerX + 2,
                                          571, TEAL})); // the end box of straight up, erased
            run::PressKey('r');
        });
    }
    AddStep([] {
        EXPECT_TRUE(headless::BoxesShown().empty());
        EXPECT_EQ(headless::Beeps(), std::vector<UINT>(27, 0xFFFFFFFF));
        run::PressKey('X');
    });
    run::Start();
}

TEST_F(MainScreen, ALongHoldClearsOnlyItsOwnPanel) {
    const struct {
        UINT Down, Up;
        int PanelX;
    } buttons[] = {
        {WM_LBUTTONDOWN, WM_LBUTTONUP, 0},
        {WM_MBUTTONDOWN, WM_MBUTTONUP, 341},
        {WM_RBUTTONDOWN, WM_RBUTTONUP, 682},
    };
    // Milliseconds from the button's last press to its release; without a press of its
    // own the release comes after the press of a click and raises error 11, 21 or 31.
    const struct {
        DWORD Since;
        bool Pressed;
    } releases[] = {{700, true}, {701, true}, {700, false}, {701, false}};
    for (const auto &held : buttons) {
        for (const auto &release : releases) {
            DWORD hold = release.Since;
            AddStep([&buttons] {
                headless::AdvanceTick(1000);
                for (const auto &b : buttons) {
                    run::Click(b.Down, b.Up, b.PanelX + 200);
                }
                headless::QueueMouse(run::Main(), WM_MOUSEMOVE, 100, 100);
            });
            AddStep([&held, &release] {
                headless::AdvanceTick(100);
                // A change of 4, 3: green bars from the corner (422, 381).
                headless::QueueMouse(run::Main(), WM_MOUSEMOVE, 104, 103);
                if (release.Pressed) {
                    headless::QueueMouse(run::Main(), held.Down, held.PanelX + 200, 600);
                }
            });
            AddStep([&held, &release] {
                headless::AdvanceTick(release.Since - (release.Pressed ? 0 : 100));
                headless::QueueMouse(run::Main(), held.Up, held.PanelX + 200, 600);
            });
            AddStep([&buttons, &held, &release, hold] {
                // The Current value box of each panel: still grey unless painted over.
                for (const auto &b : buttons) {
                    bool cleared = hold > 700 && b.PanelX == held.PanelX;
                    EXPECT_EQ(headless::Pixel(run::Main(), b.PanelX + 172, 466),
                              cleared ? TEAL : GREY)
                        << "released " << held.PanelX << " after " << hold << ", panel " << b.PanelX
                        << (release.Pressed ? "" : " unpressed");
                }
                // The paint of one panel still empties the bar channels, outside that panel.
                EXPECT_EQ(headless::Pixel(run::Main(), 422, 376), hold > 700 ? TEAL : GREEN);
                EXPECT_EQ(headless::Pixel(run::Main(), 430, 381), hold > 700 ? TEAL : GREEN);
                ASSERT_EQ(headless::BoxOpen(), !release.Pressed);
                if (!release.Pressed) {
                    std::string code = std::to_string(11 + 10 * held.PanelX / 341);
                    EXPECT_EQ(headless::TopBox().Text.substr(0, 10), "Error # " + code);
                    headless::AnswerBox(IDOK);
                }
            });
        }
    }
    AddStep([] {
        EXPECT_EQ(headless::BoxesShown().size(), 6u);
        run::PressKey('X');
    });
    run::Start();
}

TEST_F(MainScreen, IntervalsAreTimedFromTheTickBeforeDrawingAndAcrossTheWrap) {
    AddStep([] {
        headless::AdvanceTick(1000);
        run::LeftClick();
    });
    AddStep([] {
        // Drawing costs time now; the interval is still the time between the presses.
        headless::SetDrawCost(5);
        headless::AdvanceTick(300);
        headless::ClearDrawLog();
        headless::QueueMouse(run::Main(), WM_LBUTTONDOWN, 200, 600);
    });
    AddStep([] {
        EXPECT_EQ(TextsAt(0, 170, 459), std::vector<std::string>{" 300  "});
        headless::QueueMouse(run::Main(), WM_LBUTTONUP, 200, 600);
        headless::SetDrawCost(0);
        headless::SetTick(0xFFFFFF9C); // 100 ms before the counter wraps
        run::Click(WM_RBUTTONDOWN, WM_RBUTTONUP, 800);
    });
    AddStep([] {
        headless::AdvanceTick(250);
        headless::ClearDrawLog();
        run::Click(WM_RBUTTONDOWN, WM_RBUTTONUP, 800);
    });
    AddStep([] {
        EXPECT_EQ(TextsAt(0, 852, 459), std::vector<std::string>{" 250  "});
        run::PressKey('X');
    });
    run::Start();
}

TEST_F(MainScreen, MovementRowShowsPairsAndBarsOfEachMove) {
    const struct {
        int X, Y;
        const char *Position, *Change, *Most;
        std::vector<Shape> Bars;
    } moves[] = {
        // The first change counts from where the calibration left the pointer: the message
        // position (300, 200) less the caption and the menu bar.
        {100, 100, "  100,  100  ", "  200,   60   ", "  200,   60   ", {}},
        {109,
         108,
         "  109,  108  ",
         "    9,    8    ",
         "    9,    8    ",
         {{"LineTo", 422, 381, 422, 341, GREEN, 5},
          {"LineTo", 422, 381, 462, 381, GREEN, 5},
          {"LineTo", 462, 381, 467, 381, RED, 5}}},
        {109,
         108,
         "  109,  108  ",
         "    0,    0    ",
         "    9,    8    ",
         {{"LineTo", 422, 381, 422, 341, TEAL, 5}, {"LineTo", 422, 381, 467, 381, TEAL, 5}}},
        {5,
         300,
         "    5,  300   ",
         "  104,  192  ",
         "  104,  192  ",
         {{"LineTo", 422, 341, 422, 272, RED, 5}, {"LineTo", 462, 381, 531, 381, RED, 5}}},
        // The widest position a message carries, 15 characters; 99 still gets its blank.
        {65535,
         99,
         " 65535,   99   ",
         " 65530,  201  ",
         " 65530,  201  ",
         {{"LineTo", 422, 341, 422, 272, RED, 5}, {"LineTo", 462, 381, 531, 381, RED, 5}}},
    };
    headless::SetCursorScreenPos(300, 200);
    for (const auto &move : moves) {
        AddStep([&move] {
            headless::ClearDrawLog();
            headless::QueueMouse(run::Main(), WM_MOUSEMOVE, move.X, move.Y);
        });
        AddStep([&move, &moves] {
            EXPECT_TRUE(Drawn(
                0, Shape{"TextOutA", 170, 310, 0, 0, BLACK, 0, GREY, move.Position}.In("MS Serif")))
                << move.Position;
            EXPECT_EQ(TextsAt(0, 511, 310), std::vector<std::string>{move.Change});
            EXPECT_EQ(TextsAt(0, 852, 310), std::vector<std::string>{move.Most});
            for (const Shape &bar : move.Bars) {
                EXPECT_TRUE(Drawn(0, bar)) << move.Position << bar.Describe();
            }
            if (&move == &moves[0]) {
                run::PressKey('r');
            }
        });
    }
    AddStep([] {
        // After the reset's paint the next change is measured from the last position.
        run::PressKey('r');
    });
    AddStep([] {
        headless::ClearDrawLog();
        headless::QueueMouse(run::Main(), WM_MOUSEMOVE, 65532, 95);
    });
    AddStep([] {
        EXPECT_EQ(TextsAt(0, 511, 310), std::vector<std::string>{"    3,    4    "});
        EXPECT_EQ(TextsAt(0, 852, 310), std::vector<std::string>{"    3,    4    "});
        EXPECT_TRUE(Drawn(0, Shape{"LineTo", 422, 381, 422, 361, GREEN, 5}));
        run::PressKey('X');
    });
    run::Start();
}

TEST(MainScreenFramed, TheFirstChangeCountsFromThePointerLessFrameCaptionAndMenu) {
    // The default world: frames of 4, caption and menu bar 19, a client area of 1016 x 703
    // (row unit 26, movement labels at y 299, columns of 338).
    run::FreshWorld();
    headless::SetCursorScreenPos(300, 200); // client (296, 158) at the calibration's end
    AddStep([] {
        headless::ClearDrawLog();
        headless::QueueMouse(run::Main(), WM_MOUSEMOVE, 306, 168);
    });
    AddStep([] {
        EXPECT_EQ(TextsAt(0, 169 + 338, 299), std::vector<std::string>{"   10,   10    "});
        run::PressKey('X');
    });
    run::Start();
}

TEST_F(MainScreen, TheFirstPressAfterAResetIsTimedFromTheButtonsLastPress) {
    const struct {
        UINT Down, Up;
        int ValueX;
        bool PressFirst;   // 1000 ms on; else its last press is the window's creation
        DWORD Before;      // ms from that press to the reset
        DWORD After;       // ms from the reset to the press shown
        const char *Shown; // its Current value
        DWORD Least;
        int Code; // of the box it raises, 0 for none
    } rows[] = {
        {WM_RBUTTONDOWN, WM_RBUTTONUP, 852, false, 0, 1999, " ---  ", 2999, 0},
        {WM_LBUTTONDOWN, WM_LBUTTONUP, 170, true, 20, 30, " 50  ", 3000, 10},
        {WM_MBUTTONDOWN, WM_MBUTTONUP, 511, true, 1000, 2000, " ---  ", 3000, 0},
        {WM_MBUTTONDOWN, WM_MBUTTONUP, 511, true, 999, 2000, " ---  ", 2999, 0},
    };
    size_t mark = 0;
    for (const auto &row : rows) {
        AddStep([&row] {
            headless::AdvanceTick(1000);
            if (row.PressFirst) {
                run::Click(row.Down, row.Up, row.ValueX);
            }
        });
        AddStep([&row] {
            headless::AdvanceTick(row.Before);
            run::PressKey('r');
        });
        AddStep([&row, &mark] {
            headless::AdvanceTick(row.After);
            mark = headless::DrawLog().size();
            run::Click(row.Down, row.Up, row.ValueX);
        });
        AddStep([&row, &mark] {
            EXPECT_EQ(TextsAt(mark, row.ValueX, 459), std::vector<std::string>{row.Shown})
                << row.ValueX << " after " << row.After;
            EXPECT_EQ(State.Buttons[(row.ValueX - 170) / 341].LeastInterval, row.Least);
            EXPECT_EQ(run::ErrorBoxes(row.Code), row.Code ? 1 : 0) << row.ValueX;
            if (headless::BoxOpen()) {
                headless::AnswerBox(IDOK);
            }
        });
    }
    AddStep([] { run::PressKey('X'); });
    run::Start();
}

TEST(MainScreenOdd, PanelsOfA799By561ClientAreaShowTheirPressInPlace) {
    // Row unit 20, columns of 266: arrows at 0.8 of a column, values from the middle of the
    // panel on rows 340 and 362 (3.15 row units give 62), spinner centres 9 left of it.
    const struct {
        UINT Down, Up;
        int ArrowX, ValueX, SpinnerX;
        const char *Shown; // 999 ms since the last press; the window's creation for the others
    } panels[] = {
        {WM_LBUTTONDOWN, WM_LBUTTONUP, 212, 133, 124, " 999  "},
        {WM_MBUTTONDOWN, WM_MBUTTONUP, 478, 399, 390, " ---  "},
        {WM_RBUTTONDOWN, WM_RBUTTONUP, 744, 665, 656, " ---  "},
    };
    run::FreshWorld();
    run::UseClientSize(799, 561);
    for (const auto &panel : panels) {
        AddStep([&panel] {
            headless::AdvanceTick(999);
            headless::ClearDrawLog();
            run::Click(panel.Down, panel.Up, panel.ValueX);
        });
        AddStep([&panel] {
            int x = panel.ArrowX;
            for (const Shape &shape :
                 {Shape{"LineTo", x, 320, x - 4, 316, BLACK, 1},
                  Shape{"LineTo", x, 304, x + 4, 308, BLACK, 1},
                  Shape{"TextOutA", panel.ValueX, 340, 0, 0, BLACK, 0, GREY, panel.Shown},
                  Shape{"TextOutA", panel.ValueX, 362, 0, 0, BLACK, 0, GREY, panel.Shown},
                  Shape{"LineTo", panel.SpinnerX, 440, panel.SpinnerX + 16, 424, YELLOW, 1}}) {
                EXPECT_TRUE(Drawn(0, shape)) << shape.Describe();
            }
        });
    }
    AddStep([] { run::PressKey('X'); });
    run::Start();
}

TEST_F(MainScreen, AResetClearsTheMostChangeOfBothAxes) {
    // Each row: press R or not, then move to (x, y); Change and Most Change then show.
    const struct {
        bool Reset;
        int X, Y;
        const char *Change, *Most;
    } rows[] = {
        {false, 100, 100, nullptr, nullptr},
        {true, 103, 100, "    3,    0    ", "    3,    0    "},
        {true, 103, 104, "    0,    4    ", "    0,    4    "},
    };
    for (const auto &row : rows) {
        AddStep([&row] {
            if (row.Reset) {
                run::PressKey('r');
            }
        });
        AddStep([&row] {
            headless::ClearDrawLog();
            headless::QueueMouse(run::Main(), WM_MOUSEMOVE, row.X, row.Y);
        });
        AddStep([&row] {
            if (row.Change) {
                EXPECT_EQ(TextsAt(0, 511, 310), std::vector<std::string>{row.Change}) << row.Y;
                EXPECT_EQ(TextsAt(0, 852, 310), std::vector<std::string>{row.Most}) << row.Y;
            }
        });
    }
    AddStep([] { run::PressKey('X'); });
    run::Start();
}

TEST_F(MainScreen, TheFirstBarsAfterAPaintEraseNothing) {
    // The bar lines of 5 pixels (green, red or background) drawn since the mark.
    auto barLines = [](size_t mark) {
        std::vector<std::string> lines;
        for (size_t i = mark; i < headless::DrawLog().size(); ++i) {
            const headless::DrawCall &call = headless::DrawLog()[i];
            if (call.Name == "LineTo" && call.PenWidth == 5) {
                lines.push_back(
                    Shape{"LineTo", call.X1, call.Y1, call.X2, call.Y2, call.PenColor, 5}
                        .Describe());
            }
        }
        return lines;
    };
    // Bars of 100 pixels each, from the corner (422, 381); then a reset's paint.
    AddStep([] { headless::QueueMouse(run::Main(), WM_MOUSEMOVE, 100, 100); });
    AddStep([] { headless::QueueMouse(run::Main(), WM_MOUSEMOVE, 120, 120); });
    AddStep([] { run::PressKey('r'); });
    AddStep([] {
        headless::ClearDrawLog();
        headless::QueueMouse(run::Main(), WM_MOUSEMOVE, 125, 120); // change 5, 0
    });
    AddStep([&] {
        // Green from the corner only: nothing of the bars before the paint is cleared.
        EXPECT_EQ(barLines(0), (std::vector<std::string>{
                                   Shape{"LineTo", 422, 381, 422, 381, GREEN, 5}.Describe(),
                                   Shape{"LineTo", 422, 381, 447, 381, GREEN, 5}.Describe()}));
        run::PressKey('r');
    });
    AddStep([] {
        headless::ClearDrawLog();
        headless::QueueMouse(run::Main(), WM_MOUSEMOVE, 125, 120); // no change at all
    });
    AddStep([&] {
        // Both bars from the corner to the corner: no pixel, and nothing in background.
        EXPECT_EQ(barLines(0), (std::vector<std::string>(
                                   2, Shape{"LineTo", 422, 381, 422, 381, GREEN, 5}.Describe())));
        EXPECT_EQ(TextsAt(0, 511, 310), std::vector<std::string>{"    0,    0    "});
        EXPECT_EQ(TextsAt(0, 852, 310), std::vector<std::string>{"    0,    0    "});
        // The thin black edges right of and below the channels meet in a black corner; the
        // channels themselves stay empty.
        for (POINT black : {POINT{425, 377}, POINT{425, 384}, POINT{426, 385}, POINT{421, 384}}) {
            EXPECT_EQ(headless::Pixel(run::Main(), black.x, black.y), BLACK)
                << black.x << ", " << black.y;
        }
        for (POINT empty : {POINT{422, 381}, POINT{422, 376}, POINT{430, 381}}) {
            EXPECT_EQ(headless::Pixel(run::Main(), empty.x, empty.y), TEAL)
                << empty.x << ", " << empty.y;
        }
        run::PressKey('X');
    });
    run::Start();
}

TEST(MainScreenLow, BarChannelsOfExactlyFortyPixelsHaveTheirBlackEdgesEndToEnd) {
    // A client area of 1024 x 270: row unit 10, bar maximum 40, corner (422, 135). The
    // vertical edge is all green length (40 is not above 40); the horizontal one, one
    // pixel longer, gets its last pixel as a second stretch.
    run::FreshWorld();
    run::UseClientSize(1024, 270);
    AddStep([] {
        headless::ClearDrawLog();
        InvalidateRect(run::Main(), nullptr, FALSE);
    });
    AddStep([] {
        std::vector<std::string> edges;
        for (const headless::DrawCall &call : headless::DrawLog()) {
            if (call.Name == "LineTo" && call.PenColor == BLACK && call.PenWidth == 7) {
                edges.push_back(
                    Shape{"LineTo", call.X1, call.Y1, call.X2, call.Y2, BLACK, 7}.Describe());
            }
        }
        EXPECT_EQ(edges, (std::vector<std::string>{
                             Shape{"LineTo", 423, 135, 423, 95, BLACK, 7}.Describe(),
                             Shape{"LineTo", 423, 136, 463, 136, BLACK, 7}.Describe(),
                             Shape{"LineTo", 463, 136, 464, 136, BLACK, 7}.Describe()}));
        run::PressKey('X');
    });
    run::Start();
}

TEST_F(MainScreen, BetweenPaintsOnlyAPressPanelAndTheBarsTakeTheNewSizeAtOnce) {
    // Painted at 1024 x 740 (row unit 27, columns of 341, panels at 405, movement row at
    // 256), then made 799 x 561 without a paint: row unit 20, columns of 266, bars of 83.
    const struct {
        UINT Message;
        std::vector<Shape> Drawn;
    } steps[] = {
        // A press works its panel out afresh, at the last paint's panel edges and top.
        {WM_LBUTTONDOWN,
         {{"LineTo", 212, 425, 208, 421, BLACK, 1},
          {"TextOutA", 133, 445, 0, 0, BLACK, 0, GREY, " ---  "},
          {"TextOutA", 133, 467, 0, 0, BLACK, 0, GREY, " ---  "},
          {"LineTo", 124, 545, 140, 529, YELLOW, 1}}},
        // A release stands where the last paint put the panel.
        {WM_LBUTTONUP, {{"LineTo", 272, 416, 268, 420, BLACK, 1}}},
        {WM_MBUTTONDOWN,
         {{"LineTo", 553, 425, 549, 421, BLACK, 1},
          {"TextOutA", 474, 445, 0, 0, BLACK, 0, GREY, " ---  "},
          {"TextOutA", 474, 467, 0, 0, BLACK, 0, GREY, " ---  "},
          {"LineTo", 465, 545, 481, 529, YELLOW, 1}}},
        // The middle release takes the row unit of the new height before its arrow.
        {WM_MBUTTONUP, {{"LineTo", 613, 409, 609, 413, BLACK, 1}}},
        // From (300, 160) to (100, 100): the values' columns are new, their row and the
        // bars' corner follow the new row unit, the bars end at 83.
        {WM_MOUSEMOVE,
         {{"TextOutA", 133, 296, 0, 0, BLACK, 0, GREY, "  100,  100  "},
          {"TextOutA", 474, 296, 0, 0, BLACK, 0, GREY, "  200,   60   "},
          {"TextOutA", 815, 296, 0, 0, BLACK, 0, GREY, "  200,   60   "},
          {"LineTo", 422, 306, 422, 263, RED, 5},
          {"LineTo", 462, 346, 505, 346, RED, 5}}},
    };
    headless::SetCursorScreenPos(300, 200);
    AddStep([] { SendMessageA(run::Main(), WM_SIZE, 0, MAKELPARAM(799, 561)); });
    for (const auto &step : steps) {
        AddStep([&step] {
            // A release comes soon: a long hold would paint its panel.
            bool release = step.Message == WM_LBUTTONUP || step.Message == WM_MBUTTONUP;
            headless::AdvanceTick(release ? 100 : 1000);
            headless::ClearDrawLog();
            headless::QueueMouse(run::Main(), step.Message, 100, 100);
        });
        AddStep([&step] {
            for (const Shape &shape : step.Drawn) {
                EXPECT_TRUE(Drawn(0, shape)) << step.Message << ": " << shape.Describe();
            }
        });
    }
    AddStep([] { run::PressKey('X'); });
    run::Start();
}
