// The line in effect at a song position: its text, translation, words and duration.
#include "lyrics/CLyc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "LrcFile.h"

TEST(LrcTimeline, NotLoadedGivesASpaceAndNoDuration) {
    CLyc lyc;
    EXPECT_EQ(CStringW(L" "), lyc.GetCurrentLine(10));
    EXPECT_EQ(CStringW(L" "), lyc.GetNextLine());
    EXPECT_EQ(0.0, lyc.GetLineDuration(10));
}

TEST(LrcTimeline, TheLineInEffectRunsFromItsStartToTheNext) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, kThreeLines));
    EXPECT_EQ(CStringW(L"ten"), lyc.GetCurrentLine(10.0));
    EXPECT_EQ(CStringW(L"twenty"), lyc.GetNextLine());
    EXPECT_EQ(CStringW(L"ten"), lyc.GetCurrentLine(19.99));
    EXPECT_EQ(CStringW(L"twenty"), lyc.GetCurrentLine(20.0));
    EXPECT_EQ(1, lyc.CurrentIndex());
    EXPECT_EQ(CStringW(L"thirty"), lyc.GetNextLine());
    EXPECT_EQ(CStringW(L"thirty"), lyc.GetCurrentLine(30.0));
    EXPECT_EQ(CStringW(L" "), lyc.GetNextLine());
}

TEST(LrcTimeline, OutsideTheLinesTheEndsShowAndTheIndexStays) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, kThreeLines));
    // Right after loading, before the first line: the first two lines.
    EXPECT_EQ(CStringW(L"ten"), lyc.GetCurrentLine(0));
    EXPECT_EQ(CStringW(L"twenty"), lyc.GetNextLine());
    lyc.GetCurrentLine(25);
    EXPECT_EQ(CStringW(L"ten"), lyc.GetCurrentLine(5));
    EXPECT_EQ(1, lyc.CurrentIndex());
    EXPECT_EQ(CStringW(L"thirty"), lyc.GetCurrentLine(99));
    EXPECT_EQ(1, lyc.CurrentIndex());
    EXPECT_EQ(CStringW(L"thirty"), lyc.GetNextLine());
}

TEST(LrcTimeline, EqualStartTimesGiveTheFirstTextWithTheLaterAsItsTranslation) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, "[00:10.00]first\n[00:10.00]later\n[00:20.00]next\n"));
    EXPECT_EQ(CStringW(L"first"), lyc.GetCurrentLine(10));
    EXPECT_EQ(0, lyc.CurrentIndex());
    EXPECT_EQ(CStringW(L"later"), lyc.GetLineTranslation(0));
    EXPECT_EQ(CStringW(L"next"), lyc.GetNextLine());
    EXPECT_TRUE(lyc.GetLineTranslation(1).IsEmpty());
    EXPECT_TRUE(lyc.GetLineTranslation(2).IsEmpty());
    EXPECT_DOUBLE_EQ(10.0, lyc.GetLineDuration(10));
}

TEST(LrcTimeline, TheOffsetShiftsEveryLookup) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, "[offset:500]\n[00:10.00]ten\n[00:20.00]twenty\n"));
    EXPECT_EQ(CStringW(L"ten"), lyc.GetCurrentLine(9.6));
    EXPECT_EQ(0, lyc.CurrentIndex());
    EXPECT_DOUBLE_EQ(10.0, lyc.GetLineDuration(9.6));
    EXPECT_EQ(CStringW(L"twenty"), lyc.GetCurrentLine(19.5));
    EXPECT_EQ(0.0, lyc.GetLineDuration(9.4));
}

TEST(LrcTimeline, DurationIsAtLeastASecondAndNoneForTheLastLine) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, "[00:10.00]a\n[00:10.40]b\n[00:13.50]c\n"));
    EXPECT_DOUBLE_EQ(1.0, lyc.GetLineDuration(10.0));
    EXPECT_NEAR(3.1, lyc.GetLineDuration(10.4), 1e-9);
    EXPECT_EQ(0.0, lyc.GetLineDuration(13.5));
    EXPECT_EQ(0.0, lyc.GetLineDuration(9.99));
    EXPECT_EQ(0.0, lyc.GetLineDuration(13.51));
}

TEST(LrcTimeline, PositionsThatAreNotNumbersAnswerWithoutFailing) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, kThreeLines));
    EXPECT_EQ(CStringW(L"thirty"), lyc.GetCurrentLine(std::nan("")));
    EXPECT_EQ(CStringW(L" "), lyc.GetNextLine());
    EXPECT_EQ(0.0, lyc.GetLineDuration(std::nan("")));
    EXPECT_EQ(CStringW(L"thirty"), lyc.GetCurrentLine(HUGE_VAL));
    EXPECT_EQ(CStringW(L"ten"), lyc.GetCurrentLine(-HUGE_VAL));
}

TEST(LrcTimeline, TheLineInEffectGivesItsWords) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc,
                          "[offset:500]\n[00:10.00]a<00:10.50>b\n[00:20.00]plain\n[00:20.00]c[00:21.00]d\n"
                          "[00:30.00]e<00:31.00>f\n[00:30.00]no words\n"));
    lyc.GetCurrentLine(9.5);
    const std::vector<LrcWord>& first = lyc.GetLineWords(lyc.CurrentIndex());
    ASSERT_EQ(1u, first.size());
    EXPECT_DOUBLE_EQ(0.5, first[0].dStart);
    EXPECT_EQ(1, first[0].nOffset);
    // Of equal times the first line is the one sung, with its words or without them.
    EXPECT_EQ(CStringW(L"plain"), lyc.GetCurrentLine(20));
    EXPECT_TRUE(lyc.GetLineWords(lyc.CurrentIndex()).empty());
    EXPECT_EQ(CStringW(L"cd"), lyc.GetLineTranslation(lyc.CurrentIndex()));
    EXPECT_EQ(CStringW(L"ef"), lyc.GetCurrentLine(29.5));
    ASSERT_EQ(1u, lyc.GetLineWords(lyc.CurrentIndex()).size());
    EXPECT_TRUE(lyc.GetLineWords(-1).empty());
    EXPECT_TRUE(lyc.GetLineWords(static_cast<int>(lyc.Times().size())).empty());
    EXPECT_FALSE(lyc.Load(L"Z:\\no\\such\\dir\\song.lrc"));
    EXPECT_TRUE(lyc.GetLineWords(0).empty());
}
