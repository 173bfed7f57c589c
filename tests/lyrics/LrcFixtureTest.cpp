// Each fixtures/NAME.lrc must load into the timeline written in fixtures/NAME.expected, word
// timings included.
// The expected files are UTF-8 so that they read plainly; the timeline is GBK and is
// converted for the comparison.
#include "lyrics/CLyc.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/TestSupport.h"

namespace {

std::string GbkToUtf8(const CString& str) {
    if (str.IsEmpty())
        return std::string();
    const int nWide = ::MultiByteToWideChar(936, 0, str, str.GetLength(), nullptr, 0);
    std::wstring wide(static_cast<size_t>(nWide), L'\0');
    ::MultiByteToWideChar(936, 0, str, str.GetLength(), &wide[0], nWide);
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, &out[0], n, nullptr, nullptr);
    return out;
}

std::string Number(const char* pszFormat, double d) {
    char buf[64];
    std::snprintf(buf, sizeof(buf), pszFormat, d);
    return buf;
}

std::string Dump(const CLyc& lyc) {
    std::string out;
    out += std::string("loaded: ") + (lyc.m_bLoaded ? "yes" : "no") + "\n";
    out += "title: " + GbkToUtf8(lyc.m_strTitle) + "\n";
    out += "artist: " + GbkToUtf8(lyc.m_strArtist) + "\n";
    out += "album: " + GbkToUtf8(lyc.m_strAlbum) + "\n";
    out += "by: " + GbkToUtf8(lyc.m_strBy) + "\n";
    out += "offset: " + Number("%.3f", lyc.m_dOffset) + "\n";
    out += "first: " + Number("%.2f", lyc.m_dFirstTime) + "\n";
    out += "last: " + Number("%.2f", lyc.m_dLastTime) + "\n";
    out += "times:";
    for (double t : lyc.m_arrTime)
        out += " " + Number("%.2f", t);
    out += "\n";
    for (const auto& entry : lyc.m_mapText) {
        out += "[" + GbkToUtf8(entry.first) + "]" + GbkToUtf8(entry.second) + "\n";
        // Word timings: the text with each word's start in the song put in where the word begins.
        const auto words = lyc.m_mapWords.find(entry.first);
        if (words == lyc.m_mapWords.end())
            continue;
        std::string strMarked;
        int nCopied = 0;
        for (const LrcWord& word : lyc.m_arrWords.at(words->second)) {
            strMarked += entry.second.Mid(nCopied, word.nOffset - nCopied).Str();
            strMarked += "<" + Number("%.2f", std::atof(entry.first) + word.dStart) + ">";
            nCopied = word.nOffset;
        }
        strMarked += entry.second.Mid(nCopied).Str();
        out += "  words: " + GbkToUtf8(strMarked) + "\n";
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

TEST(LrcFixture, Utf8WithBomIsConvertedToGbk) {
    ExpectFixture("utf8-bom");
}

TEST(LrcFixture, Utf8WithoutBomIsRecognisedAndConverted) {
    ExpectFixture("utf8");
}

TEST(LrcFixture, Utf16LittleEndianIsConvertedToGbk) {
    ExpectFixture("utf16le");
}

TEST(LrcFixture, Utf16BigEndianIsConvertedToGbk) {
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
