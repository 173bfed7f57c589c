#include "app/KeyedRegion.h"
#include "app/PlayerLogic.h"
#include "app/PlayingDecorations.h"

#include <gtest/gtest.h>

TEST(TimeText, MinutesAndSecondsEachTakeAtLeastTwoDigits) {
    EXPECT_EQ(CString("00:00"), FormatElapsed(0));
    EXPECT_EQ(CString("00:59"), FormatElapsed(59999));
    EXPECT_EQ(CString("01:00"), FormatElapsed(60000));
    EXPECT_EQ(CString("01:05"), FormatElapsed(65000));
    EXPECT_EQ(CString("01:15"), FormatElapsed(75000));
    EXPECT_EQ(CString("09:59"), FormatElapsed(599999));
    EXPECT_EQ(CString("10:00"), FormatElapsed(600000));
    EXPECT_EQ(CString("10:05"), FormatElapsed(605000));
    EXPECT_EQ(CString("12:34"), FormatElapsed(754000));
    EXPECT_EQ(CString("100:00"), FormatElapsed(6000000));
    EXPECT_EQ(CString("71582:47"), FormatElapsed(0xFFFFFFFFu));
}

TEST(SongStep, WrapsAtBothEndsAndHoldsOneRow) {
    EXPECT_EQ(0, StepSelection(3, 2, true));
    EXPECT_EQ(2, StepSelection(3, 1, true));
    EXPECT_EQ(2, StepSelection(3, 0, false));
    EXPECT_EQ(0, StepSelection(3, 1, false));
    EXPECT_EQ(0, StepSelection(1, 0, true));
    EXPECT_EQ(0, StepSelection(1, 0, false));
    EXPECT_EQ(-1, StepSelection(0, -1, true));
    EXPECT_EQ(-1, StepSelection(3, -1, false));
}

namespace {
std::vector<RECT> RunsOf(const std::vector<std::string>& rows) {
    // 'R' marks a key pixel.
    const auto pixel = [&](int x, int y) { return rows[y][x] == 'R' ? RGB(255, 0, 0) : RGB(1, 2, 3); };
    return KeyColourRuns(pixel, static_cast<int>(rows[0].size()), static_cast<int>(rows.size()), RGB(255, 0, 0));
}
bool Same(const RECT& a, int l, int t, int r, int b) {
    return a.left == l && a.top == t && a.right == r && a.bottom == b;
}
}  // namespace

TEST(WindowRegionRuns, KeepEveryRunOfNonKeyPixels) {
    EXPECT_TRUE(RunsOf({"RRRRR"}).empty()) << "an all-red row adds nothing";
    auto whole = RunsOf({"....."});
    ASSERT_EQ(1u, whole.size());
    EXPECT_TRUE(Same(whole[0], 0, 0, 5, 1));

    auto mixed = RunsOf({"RR..R.", "..RR..", "R....."});
    ASSERT_EQ(5u, mixed.size());
    EXPECT_TRUE(Same(mixed[0], 2, 0, 4, 1));
    EXPECT_TRUE(Same(mixed[1], 5, 0, 6, 1)) << "a run at the right edge is kept";
    EXPECT_TRUE(Same(mixed[2], 0, 1, 2, 2));
    EXPECT_TRUE(Same(mixed[3], 4, 1, 6, 2));
    EXPECT_TRUE(Same(mixed[4], 1, 2, 6, 3));
}

TEST(Decorations, DotPhasesCycleThroughFour) {
    EXPECT_EQ(1, NextDotPhase(0));
    EXPECT_EQ(2, NextDotPhase(1));
    EXPECT_EQ(3, NextDotPhase(2));
    EXPECT_EQ(0, NextDotPhase(3));
    // Each dot is a 10 x 10 box.
    for (const DotPhase& phase : kDotPhases)
        for (const RECT& box : phase.boxes) {
            EXPECT_EQ(10, box.right - box.left);
            EXPECT_EQ(10, box.bottom - box.top);
        }
}

TEST(Decorations, BarsRepeatWithinASecondAndStayBelowAHundred) {
    double a[BAR_COUNT];
    double b[BAR_COUNT];
    double c[BAR_COUNT];
    MakeBarValues(1700000000u, a);
    MakeBarValues(1700000000u, b);
    MakeBarValues(1700000001u, c);
    bool differs = false;
    for (int i = 0; i < BAR_COUNT; ++i) {
        EXPECT_EQ(a[i], b[i]);
        EXPECT_GE(a[i], 0.0);
        EXPECT_LT(a[i], 100.0);
        EXPECT_EQ(a[i], static_cast<int>(a[i]));
        differs = differs || a[i] != c[i];
    }
    EXPECT_TRUE(differs);
    EXPECT_EQ(RGB(0, 245, 245), BarColour(0));
    EXPECT_EQ(RGB(0, 245, 245), BarColour(9));
    EXPECT_EQ(RGB(0, 235, 235), BarColour(10));
    EXPECT_EQ(RGB(0, 155, 155), BarColour(99));
}
