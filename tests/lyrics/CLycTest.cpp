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
        return lyc.Load(Widen(m_dir.File("x.lrc")));
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
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine("[offse]:1"));
}

TEST(LrcClassify, OnlyALineOpeningWithAStampIsATimeLine) {
    CLyc lyc;
    EXPECT_EQ(LINE_TIME, lyc.ClassifyLine("[00:01.00]x"));
    EXPECT_EQ(LINE_TIME, lyc.ClassifyLine("[-0:01]"));
    EXPECT_EQ(LINE_TIME, lyc.ClassifyLine("[00:01.00][Drum Solo]"));
    // Header tags, with a colon or not, and brackets that merely look like time.
    for (const char* pszLine : {"[length:03:45]", "[length: 2:50]", "[id: 51037068]", "[re:Someone]", "[ve:1.12.0]",
                                "[total:225000]", "[x]y:z", "[xyz]", "[]", "[ 00:01.00]x", "[00:01.00 ]x",
                                "[00.01.00]x", "[:01]x", "[00:01.00>x", "<00:01.00>x"})
        EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine(pszLine)) << pszLine;
}

TEST(LrcClassify, LinesNotOpeningABracketPairAreIgnored) {
    CLyc lyc;
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine(""));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine("["));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine("[00:01.00 no close"));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine("x[00:01.00]y"));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine(" [00:01.00]y"));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine("[ti:\x9B\x5D"));  // 沒 ends in the byte of ']'
}

TEST(LrcTimeTags, MinutesAndSecondsMakeTheKey) {
    CLyc lyc;
    lyc.ParseTimeLine("[01:23.45]Hello");
    ASSERT_EQ(1u, lyc.m_arrTime.size());
    EXPECT_DOUBLE_EQ(83.45, lyc.m_arrTime[0]);
    ASSERT_EQ(1u, lyc.m_mapText.count("83.45"));
    EXPECT_EQ(CString("Hello"), lyc.m_mapText["83.45"]);
}

TEST(LrcTimeTags, EveryLeadingStampSharesTheTextAfterTheRun) {
    CLyc lyc;
    lyc.ParseTimeLine("[00:12.00][01:05.50]La la");
    lyc.ParseTimeLine("[00:01.00] \t[00:20.00] spaced");
    lyc.ParseTimeLine("[00:10.00]");
    EXPECT_EQ((std::vector<double>{12.0, 65.5, 1.0, 20.0, 10.0}), Times(lyc));
    EXPECT_EQ(CString("La la"), lyc.m_mapText["12.00"]);
    EXPECT_EQ(CString("La la"), lyc.m_mapText["65.50"]);
    // Text is not trimmed: the space after the run belongs to it.
    EXPECT_EQ(CString(" spaced"), lyc.m_mapText["1.00"]);
    EXPECT_EQ(CString(" spaced"), lyc.m_mapText["20.00"]);
    EXPECT_EQ(CString(""), lyc.m_mapText["10.00"]);
    EXPECT_TRUE(lyc.m_mapWords.empty());
}

TEST(LrcTimeTags, BracketsThatAreNotStampsAreText) {
    CLyc lyc;
    lyc.ParseTimeLine("[00:05.00]see [note");
    lyc.ParseTimeLine("[00:06.00]a]b");
    lyc.ParseTimeLine("[00:07.00][Drum Solo] <x> [00:01] y");
    EXPECT_EQ((std::vector<double>{5.0, 6.0, 7.0}), Times(lyc));
    EXPECT_EQ(CString("see [note"), lyc.m_mapText["5.00"]);
    EXPECT_EQ(CString("a]b"), lyc.m_mapText["6.00"]);
    // [00:01] after the text has begun is a word timing, not text.
    EXPECT_EQ(CString("[Drum Solo] <x>  y"), lyc.m_mapText["7.00"]);
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
    lyc.ParseTimeLine("[99999999999:00.001]huge");
    lyc.ParseTimeLine("[-00:00.001]z");
    for (double t : lyc.m_arrTime)
        EXPECT_EQ(1u, lyc.m_mapText.count(CLyc::TimeKey(t))) << CLyc::TimeKey(t).GetString();
}

TEST(LrcTimeTags, ALineNotOpeningWithAStampAddsNothing) {
    CLyc lyc;
    // Minutes past what a double holds make no time either.
    const std::string strHuge = "[" + std::string(400, '9') + ":00]huge";
    for (const char* pszLine : {"[aa:bb]words", "[1e400:00]inf", "[0x10:inf]hex", "[length:03:45]", "[7]seven",
                                "x[00:01.00]y", strHuge.c_str()})
        lyc.ParseTimeLine(pszLine);
    EXPECT_TRUE(lyc.m_arrTime.empty());
    EXPECT_TRUE(lyc.m_mapText.empty());
}

TEST(LrcTimeTags, ANegativeStartIsKeptAndANegativeZeroIsZero) {
    CLyc lyc;
    lyc.ParseTimeLine("[-01:30.50]early");
    lyc.ParseTimeLine("[-00:00.00]zero");
    lyc.ParseTimeLine("[00:00.00]later zero");
    EXPECT_EQ((std::vector<double>{-90.5, 0.0, 0.0}), Times(lyc));
    EXPECT_FALSE(std::signbit(lyc.m_arrTime[1]));
    EXPECT_EQ(CString("early"), lyc.m_mapText["-90.50"]);
    EXPECT_EQ(2u, lyc.m_mapText.size());
    EXPECT_EQ(CString("later zero"), lyc.m_mapText["0.00"]);
}

TEST(LrcTimeTags, VeryLongLinesTakeLinearTime) {
    CLyc lyc;
    std::string stamps;
    for (int i = 0; i < 100000; ++i)
        stamps += "[00:01.00]";
    const DWORD start = ThreadCpuMilliseconds();
    lyc.ParseTimeLine(CString(stamps + std::string(1000000, '[') + stamps));
    lyc.ParseTimeLine(CString("[00:02.00]" + std::string(1000000, '\xDF')));
    EXPECT_LT(ThreadCpuMilliseconds() - start, 3000u);
    EXPECT_EQ(100001u, lyc.m_arrTime.size());
    EXPECT_EQ(1000000, lyc.m_mapText["1.00"].GetLength());
    EXPECT_EQ(100000u, lyc.m_arrWords.at(lyc.m_mapWords.at("1.00")).size());
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
    // The last character goes whole, and a value never starts inside one.
    lyc.ParseArtist("[ar:x]\x9B\x5D");
    EXPECT_EQ(CString("x]"), lyc.m_strArtist);
    lyc.ParseTitle("[ti\xB8\xE8]");
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

TEST(LrcLoad, LinesEndAtCrLfLfOrALoneCr) {
    CLyc lyc;
    LrcFile file;
    // A lone CR ends a line, a NUL ends its line, Ctrl-Z ends the file.
    std::string bytes = "[00:01.00]a\r[00:01.50]b\r\n[00:02.00]c";
    bytes += '\0';
    bytes += "d\n[00:03.00]e\x1A\n[00:04.00]f\n";
    ASSERT_TRUE(file.Load(lyc, bytes));
    EXPECT_EQ((std::vector<double>{1.0, 1.5, 2.0, 3.0}), Times(lyc));
    EXPECT_EQ(CString("a"), lyc.m_mapText["1.00"]);
    EXPECT_EQ(CString("b"), lyc.m_mapText["1.50"]);
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
    EXPECT_FALSE(lyc.Load(L"Z:\\no\\such\\dir\\song.lrc"));
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

TEST(LrcTimeline, TheLineInEffectGivesItsWords) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc,
                          "[offset:500]\n[00:10.00]a<00:10.50>b\n[00:20.00]plain\n[00:20.00]c[00:21.00]d\n"
                          "[00:30.00]e<00:31.00>f\n[00:30.00]no words\n"));
    lyc.GetCurrentLine(9.5);
    const std::vector<LrcWord>& first = lyc.GetLineWords(lyc.m_nCurIndex);
    ASSERT_EQ(1u, first.size());
    EXPECT_DOUBLE_EQ(0.5, first[0].dStart);
    EXPECT_EQ(1, first[0].nOffset);
    // Of equal times the later line wins, with its words or without them.
    EXPECT_EQ(CString("cd"), lyc.GetCurrentLine(20));
    ASSERT_EQ(1u, lyc.GetLineWords(lyc.m_nCurIndex).size());
    EXPECT_EQ(CString("no words"), lyc.GetCurrentLine(29.5));
    EXPECT_TRUE(lyc.GetLineWords(lyc.m_nCurIndex).empty());
    EXPECT_TRUE(lyc.GetLineWords(-1).empty());
    EXPECT_TRUE(lyc.GetLineWords(static_cast<int>(lyc.m_arrTime.size())).empty());
    EXPECT_FALSE(lyc.Load(L"Z:\\no\\such\\dir\\song.lrc"));
    EXPECT_TRUE(lyc.GetLineWords(0).empty());
}
