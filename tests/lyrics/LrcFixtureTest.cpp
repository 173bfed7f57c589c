// Each fixtures/NAME.lrc must load into the timeline written in fixtures/NAME.expected, word
// timings and translations included.
// The expected files are UTF-8 so that they read plainly; the timeline is UTF-16 and is
// converted for the comparison.
#include "lyrics/CLyc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/TestSupport.h"

namespace {

std::string Number(const char* pszFormat, double d) {
    char buf[64];
    std::snprintf(buf, sizeof(buf), pszFormat, d);
    return buf;
}

std::string Dump(const CLyc& lyc) {
    std::string out;
    out += std::string("loaded: ") + (lyc.IsLoaded() ? "yes" : "no") + "\n";
    out += "title: " + lyc.Title().ToUtf8() + "\n";
    out += "artist: " + lyc.Artist().ToUtf8() + "\n";
    out += "album: " + lyc.Album().ToUtf8() + "\n";
    out += "by: " + lyc.By().ToUtf8() + "\n";
    out += "offset: " + Number("%.3f", lyc.Offset()) + "\n";
    out += "first: " + Number("%.2f", lyc.FirstTime()) + "\n";
    out += "last: " + Number("%.2f", lyc.LastTime()) + "\n";
    out += "times:";
    for (double t : lyc.Times())
        out += " " + Number("%.2f", t);
    out += "\n";
    for (const auto& entry : lyc.Texts()) {
        out += "[" + entry.first.Str() + "]" + entry.second.ToUtf8() + "\n";
        const auto translation = lyc.Translations().find(entry.first);
        if (translation != lyc.Translations().end())
            out += "  translation: " + translation->second.ToUtf8() + "\n";
        // Word timings: the text with each word's start in the song put in where the word begins.
        const auto words = lyc.WordKeys().find(entry.first);
        if (words == lyc.WordKeys().end())
            continue;
        std::string strMarked;
        int nCopied = 0;
        for (const LrcWord& word : lyc.WordLists().at(words->second)) {
            strMarked += entry.second.Mid(nCopied, word.nOffset - nCopied).ToUtf8();
            strMarked += "<" + Number("%.2f", std::atof(entry.first) + word.dStart) + ">";
            nCopied = word.nOffset;
        }
        strMarked += entry.second.Mid(nCopied).ToUtf8();
        out += "  words: " + strMarked + "\n";
    }
    return out;
}

void ExpectFixture(const std::string& name) {
    CLyc lyc;
    ASSERT_TRUE(lyc.Load(Widen(TestDataPath("lyrics/fixtures/" + name + ".lrc"))));
    const std::string expected = ReadFileBytes(TestDataPath("lyrics/fixtures/" + name + ".expected"));
    ASSERT_FALSE(expected.empty()) << name;
    EXPECT_EQ(expected, Dump(lyc)) << name;
}

}  // namespace

TEST(LrcFixture, GbkSongWithHeaderTagsAndSharedTimes) {
    ExpectFixture("gbk-song");
}

TEST(LrcFixture, BlankLinesDoNotEndTheFile) {
    ExpectFixture("blank-lines");
}

TEST(LrcFixture, Utf8WithBomKeepsEveryCharacter) {
    ExpectFixture("utf8-bom");
}

TEST(LrcFixture, Utf8WithoutBomIsRecognisedAndKeepsEveryCharacter) {
    ExpectFixture("utf8");
}

TEST(LrcFixture, Utf16LittleEndianKeepsEveryCharacter) {
    ExpectFixture("utf16le");
}

TEST(LrcFixture, Utf16BigEndianKeepsEveryCharacter) {
    ExpectFixture("utf16be");
}

TEST(LrcFixture, LongTagValuesAreCut) {
    ExpectFixture("long-tags");
}

TEST(LrcFixture, TagsWithoutTimeLinesLoadAsNotLoaded) {
    ExpectFixture("tags-only");
}

TEST(LrcFixture, OddLinesFollowTheLineRules) {
    ExpectFixture("odd-lines");
}

TEST(LrcFixture, TraditionalCharactersEndingInBracketBytesStayWhole) {
    ExpectFixture("traditional");
}

TEST(LrcFixture, HeaderTagsAddNoTimes) {
    ExpectFixture("header-tags");
}

TEST(LrcFixture, EveryStampFormReadsAsItsTime) {
    ExpectFixture("stamp-forms");
}

TEST(LrcFixture, StackedStampsWithSpacesShareTheTextAfterThem) {
    ExpectFixture("stacked-stamps");
}

TEST(LrcFixture, BracketsInTheTextAreText) {
    ExpectFixture("brackets-in-text");
}

TEST(LrcFixture, WordStampsInBothNotationsAreKeptAsTimingsNotShown) {
    ExpectFixture("word-times");
}

TEST(LrcFixture, ALoneCrEndsEachLine) {
    ExpectFixture("cr-only");
}

// Bilingual files in each encoding, and lines as files in the wild write them.
TEST(LrcFixture, BilingualAndWildFilesReadAsOtherReadersReadThem) {
    for (const char* name : {"bilingual-gbk", "bilingual-utf8", "bilingual-utf16le", "scripts", "wild-lines"})
        ExpectFixture(name);
}
