// Screen geometry: truncated products and the layout of a 1024 x 740 client area.
#include <gtest/gtest.h>

#include "base/fractions.h"
#include "base/screen_geometry.h"
#include "base/test_state.h"

TEST(TruncatedProduct, UsesTheExactDoubleValueOfTheFraction) {
    // 3.15 as a double lies below 3.15: whole decimal products lose one.
    for (int unit = 20; unit <= 2000; unit += 20) {
        EXPECT_EQ(TruncatedProduct(3.15, unit), (315 * unit) / 100 - 1) << unit;
    }
    EXPECT_EQ(TruncatedProduct(3.15, 27), 85);
    EXPECT_EQ(TruncatedProduct(3.15, 1), 3);
    EXPECT_EQ(TruncatedProduct(0.8, 341), 272);
    EXPECT_EQ(TruncatedProduct(0.8, 5), 4); // 0.8 lies above 0.8: 4.000...02
    EXPECT_EQ(TruncatedProduct(0.8, 1), 0);
    EXPECT_EQ(TruncatedProduct(0x1p-44, 1000), 0); // far below one: no whole part at all
    EXPECT_EQ(TruncatedProduct(0.5, 27), 13);
    EXPECT_EQ(TruncatedProduct(0.5, -27), -13);
    EXPECT_EQ(TruncatedProduct(0.9, 399), 359);
    EXPECT_EQ(TruncatedProduct(3.15, 0), 0);
    EXPECT_EQ(TruncatedProduct(3.15, 65535), 206435);
}

TEST(TruncatedSum, TruncatesTheSumNotTheProduct) {
    EXPECT_EQ(TruncatedSum(270, -0.5, 27), 256); // 256.5, not 270 - 13
    EXPECT_EQ(TruncatedSum(405, -0.5, 27), 391);
    EXPECT_EQ(TruncatedSum(400, -0.5, 26), 387);
    EXPECT_EQ(TruncatedSum(0, -0.5, 1), 0); // -0.5 truncates toward zero
    EXPECT_EQ(TruncatedSum(-3, 0.5, 1), -2);
    EXPECT_EQ(TruncatedSum(405, 3.15, 27), 490);
}

TEST(ScreenLayout, FiguresOfA1024By740ClientArea) {
    State.Layout.ClientWidth = 1024;
    State.Layout.ClientHeight = 740;
    RECT client = {0, 0, 1024, 740};
    ComputeScreenLayout(client);
    const ScreenLayout &l = State.Layout;
    EXPECT_EQ(l.RowUnit, 27);
    EXPECT_EQ(l.TextAreaWidth, 1025);
    EXPECT_EQ(l.PanelTop, 405);
    EXPECT_EQ(l.PanelBottom, 675);
    EXPECT_EQ(l.LeftPanelX, 0);
    EXPECT_EQ(l.MiddlePanelX, 341);
    EXPECT_EQ(l.RightPanelX, 682);
    EXPECT_EQ(l.MovementTop, 256);
    EXPECT_EQ(l.PanelFrameTop, 391);
}

TEST(ScreenLayout, ClientLowerThanOneRowUnitGivesZeroRows) {
    State.Layout.ClientWidth = 300;
    State.Layout.ClientHeight = 26;
    RECT client = {0, 0, 300, 26};
    ComputeScreenLayout(client);
    EXPECT_EQ(State.Layout.RowUnit, 0);
    EXPECT_EQ(State.Layout.PanelTop, 0);
    EXPECT_EQ(State.Layout.MovementTop, 0);
    EXPECT_EQ(State.Layout.PanelFrameTop, 0);
}
