#include "lyrics/LrcBand.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <utility>
#include <vector>

#include "lyrics/CDlgLrc.h"
#include "support/TestSupport.h"

TEST(LyricFilePath, BaseNameRunsFromTheLastBackslashToTheFirstDot) {
    EXPECT_EQ(CStringW(L"Lrc\\01.lrc"), CDlgLrc::LrcFilePath(L"D:\\Music\\01.Song.mp3"));
    EXPECT_EQ(CStringW(L"Lrc\\song.lrc"), CDlgLrc::LrcFilePath(L"D:\\a.b\\song.mp3"));
    EXPECT_EQ(CStringW(L"Lrc\\song.lrc"), CDlgLrc::LrcFilePath(L"D:\\x\\song.live.mp3"));
    EXPECT_EQ(CStringW(L"Lrc\\song.lrc"), CDlgLrc::LrcFilePath(L"song.mp3"));
}

TEST(LyricFilePath, ANameWithoutADotHasAnEmptyBaseName) {
    EXPECT_EQ(CStringW(L"Lrc\\.lrc"), CDlgLrc::LrcFilePath(L"D:\\Music\\song"));
    EXPECT_EQ(CStringW(L"Lrc\\.lrc"), CDlgLrc::LrcFilePath(L"D:\\Music\\"));
    EXPECT_EQ(CStringW(L"Lrc\\.lrc"), CDlgLrc::LrcFilePath(L"当前没有选中歌曲"));
}

TEST(LyricFilePath, TheNameKeepsItsOwnScript) {
    EXPECT_EQ(CStringW(L"Lrc\\\xD55C\xAD6D\xC5B4 \xB178\xB798.lrc"),
              CDlgLrc::LrcFilePath(L"Z:\\m\\\xD55C\xAD6D\xC5B4 \xB178\xB798.flac"));
    EXPECT_EQ(CStringW(L"Lrc\\S\x00F8ren - \x00C6r\x00F8.lrc"),
              CDlgLrc::LrcFilePath(L"D:\\S\x00F8ren - \x00C6r\x00F8.mp3"));
}

TEST(LyricFilePath, TheFileCountsOnlyInsideAnLrcDirectory) {
    ScratchDir dir;
    CurrentDirScope cwd(dir.Path());
    EXPECT_FALSE(CDlgLrc::LrcFileExists(L"D:\\Music\\song.mp3"));
    WriteFileBytes("Lrc", "not a directory");
    EXPECT_FALSE(CDlgLrc::LrcFileExists(L"D:\\Music\\song.mp3"));
    ::DeleteFileA("Lrc");
    ASSERT_TRUE(::CreateDirectoryA("Lrc", nullptr));
    EXPECT_FALSE(CDlgLrc::LrcFileExists(L"D:\\Music\\song.mp3"));
    WriteFileBytes("Lrc\\song.lrc", "[00:01.00]x\n");
    EXPECT_TRUE(CDlgLrc::LrcFileExists(L"D:\\Music\\song.mp3"));
    EXPECT_TRUE(CDlgLrc::LrcFileExists(L"E:\\other\\song.flac"));
    EXPECT_FALSE(CDlgLrc::LrcFileExists(L"D:\\Music\\songs.mp3"));
}

TEST(BandLayout, SlotsCentreOnAQuarterAndThreeQuartersOfTheWidth) {
    EXPECT_EQ(270, TopSlotX(1281, 101));     // 320 - 50
    EXPECT_EQ(911, BottomSlotX(1281, 101));  // 1281 - 320 - 50
    EXPECT_EQ(589, CentredX(1280, 101));     // 1179 / 2
    // A text wider than the band starts left of it; division truncates toward zero.
    EXPECT_EQ(-1, CentredX(100, 103));
    EXPECT_EQ(-75, TopSlotX(100, 200));
    EXPECT_EQ(320, TopSlotX(1280, 0));
}

TEST(BandFill, StepCrossesTheTextInAboutTheLinesSeconds) {
    EXPECT_EQ(10, FillStep(100, 2));
    EXPECT_EQ(6, FillStep(100, 3));  // (100 / 3) / 5
    EXPECT_EQ(0, FillStep(24, 5));   // narrower than 5 pixels a second
    EXPECT_EQ(0, FillStep(0, 1));
    EXPECT_EQ(0, FillStep(100, 0));
}

// A step of 10 pixels for each 200 ms played, in any slices.
TEST(BandFill, MovesWithThePlayingTimeAndHandsOverOnlyPastTheWidth) {
    LrcFillTick tick = AdvanceFill(90, 100, 2, 200);
    EXPECT_TRUE(tick.bDraw);
    EXPECT_EQ(100, tick.nRedWidth);
    EXPECT_FALSE(tick.bHandOver);
    tick = AdvanceFill(tick.dFill, 100, 2, 30);
    EXPECT_EQ(101, tick.nRedWidth);
    EXPECT_TRUE(tick.bHandOver) << "past the width";
    EXPECT_EQ(0.0, tick.dFill);
    EXPECT_EQ(0, AdvanceFill(0, 100, 2, -500).nRedWidth) << "played backwards is no playing";
    double dFill = 0;
    for (int i = 0; i < 40; ++i)
        dFill = AdvanceFill(dFill, 100, 2, 5).dFill;
    EXPECT_DOUBLE_EQ(10.0, dFill);
}

TEST(BandFill, AStepOfZeroOrAnEmptyTextNeverHandsOver) {
    double dFill = 0;
    for (int i = 0; i < 1000; ++i) {
        const LrcFillTick narrow = AdvanceFill(dFill, 24, 5, 200);
        EXPECT_FALSE(narrow.bHandOver);
        dFill = narrow.dFill;
        EXPECT_FALSE(AdvanceFill(0, 0, 1, 200).bHandOver);
    }
    EXPECT_EQ(0, dFill);
}

TEST(BandFill, NoDurationDrawsNothingAndKeepsTheFill) {
    const LrcFillTick tick = AdvanceFill(500, 100, 0, 200);
    EXPECT_FALSE(tick.bDraw);
    EXPECT_EQ(500, tick.dFill);
    EXPECT_FALSE(tick.bHandOver);
}

TEST(BandFill, DurationsBecomeWholeSecondsWithinRange) {
    EXPECT_EQ(2, WholeSeconds(2.99));
    EXPECT_EQ(1, WholeSeconds(1.0));
    EXPECT_EQ(0, WholeSeconds(0.0));
    EXPECT_EQ(0, WholeSeconds(-3.0));
    EXPECT_EQ(0, WholeSeconds(std::nan("")));
    EXPECT_EQ(INT_MAX, WholeSeconds(1e300));
    EXPECT_EQ(0, FillStep(5000, WholeSeconds(1e300)));
}

TEST(WordFill, WordsSungInFullPlusTheShareOfTheOneBeingSung) {
    // Text before "CD" is 20 pixels wide, before "EF" 40, all 60: "AB" is sung from the line's
    // start, "CD" from 1 s, "EF" from 2 s until 4 s.
    const std::vector<LrcWord> words = {{1.0, 2}, {2.0, 4}};
    for (const auto& c : {std::pair<double, int>{-5.0, 0},
                          {0.0, 0},
                          {0.5, 10},
                          {1.0, 20},
                          {1.5, 30},
                          {2.0, 40},
                          {3.0, 50},
                          {3.99, 59},
                          {4.0, 60},
                          {60.0, 60},
                          {std::nan(""), 0}})
        EXPECT_EQ(c.second, WordFillWidth(words, {20, 40}, 60, c.first, 4.0)) << c.first;
    // A line that opens on a word waits for it.
    EXPECT_EQ(0, WordFillWidth({{0.5, 0}, {1.5, 4}}, {0, 40}, 80, 0.49, 2.5));
    EXPECT_EQ(20, WordFillWidth({{0.5, 0}, {1.5, 4}}, {0, 40}, 80, 1.0, 2.5));
    // Two stamps at one place are a pause in the singing: the fill holds from 1 s to 3 s.
    EXPECT_EQ(40, WordFillWidth({{1.0, 4}, {3.0, 4}}, {40, 40}, 80, 2.9, 5.0));
    EXPECT_EQ(60, WordFillWidth({{1.0, 4}, {3.0, 4}}, {40, 40}, 80, 4.0, 5.0));
    // Times out of order stay within the text.
    EXPECT_EQ(80, WordFillWidth({{2.0, 4}, {1.0, 6}}, {40, 60}, 80, 9.0, 0.5));
}
