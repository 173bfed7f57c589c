#include "lyrics/CLyc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "support/TestSupport.h"

namespace {

// Loads text written to a file of its own, as the band would load it.
class LrcFile {
public:
    bool Load(CLyc& lyc, const std::string& bytes) {
        WriteFileBytes(m_dir.File("x.lrc"), bytes);
        return lyc.Load(m_dir.File("x.lrc").c_str());
    }

private:
    ScratchDir m_dir;
};

std::vector<double> Times(const CLyc& lyc) {
    return lyc.m_arrTime;
}

const char kThreeLines[] = "[00:10.00]ten\r\n[00:20.00]twenty\r\n[00:30.00]thirty\r\n";

}  // namespace

TEST(LrcClassify, TagLettersAreMatchedInAnyCase) {
    CLyc lyc;
    EXPECT_EQ(LINE_TITLE, lyc.ClassifyLine("[TI:Song]"));
    EXPECT_EQ(LINE_ARTIST, lyc.ClassifyLine("[Ar:x]"));
    EXPECT_EQ(LINE_ALBUM, lyc.ClassifyLine("[aL:x]"));
    EXPECT_EQ(LINE_BY, lyc.ClassifyLine("[bY:x]"));
    EXPECT_EQ(LINE_OFFSET, lyc.ClassifyLine("[OFFSET:100]"));
    EXPECT_EQ(LINE_OFFSET, lyc.ClassifyLine("[oFfSeT:100]"));
}

TEST(LrcClassify, OnlyTheTwoTagLettersAreLookedAt) {
    CLyc lyc;
    EXPECT_EQ(LINE_TITLE, lyc.ClassifyLine("[tix]"));
    EXPECT_EQ(LINE_TITLE, lyc.ClassifyLine("[ti]"));
    EXPECT_EQ(LINE_ARTIST, lyc.ClassifyLine("[artist:Someone]"));
    // A tag rule wins over a time even when the line has a colon.
    EXPECT_EQ(LINE_TITLE, lyc.ClassifyLine("[ti:00:01.00]x"));
    EXPECT_EQ(LINE_TIME, lyc.ClassifyLine("[offse]:1"));
}

TEST(LrcClassify, BracketedLinesWithAColonAreTimeLines) {
    CLyc lyc;
    EXPECT_EQ(LINE_TIME, lyc.ClassifyLine("[00:01.00]x"));
    EXPECT_EQ(LINE_TIME, lyc.ClassifyLine("[re:Someone]"));
    EXPECT_EQ(LINE_TIME, lyc.ClassifyLine("[length:03:45]"));
    EXPECT_EQ(LINE_TIME, lyc.ClassifyLine("[x]y:z"));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine("[xyz]"));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine("[]"));
}

TEST(LrcClassify, LinesNotOpeningABracketPairAreIgnored) {
    CLyc lyc;
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine(""));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine("["));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine("[00:01.00 no close"));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine("x[00:01.00]y"));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine(" [00:01.00]y"));
}

TEST(LrcTimeTags, MinutesAndSecondsMakeTheKey) {
    CLyc lyc;
    lyc.ParseTimeLine("[01:23.45]Hello");
    ASSERT_EQ(1u, lyc.m_arrTime.size());
    EXPECT_DOUBLE_EQ(83.45, lyc.m_arrTime[0]);
    ASSERT_EQ(1u, lyc.m_mapText.count("83.45"));
    EXPECT_EQ(CString("Hello"), lyc.m_mapText["83.45"]);
}

TEST(LrcTimeTags, SecondsFollowTheLastColonAndMinutesPrecedeTheFirst) {
    CLyc lyc;
    lyc.ParseTimeLine("[01:23:45]x");
    lyc.ParseTimeLine("[length:03:45]");
    lyc.ParseTimeLine("[re:Someone]");
    lyc.ParseTimeLine("[7]seven");
    EXPECT_EQ((std::vector<double>{105.0, 45.0, 0.0, 7.0}), Times(lyc));
    EXPECT_EQ(CString("x"), lyc.m_mapText["105.00"]);
    EXPECT_EQ(CString(""), lyc.m_mapText["45.00"]);
    EXPECT_EQ(CString(""), lyc.m_mapText["0.00"]);
}

TEST(LrcTimeTags, EveryTagOnALineSharesTheTextAfterItsLastBracket) {
    CLyc lyc;
    lyc.ParseTimeLine("[00:12.00][01:05.50]La la");
    lyc.ParseTimeLine("[00:05.00]a]b");
    lyc.ParseTimeLine("[00:10.00]");
    EXPECT_EQ((std::vector<double>{12.0, 65.5, 5.0, 10.0}), Times(lyc));
    EXPECT_EQ(CString("La la"), lyc.m_mapText["12.00"]);
    EXPECT_EQ(CString("La la"), lyc.m_mapText["65.50"]);
    EXPECT_EQ(CString("b"), lyc.m_mapText["5.00"]);
    EXPECT_EQ(CString(""), lyc.m_mapText["10.00"]);
}

TEST(LrcTimeTags, AnOpenBracketInTheTextKeepsSteppingOneByteAtATime) {
    CLyc lyc;
    lyc.ParseTimeLine("[00:05.00]see [note");
    EXPECT_EQ((std::vector<double>{5.0, 0.0, 0.0, 0.0, 0.0, 0.0}), Times(lyc));
    EXPECT_EQ(2u, lyc.m_mapText.size());
    EXPECT_EQ(CString("see [note"), lyc.m_mapText["5.00"]);
    EXPECT_EQ(CString("note"), lyc.m_mapText["0.00"]);
}

TEST(LrcTimeTags, EqualKeysShareAnEntryButEachKeepsItsTime) {
    CLyc lyc;
    lyc.ParseTimeLine("[00:10.00]first");
    lyc.ParseTimeLine("[00:10.001]second");
    EXPECT_EQ(2u, lyc.m_arrTime.size());
    EXPECT_EQ(1u, lyc.m_mapText.size());
    EXPECT_EQ(CString("second"), lyc.m_mapText["10.00"]);
}

TEST(LrcTimeTags, StoredTimesAreTheirKeysReadBack) {
    CLyc lyc;
    lyc.ParseTimeLine("[00:01.239]a");
    lyc.ParseTimeLine("[00:01.005]b");  // 1.005 is just below, as a double
    lyc.ParseTimeLine("[02:59.999]c");
    EXPECT_EQ((std::vector<double>{1.24, 1.0, 180.0}), Times(lyc));
    lyc.ParseTimeLine("[1e300]huge");
    for (double t : lyc.m_arrTime)
        EXPECT_EQ(1u, lyc.m_mapText.count(CLyc::TimeKey(t))) << CLyc::TimeKey(t).GetString();
}

TEST(LrcTimeTags, UnreadableOrOverflowingNumbersCountAsZero) {
    CLyc lyc;
    lyc.ParseTimeLine("[aa:bb]words");
    lyc.ParseTimeLine("[1e400:00]inf");
    lyc.ParseTimeLine("[1e400:-1e400]nan");
    lyc.ParseTimeLine("[0x10:inf]hex");
    EXPECT_EQ((std::vector<double>{0.0, 0.0, 0.0, 0.0}), Times(lyc));
    EXPECT_EQ(1u, lyc.m_mapText.size());
    EXPECT_EQ(CString("hex"), lyc.m_mapText["0.00"]);
}

TEST(LrcTimeTags, NegativeZeroKeepsItsOwnKey) {
    CLyc lyc;
    // The first tag sums to -0; the steps through "x[" read nothing, which is +0.
    lyc.ParseTimeLine("[-0:-0]x[");
    EXPECT_EQ(3u, lyc.m_arrTime.size());
    EXPECT_EQ(CString("x["), lyc.m_mapText["-0.00"]);
    EXPECT_EQ(CString(""), lyc.m_mapText["0.00"]);
}

TEST(LrcTimeTags, AVeryLongLineOfBracketsTakesLinearTime) {
    CLyc lyc;
    const DWORD start = ::GetTickCount();
    lyc.ParseTimeLine(CString(std::string(1000000, '[') + "]:" + std::string(1000000, '[')));
    EXPECT_LT(::GetTickCount() - start, 3000u);
    EXPECT_EQ(1000002u, lyc.m_arrTime.size());
    // The last step's rest is one '['; its text is what is left after it, nothing.
    EXPECT_EQ(CString(""), lyc.m_mapText["0.00"]);
}

TEST(LrcTags, ValueRunsFromAFixedIndexUpToTheLastByte) {
    CLyc lyc;
    lyc.ParseTitle("[ti: Song]");
    EXPECT_EQ(CString(" Song"), lyc.m_strTitle);
    lyc.ParseArtist("[ar:Someone");  // the last byte is dropped, whatever it is
    EXPECT_EQ(CString("Someon"), lyc.m_strArtist);
    lyc.ParseAlbum("[al:X]");
    EXPECT_EQ(CString("X"), lyc.m_strAlbum);
    lyc.ParseBy("[by:]");
    EXPECT_EQ(CString(""), lyc.m_strBy);
    lyc.ParseTitle("[ti]");
    EXPECT_EQ(CString(""), lyc.m_strTitle);
    lyc.ParseTitle("[");
    EXPECT_EQ(CString(""), lyc.m_strTitle);
}

TEST(LrcTags, OffsetIsMillisecondsInTheFile) {
    CLyc lyc;
    lyc.ParseOffset("[offset:+500]");
    EXPECT_DOUBLE_EQ(0.5, lyc.m_dOffset);
    lyc.ParseOffset("[offset:-300]");
    EXPECT_DOUBLE_EQ(-0.3, lyc.m_dOffset);
    lyc.ParseOffset("[offset:soon]");
    EXPECT_DOUBLE_EQ(0.0, lyc.m_dOffset);
    lyc.ParseOffset("[offset]");
    EXPECT_DOUBLE_EQ(0.0, lyc.m_dOffset);
}

TEST(LrcTags, ValuesAreCutAt499BytesOnAWholeCharacter) {
    CLyc lyc;
    lyc.ParseTitle(CString("[ti:" + std::string(600, 't') + "]"));
    EXPECT_EQ(CString(std::string(499, 't')), lyc.m_strTitle);
    lyc.ParseAlbum(CString("[al:" + std::string(499, 'a') + "]"));
    EXPECT_EQ(499, lyc.m_strAlbum.GetLength());
    // 歌 is two bytes: 249 of them fill 498 bytes, and half of the 250th is not kept.
    std::string song;
    for (int i = 0; i < 300; ++i)
        song += "歌";
    lyc.ParseArtist(CString("[ar:" + song + "]"));
    EXPECT_EQ(CString(song.substr(0, 498)), lyc.m_strArtist);
}

TEST(LrcLoad, TagsAndOffsetComeOnlyFromTheirOwnLines) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, "[by:500]\n[00:01.00]x\n"));
    EXPECT_EQ(CString("500"), lyc.m_strBy);
    EXPECT_DOUBLE_EQ(0.0, lyc.m_dOffset);
    EXPECT_EQ(CString("UnKnow"), lyc.m_strTitle);
    EXPECT_EQ(CString("UnKnow"), lyc.m_strArtist);
    EXPECT_EQ(CString("UnKnow"), lyc.m_strAlbum);
}

TEST(LrcLoad, BlankLinesAreSkippedAndTheFileIsReadToItsEnd) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, "[ti:x]\r\n\r\n[00:01.00]one\r\n   \r\n\n[00:02.00]two\r\n\r\n"));
    EXPECT_EQ((std::vector<double>{1.0, 2.0}), Times(lyc));
    EXPECT_DOUBLE_EQ(2.0, lyc.m_dLastTime);
}

TEST(LrcLoad, LeadingSpacesAreDroppedButNotTabs) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, "   [00:01.00]spaced\n\t[00:02.00]tabbed\n"));
    EXPECT_EQ((std::vector<double>{1.0}), Times(lyc));
    EXPECT_EQ(CString("spaced"), lyc.m_mapText["1.00"]);
}

TEST(LrcLoad, LinesEndAsATextModeReadEndsThem) {
    CLyc lyc;
    LrcFile file;
    // A lone CR stays in the line, a NUL ends its line, Ctrl-Z ends the file.
    std::string bytes = "[00:01.00]a\rb\r\n[00:02.00]c";
    bytes += '\0';
    bytes += "d\n[00:03.00]e\x1A\n[00:04.00]f\n";
    ASSERT_TRUE(file.Load(lyc, bytes));
    EXPECT_EQ((std::vector<double>{1.0, 2.0, 3.0}), Times(lyc));
    EXPECT_EQ(CString("a\rb"), lyc.m_mapText["1.00"]);
    EXPECT_EQ(CString("c"), lyc.m_mapText["2.00"]);
    EXPECT_EQ(CString("e"), lyc.m_mapText["3.00"]);
}

TEST(LrcLoad, TimesAreSortedWithEqualTimesKept) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, "[00:30.00]c\n[00:10.00]a\n[00:20.00][00:10.00]b\n"));
    EXPECT_EQ((std::vector<double>{10.0, 10.0, 20.0, 30.0}), Times(lyc));
    EXPECT_DOUBLE_EQ(10.0, lyc.m_dFirstTime);
    EXPECT_DOUBLE_EQ(30.0, lyc.m_dLastTime);
}

TEST(LrcLoad, AFileThatCannotBeOpenedKeepsTheOldTimelineButAnswersNotLoaded) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, std::string("[ti:Old]\n[offset:1000]\n") + kThreeLines));
    EXPECT_FALSE(lyc.Load("Z:\\no\\such\\dir\\song.lrc"));
    EXPECT_FALSE(lyc.m_bLoaded);
    EXPECT_EQ(3u, lyc.m_arrTime.size());
    EXPECT_EQ(CString("Old"), lyc.m_strTitle);
    EXPECT_DOUBLE_EQ(1.0, lyc.m_dOffset);
    EXPECT_DOUBLE_EQ(30.0, lyc.m_dLastTime);
    EXPECT_EQ(CString(" "), lyc.GetCurrentLine(15));
    EXPECT_EQ(CString(" "), lyc.GetNextLine());
    EXPECT_EQ(0.0, lyc.GetLineDuration(15));
}

TEST(LrcLoad, ALoadReplacesThePreviousFileWhole) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, std::string("[ti:Old]\n[offset:1000]\n") + kThreeLines));
    lyc.GetCurrentLine(25);
    ASSERT_TRUE(file.Load(lyc, "[00:05.00]new\n"));
    EXPECT_EQ(CString("UnKnow"), lyc.m_strTitle);
    EXPECT_DOUBLE_EQ(0.0, lyc.m_dOffset);
    EXPECT_EQ(0, lyc.m_nCurIndex);
    EXPECT_EQ((std::vector<double>{5.0}), Times(lyc));
    EXPECT_EQ(1u, lyc.m_mapText.size());
}

TEST(LrcLoad, AFileWithoutTimeLinesLoadsAsNotLoaded) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, kThreeLines));
    EXPECT_TRUE(file.Load(lyc, "[ti:Instrumental]\nno words\n"));
    EXPECT_FALSE(lyc.m_bLoaded);
    EXPECT_TRUE(lyc.m_arrTime.empty());
    EXPECT_EQ(CString("Instrumental"), lyc.m_strTitle);
    EXPECT_DOUBLE_EQ(0.0, lyc.m_dFirstTime);
    EXPECT_DOUBLE_EQ(0.0, lyc.m_dLastTime);
    EXPECT_EQ(CString(" "), lyc.GetCurrentLine(0));
    EXPECT_EQ(CString(" "), lyc.GetNextLine());
    EXPECT_EQ(0.0, lyc.GetLineDuration(0));
    EXPECT_TRUE(file.Load(lyc, ""));
    EXPECT_FALSE(lyc.m_bLoaded);
}

TEST(LrcTimeline, NotLoadedGivesASpaceAndNoDuration) {
    CLyc lyc;
    EXPECT_EQ(CString(" "), lyc.GetCurrentLine(10));
    EXPECT_EQ(CString(" "), lyc.GetNextLine());
    EXPECT_EQ(0.0, lyc.GetLineDuration(10));
}

TEST(LrcTimeline, TheLineInEffectRunsFromItsStartToTheNext) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, kThreeLines));
    EXPECT_EQ(CString("ten"), lyc.GetCurrentLine(10.0));
    EXPECT_EQ(CString("twenty"), lyc.GetNextLine());
    EXPECT_EQ(CString("ten"), lyc.GetCurrentLine(19.99));
    EXPECT_EQ(CString("twenty"), lyc.GetCurrentLine(20.0));
    EXPECT_EQ(1, lyc.m_nCurIndex);
    EXPECT_EQ(CString("thirty"), lyc.GetNextLine());
    EXPECT_EQ(CString("thirty"), lyc.GetCurrentLine(30.0));
    EXPECT_EQ(CString(" "), lyc.GetNextLine());
}

TEST(LrcTimeline, OutsideTheLinesTheEndsShowAndTheIndexStays) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, kThreeLines));
    // Right after loading, before the first line: the first two lines.
    EXPECT_EQ(CString("ten"), lyc.GetCurrentLine(0));
    EXPECT_EQ(CString("twenty"), lyc.GetNextLine());
    lyc.GetCurrentLine(25);
    EXPECT_EQ(CString("ten"), lyc.GetCurrentLine(5));
    EXPECT_EQ(1, lyc.m_nCurIndex);
    EXPECT_EQ(CString("thirty"), lyc.GetCurrentLine(99));
    EXPECT_EQ(1, lyc.m_nCurIndex);
    EXPECT_EQ(CString("thirty"), lyc.GetNextLine());
}

TEST(LrcTimeline, EqualStartTimesTakeTheLaterText) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, "[00:10.00]first\n[00:10.00]later\n[00:20.00]next\n"));
    EXPECT_EQ(CString("later"), lyc.GetCurrentLine(10));
    EXPECT_EQ(1, lyc.m_nCurIndex);
    EXPECT_EQ(CString("next"), lyc.GetNextLine());
    EXPECT_DOUBLE_EQ(10.0, lyc.GetLineDuration(10));
}

TEST(LrcTimeline, TheOffsetShiftsEveryLookup) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, "[offset:500]\n[00:10.00]ten\n[00:20.00]twenty\n"));
    EXPECT_EQ(CString("ten"), lyc.GetCurrentLine(9.6));
    EXPECT_EQ(0, lyc.m_nCurIndex);
    EXPECT_DOUBLE_EQ(10.0, lyc.GetLineDuration(9.6));
    EXPECT_EQ(CString("twenty"), lyc.GetCurrentLine(19.5));
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
    EXPECT_EQ(CString("thirty"), lyc.GetCurrentLine(std::nan("")));
    EXPECT_EQ(CString(" "), lyc.GetNextLine());
    EXPECT_EQ(0.0, lyc.GetLineDuration(std::nan("")));
    EXPECT_EQ(CString("thirty"), lyc.GetCurrentLine(HUGE_VAL));
    EXPECT_EQ(CString("ten"), lyc.GetCurrentLine(-HUGE_VAL));
}
