#include "lyrics/CLyc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "support/TestSupport.h"
#include "LrcFile.h"

namespace {

std::vector<double> Times(const CLyc& lyc) {
    return lyc.Times();
}

}  // namespace

TEST(LrcClassify, TagLettersAreMatchedInAnyCase) {
    CLyc lyc;
    EXPECT_EQ(LINE_TITLE, lyc.ClassifyLine(L"[TI:Song]"));
    EXPECT_EQ(LINE_ARTIST, lyc.ClassifyLine(L"[Ar:x]"));
    EXPECT_EQ(LINE_ALBUM, lyc.ClassifyLine(L"[aL:x]"));
    EXPECT_EQ(LINE_BY, lyc.ClassifyLine(L"[bY:x]"));
    EXPECT_EQ(LINE_OFFSET, lyc.ClassifyLine(L"[OFFSET:100]"));
    EXPECT_EQ(LINE_OFFSET, lyc.ClassifyLine(L"[oFfSeT:100]"));
}

TEST(LrcClassify, OnlyTheTwoTagLettersAreLookedAt) {
    CLyc lyc;
    EXPECT_EQ(LINE_TITLE, lyc.ClassifyLine(L"[tix]"));
    EXPECT_EQ(LINE_TITLE, lyc.ClassifyLine(L"[ti]"));
    EXPECT_EQ(LINE_ARTIST, lyc.ClassifyLine(L"[artist:Someone]"));
    // A tag rule wins over a time even when the line has a colon.
    EXPECT_EQ(LINE_TITLE, lyc.ClassifyLine(L"[ti:00:01.00]x"));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine(L"[offse]:1"));
}

TEST(LrcClassify, OnlyALineOpeningWithAStampIsATimeLine) {
    CLyc lyc;
    EXPECT_EQ(LINE_TIME, lyc.ClassifyLine(L"[00:01.00]x"));
    EXPECT_EQ(LINE_TIME, lyc.ClassifyLine(L"[-0:01]"));
    EXPECT_EQ(LINE_TIME, lyc.ClassifyLine(L"[00:01.00][Drum Solo]"));
    // Spaces just inside the brackets and a comma before the fraction, as editors write them.
    for (const wchar_t* pszLine : {L"[ 00:01.00]x", L"[00:01.00 ]x", L"[  00:01,50  ]x"})
        EXPECT_EQ(LINE_TIME, lyc.ClassifyLine(pszLine));
    // Header tags, with a colon or not, and brackets that merely look like time.
    for (const wchar_t* pszLine : {L"[length:03:45]", L"[length: 2:50]", L"[id: 51037068]", L"[re:Someone]",
                                   L"[ve:1.12.0]", L"[total:225000]", L"[x]y:z", L"[xyz]", L"[]", L"[00 :01.00]x",
                                   L"[00.01.00]x", L"[:01]x", L"[00:01.00>x", L"<00:01.00>x", L"[\t00:01.00]x"})
        EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine(pszLine));
}

TEST(LrcClassify, LinesNotOpeningABracketPairAreIgnored) {
    CLyc lyc;
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine(L""));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine(L"["));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine(L"[00:01.00 no close"));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine(L"x[00:01.00]y"));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine(L" [00:01.00]y"));
    EXPECT_EQ(LINE_OTHER, lyc.ClassifyLine(L"[ti:\x6C92"));  // 沒, whose GBK bytes end in that of ']'
}

TEST(LrcTimeTags, MinutesAndSecondsMakeTheKey) {
    CLyc lyc;
    lyc.ParseTimeLine(L"[01:23.45]Hello");
    ASSERT_EQ(1u, lyc.Times().size());
    EXPECT_DOUBLE_EQ(83.45, lyc.Times()[0]);
    ASSERT_EQ(1u, lyc.Texts().count("83.45"));
    EXPECT_EQ(CStringW(L"Hello"), lyc.Texts().at("83.45"));
}

TEST(LrcTimeTags, EveryLeadingStampSharesTheTextAfterTheRun) {
    CLyc lyc;
    lyc.ParseTimeLine(L"[00:12.00][01:05.50]La la");
    lyc.ParseTimeLine(L"[00:01.00] \t[00:20.00] spaced");
    lyc.ParseTimeLine(L"[00:10.00]");
    EXPECT_EQ((std::vector<double>{12.0, 65.5, 1.0, 20.0, 10.0}), Times(lyc));
    EXPECT_EQ(CStringW(L"La la"), lyc.Texts().at("12.00"));
    EXPECT_EQ(CStringW(L"La la"), lyc.Texts().at("65.50"));
    EXPECT_EQ(CStringW(L"spaced"), lyc.Texts().at("1.00"));
    EXPECT_EQ(CStringW(L"spaced"), lyc.Texts().at("20.00"));
    EXPECT_EQ(CStringW(L""), lyc.Texts().at("10.00"));
    EXPECT_TRUE(lyc.WordKeys().empty());
}

TEST(LrcTimeTags, BracketsThatAreNotStampsAreText) {
    CLyc lyc;
    lyc.ParseTimeLine(L"[00:05.00]see [note");
    lyc.ParseTimeLine(L"[00:06.00]a]b");
    lyc.ParseTimeLine(L"[00:07.00][Drum Solo] <x> [00:01] y");
    EXPECT_EQ((std::vector<double>{5.0, 6.0, 7.0}), Times(lyc));
    EXPECT_EQ(CStringW(L"see [note"), lyc.Texts().at("5.00"));
    EXPECT_EQ(CStringW(L"a]b"), lyc.Texts().at("6.00"));
    // [00:01] after the text has begun is a word timing, not text.
    EXPECT_EQ(CStringW(L"[Drum Solo] <x> y"), lyc.Texts().at("7.00"));
}

// A word stamp between two spaced words leaves one space, and its word starts at its first letter.
TEST(LrcTimeTags, WordStampsLeaveTheSpacesTheWordsHad) {
    const struct {
        const wchar_t* pszLine;
        const wchar_t* pszText;
        std::vector<int> offsets;
    } cases[] = {
        {L"[00:01.00]hello <00:01.50>world", L"hello world", {6}},
        {L"[00:01.00]hello <00:01.50> world", L"hello world", {6}},
        {L"[00:01.00]hello<00:01.50> world", L"hello world", {5}},
        {L"[00:01.00]<00:01.00> feel <00:01.20> the <00:01.40> rhythm <00:01.60> rise",
         L"feel the rhythm rise",
         {0, 5, 9, 16}},
        {L"[00:01.00]feel <00:01.20>the <00:01.40>rhythm <00:01.60>rise", L"feel the rhythm rise", {5, 9, 16}},
        {L"[00:01.00]a\t[00:01.50]\tb", L"a\tb", {2}},
        {L"[00:01.00]风<00:01.50>吹", L"风吹", {1}},
        {L"[00:01.00]two  spaces <00:01.50>kept", L"two  spaces kept", {12}},
        {L"[00:01.00]end <00:02.00>  ", L"end", {3}},
    };
    for (const auto& c : cases) {
        CLyc lyc;
        lyc.ParseTimeLine(c.pszLine);
        EXPECT_EQ(CStringW(c.pszText), lyc.Texts().at("1.00")) << CStringW(c.pszLine).ToUtf8();
        std::vector<int> offsets;
        if (lyc.WordKeys().count("1.00"))
            for (const LrcWord& word : lyc.WordLists().at(lyc.WordKeys().at("1.00")))
                offsets.push_back(word.nOffset);
        EXPECT_EQ(c.offsets, offsets) << CStringW(c.pszLine).ToUtf8();
    }
}

TEST(LrcTimeTags, EqualKeysShareOneTimeAndTheLaterLinesTranslateTheFirst) {
    CLyc lyc;
    lyc.ParseTimeLine(L"[00:10.00]first");
    lyc.ParseTimeLine(L"[00:10.001]second");
    lyc.ParseTimeLine(L"[00:10.00]<00:10.50>third");
    lyc.ParseTimeLine(L"[00:10.00]   ");  // an empty line translates nothing
    EXPECT_EQ((std::vector<double>{10.0}), Times(lyc));
    EXPECT_EQ(CStringW(L"first"), lyc.Texts().at("10.00"));
    EXPECT_EQ(CStringW(L"second  third"), lyc.Translations().at("10.00"));
    EXPECT_TRUE(lyc.WordKeys().empty()) << "a translation's word timings are not the original's";
    // A bare stamp only stood for the line that follows it with the same time.
    lyc.ParseTimeLine(L"[00:20.00]");
    lyc.ParseTimeLine(L"[00:20.00]<00:20.50>sung");
    lyc.ParseTimeLine(L"[00:20.00]唱");
    EXPECT_EQ(CStringW(L"sung"), lyc.Texts().at("20.00"));
    EXPECT_EQ(CStringW(L"唱"), lyc.Translations().at("20.00"));
    EXPECT_EQ(1u, lyc.WordKeys().count("20.00"));
}

TEST(LrcTimeTags, StoredTimesAreTheirKeysReadBack) {
    CLyc lyc;
    lyc.ParseTimeLine(L"[00:01.239]a");
    lyc.ParseTimeLine(L"[00:01.005]b");  // 1.005 is just below, as a double
    lyc.ParseTimeLine(L"[02:59.999]c");
    EXPECT_EQ((std::vector<double>{1.24, 1.0, 180.0}), Times(lyc));
    lyc.ParseTimeLine(L"[99999999999:00.001]huge");
    lyc.ParseTimeLine(L"[-00:00.001]z");
    for (double t : lyc.Times())
        EXPECT_EQ(1u, lyc.Texts().count(CLyc::TimeKey(t))) << CLyc::TimeKey(t).GetString();
}

TEST(LrcTimeTags, ALineNotOpeningWithAStampAddsNothing) {
    CLyc lyc;
    // Minutes past what a double holds make no time either.
    const std::string strHuge = "[" + std::string(400, '9') + ":00]huge";
    for (const std::string& strLine :
         {std::string("[aa:bb]words"), std::string("[1e400:00]inf"), std::string("[0x10:inf]hex"),
          std::string("[length:03:45]"), std::string("[7]seven"), std::string("x[00:01.00]y"), strHuge})
        lyc.ParseTimeLine(std::wstring(strLine.begin(), strLine.end()));
    EXPECT_TRUE(lyc.Times().empty());
    EXPECT_TRUE(lyc.Texts().empty());
}

TEST(LrcTimeTags, ANegativeStartIsKeptAndANegativeZeroIsZero) {
    CLyc lyc;
    lyc.ParseTimeLine(L"[-01:30.50]early");
    lyc.ParseTimeLine(L"[-00:00.00]zero");
    lyc.ParseTimeLine(L"[00:00.00]later zero");
    EXPECT_EQ((std::vector<double>{-90.5, 0.0}), Times(lyc));
    EXPECT_FALSE(std::signbit(lyc.Times()[1]));
    EXPECT_EQ(CStringW(L"early"), lyc.Texts().at("-90.50"));
    EXPECT_EQ(2u, lyc.Texts().size());
    EXPECT_EQ(CStringW(L"zero"), lyc.Texts().at("0.00"));
    EXPECT_EQ(CStringW(L"later zero"), lyc.Translations().at("0.00"));
}

TEST(LrcTimeTags, VeryLongLinesTakeLinearTime) {
    CLyc lyc;
    std::string stamps;
    for (int i = 0; i < 100000; ++i)
        stamps += "[00:01.00]";
    const DWORD start = ThreadCpuMilliseconds();
    const std::wstring wideStamps(stamps.begin(), stamps.end());
    lyc.ParseTimeLine(wideStamps + std::wstring(1000000, L'[') + wideStamps);
    lyc.ParseTimeLine(L"[00:02.00]" + std::wstring(1000000, L'\x4E2D'));
    EXPECT_LT(ThreadCpuMilliseconds() - start, 3000u);
    EXPECT_EQ(2u, lyc.Times().size());
    EXPECT_EQ(1000000, lyc.Texts().at("1.00").GetLength());
    EXPECT_EQ(100000u, lyc.WordLists().at(lyc.WordKeys().at("1.00")).size());
}

TEST(LrcTags, ValueRunsFromAFixedIndexToTheClosingBracket) {
    CLyc lyc;
    lyc.ParseTitle(L"[ti: Song]");
    EXPECT_EQ(CStringW(L"Song"), lyc.Title());
    lyc.ParseArtist(L"[ar:Someone");  // nothing closes it
    EXPECT_EQ(CStringW(L"Someone"), lyc.Artist());
    lyc.ParseAlbum(L"[al:X]");
    EXPECT_EQ(CStringW(L"X"), lyc.Album());
    lyc.ParseBy(L"[by:]");
    EXPECT_EQ(CStringW(L""), lyc.By());
    lyc.ParseTitle(L"[ti]");
    EXPECT_EQ(CStringW(L""), lyc.Title());
    lyc.ParseTitle(L"[");
    EXPECT_EQ(CStringW(L""), lyc.Title());
    // What stands after the closing bracket is not the value; brackets inside it pair up.
    lyc.ParseArtist(L"[ar:x] \x6C92]");
    EXPECT_EQ(CStringW(L"x"), lyc.Artist());
    lyc.ParseTitle(L"[ti:Song [Live]]  // 2019");
    EXPECT_EQ(CStringW(L"Song [Live]"), lyc.Title());
    lyc.ParseTitle(L"[ti]abc");
    EXPECT_EQ(CStringW(L""), lyc.Title());
}

TEST(LrcTags, ValuesAreTrimmedOfSpacesAndTabs) {
    const struct {
        const wchar_t* pszLine;
        const wchar_t* pszValue;
    } cases[] = {
        {L"[ti:  Title with spaces  ]", L"Title with spaces"},
        {L"[ti:\tTabbed\t]", L"Tabbed"},
        {L"[ti: \t ]", L""},
        {L"[ti:inner  spaces kept]", L"inner  spaces kept"},
        {L"[ti: Song [Live] ]", L"Song [Live]"},
        {L"[ti:  open", L"open"},
        {L"[ti:\x3000wide\x3000]", L"\x3000wide\x3000"},
    };
    for (const auto& c : cases) {
        CLyc lyc;
        lyc.ParseTitle(c.pszLine);
        EXPECT_EQ(CStringW(c.pszValue), lyc.Title()) << CStringW(c.pszLine).ToUtf8();
    }
}

TEST(LrcTags, OffsetIsMillisecondsInTheFile) {
    CLyc lyc;
    lyc.ParseOffset(L"[offset:+500]");
    EXPECT_DOUBLE_EQ(0.5, lyc.Offset());
    lyc.ParseOffset(L"[offset:-300]");
    EXPECT_DOUBLE_EQ(-0.3, lyc.Offset());
    lyc.ParseOffset(L"[offset:soon]");
    EXPECT_DOUBLE_EQ(0.0, lyc.Offset());
    lyc.ParseOffset(L"[offset]");
    EXPECT_DOUBLE_EQ(0.0, lyc.Offset());
}

TEST(LrcTags, ValuesAreCutAt499CodeUnitsOnAWholeCharacter) {
    CLyc lyc;
    lyc.ParseTitle(L"[ti:" + std::wstring(600, L't') + L"]");
    EXPECT_EQ(CStringW(std::wstring(499, L't')), lyc.Title());
    lyc.ParseAlbum(L"[al:" + std::wstring(499, L'a') + L"]");
    EXPECT_EQ(499, lyc.Album().GetLength());
    // 😀 is a surrogate pair: 249 of them fill 498 code units, and half of the 250th is not kept.
    std::wstring emoji;
    for (int i = 0; i < 300; ++i)
        emoji += L"\xD83D\xDE00";
    lyc.ParseArtist(L"[ar:" + emoji + L"]");
    EXPECT_EQ(CStringW(emoji.substr(0, 498)), lyc.Artist());
}

TEST(LrcLoad, TagsAndOffsetComeOnlyFromTheirOwnLines) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, "[by:500]\n[00:01.00]x\n"));
    EXPECT_EQ(CStringW(L"500"), lyc.By());
    EXPECT_DOUBLE_EQ(0.0, lyc.Offset());
    EXPECT_EQ(CStringW(L"UnKnow"), lyc.Title());
    EXPECT_EQ(CStringW(L"UnKnow"), lyc.Artist());
    EXPECT_EQ(CStringW(L"UnKnow"), lyc.Album());
}

TEST(LrcLoad, BlankLinesAreSkippedAndTheFileIsReadToItsEnd) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, "[ti:x]\r\n\r\n[00:01.00]one\r\n   \r\n\n[00:02.00]two\r\n\r\n"));
    EXPECT_EQ((std::vector<double>{1.0, 2.0}), Times(lyc));
    EXPECT_DOUBLE_EQ(2.0, lyc.LastTime());
}

TEST(LrcLoad, LeadingSpacesAreDroppedButNotTabs) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, "   [00:01.00]spaced\n\t[00:02.00]tabbed\n"));
    EXPECT_EQ((std::vector<double>{1.0}), Times(lyc));
    EXPECT_EQ(CStringW(L"spaced"), lyc.Texts().at("1.00"));
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
    EXPECT_EQ(CStringW(L"a"), lyc.Texts().at("1.00"));
    EXPECT_EQ(CStringW(L"b"), lyc.Texts().at("1.50"));
    EXPECT_EQ(CStringW(L"c"), lyc.Texts().at("2.00"));
    EXPECT_EQ(CStringW(L"e"), lyc.Texts().at("3.00"));
}

TEST(LrcLoad, TimesAreSortedOncePerKey) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, "[00:30.00]c\n[00:10.00]a\n[00:20.00][00:10.00]b\n"));
    EXPECT_EQ((std::vector<double>{10.0, 20.0, 30.0}), Times(lyc));
    EXPECT_DOUBLE_EQ(10.0, lyc.FirstTime());
    EXPECT_DOUBLE_EQ(30.0, lyc.LastTime());
}

TEST(LrcLoad, AFileThatCannotBeOpenedKeepsTheOldTimelineButAnswersNotLoaded) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, std::string("[ti:Old]\n[offset:1000]\n") + kThreeLines));
    EXPECT_FALSE(lyc.Load(L"Z:\\no\\such\\dir\\song.lrc"));
    EXPECT_FALSE(lyc.IsLoaded());
    EXPECT_EQ(3u, lyc.Times().size());
    EXPECT_EQ(CStringW(L"Old"), lyc.Title());
    EXPECT_DOUBLE_EQ(1.0, lyc.Offset());
    EXPECT_DOUBLE_EQ(30.0, lyc.LastTime());
    EXPECT_EQ(CStringW(L" "), lyc.GetCurrentLine(15));
    EXPECT_EQ(CStringW(L" "), lyc.GetNextLine());
    EXPECT_EQ(0.0, lyc.GetLineDuration(15));
}

TEST(LrcLoad, ALoadReplacesThePreviousFileWhole) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, std::string("[ti:Old]\n[offset:1000]\n") + kThreeLines));
    lyc.GetCurrentLine(25);
    ASSERT_TRUE(file.Load(lyc, "[00:05.00]new\n"));
    EXPECT_EQ(CStringW(L"UnKnow"), lyc.Title());
    EXPECT_DOUBLE_EQ(0.0, lyc.Offset());
    EXPECT_EQ(0, lyc.CurrentIndex());
    EXPECT_EQ((std::vector<double>{5.0}), Times(lyc));
    EXPECT_EQ(1u, lyc.Texts().size());
}

TEST(LrcLoad, AFileWithoutTimeLinesLoadsAsNotLoaded) {
    CLyc lyc;
    LrcFile file;
    ASSERT_TRUE(file.Load(lyc, kThreeLines));
    EXPECT_TRUE(file.Load(lyc, "[ti:Instrumental]\nno words\n"));
    EXPECT_FALSE(lyc.IsLoaded());
    EXPECT_TRUE(lyc.Times().empty());
    EXPECT_EQ(CStringW(L"Instrumental"), lyc.Title());
    EXPECT_DOUBLE_EQ(0.0, lyc.FirstTime());
    EXPECT_DOUBLE_EQ(0.0, lyc.LastTime());
    EXPECT_EQ(CStringW(L" "), lyc.GetCurrentLine(0));
    EXPECT_EQ(CStringW(L" "), lyc.GetNextLine());
    EXPECT_EQ(0.0, lyc.GetLineDuration(0));
    EXPECT_TRUE(file.Load(lyc, ""));
    EXPECT_FALSE(lyc.IsLoaded());
}
