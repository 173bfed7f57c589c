#include "lyrics/LrcText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    ForEachLrcLine(text, [&](const char* pLine, size_t nLength) { out.emplace_back(pLine, nLength); });
    return out;
}

// 中 in each encoding.
const std::string kZhongGbk = "\xD6\xD0";
const std::string kZhongUtf8 = "\xE4\xB8\xAD";

}  // namespace

TEST(LrcEncodingDetect, AByteOrderMarkDecides) {
    EXPECT_EQ(LrcEncoding::Utf8Bom, DetectLrcEncoding("\xEF\xBB\xBF[00:01]x"));
    EXPECT_EQ(LrcEncoding::Utf16Le, DetectLrcEncoding("\xFF\xFE[\0"));
    EXPECT_EQ(LrcEncoding::Utf16Be, DetectLrcEncoding("\xFE\xFF\0["));
    // A BOM wins even over content that is not valid in its encoding.
    EXPECT_EQ(LrcEncoding::Utf8Bom, DetectLrcEncoding("\xEF\xBB\xBF" + kZhongGbk));
}

TEST(LrcEncodingDetect, Utf8WithoutBomNeedsAMultiByteCharacter) {
    EXPECT_EQ(LrcEncoding::Gbk, DetectLrcEncoding("[00:01.00]plain ascii"));
    EXPECT_EQ(LrcEncoding::Gbk, DetectLrcEncoding(""));
    EXPECT_EQ(LrcEncoding::Utf8, DetectLrcEncoding("[00:01.00]" + kZhongUtf8));
    EXPECT_EQ(LrcEncoding::Gbk, DetectLrcEncoding("[00:01.00]" + kZhongGbk + "\xCE\xC4"));
    // Valid up to a cut-off last character: not UTF-8.
    EXPECT_EQ(LrcEncoding::Gbk, DetectLrcEncoding(kZhongUtf8 + "\xE4\xB8"));
}

TEST(LrcEncodingDetect, MalformedUtf8IsRejected) {
    EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80", 4));   // U+1F600
    EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF", 4));   // U+10FFFF
    EXPECT_TRUE(IsValidUtf8("\xED\x9F\xBF", 3));       // U+D7FF
    EXPECT_FALSE(IsValidUtf8("\xC0\x80", 2));          // overlong NUL
    EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF", 3));      // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xF0\x8F\xBF\xBF", 4));  // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80", 3));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80", 4));  // past U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\x80", 1));              // lone continuation
    EXPECT_FALSE(IsValidUtf8("\xE4\x41\xAD", 3));      // broken sequence
    EXPECT_FALSE(IsValidUtf8("\xFF", 1));
}

TEST(LrcEncodingConvert, GbkAndAsciiPassUnchanged) {
    const std::string gbk = "[00:01.00]" + kZhongGbk + "\xCE\xC4\r\n";
    EXPECT_EQ(gbk, LrcBytesToGbk(gbk));
    EXPECT_EQ("", LrcBytesToGbk(""));
}

TEST(LrcEncodingConvert, UnicodeBecomesGbkWithQuestionMarksForWhatGbkLacks) {
    // 가 (U+AC00) is not in GBK.
    EXPECT_EQ("x" + kZhongGbk + "?", LrcBytesToGbk("x" + kZhongUtf8 + "\xEA\xB0\x80"));
    EXPECT_EQ(kZhongGbk, LrcBytesToGbk("\xEF\xBB\xBF" + kZhongUtf8));
    EXPECT_EQ("", LrcBytesToGbk("\xEF\xBB\xBF"));
    EXPECT_EQ("a" + kZhongGbk + "?", LrcBytesToGbk(Bytes({0xFF, 0xFE, 'a', 0, 0x2D, 0x4E, 0x00, 0xAC})));
    EXPECT_EQ("a" + kZhongGbk + "?", LrcBytesToGbk(Bytes({0xFE, 0xFF, 0, 'a', 0x4E, 0x2D, 0xAC, 0x00})));
}

TEST(LrcEncodingConvert, BrokenUtf16DoesNotBreakTheRest) {
    // A lone surrogate becomes '?'; an odd last byte is dropped.
    EXPECT_EQ("a?b", LrcBytesToGbk(Bytes({0xFF, 0xFE, 'a', 0, 0x00, 0xD8, 'b', 0, 'c'})));
    EXPECT_EQ("", LrcBytesToGbk(Bytes({0xFF, 0xFE, 'c'})));
}

TEST(LrcEncodingConvert, Utf16BytesThatLookLikeControlCodesStayCharacters) {
    // U+0D0A is CR LF as big-endian bytes and U+4E1A (业) holds a Ctrl-Z byte.
    const std::string text = LrcBytesToGbk(Bytes({0xFE, 0xFF, 0x0D, 0x0A, 0x4E, 0x1A, 0, 'x'}));
    EXPECT_EQ((std::vector<std::string>{"?\xD2\xB5x"}), Lines(text));
}

TEST(LrcTextLines, LineEndsAreCrLfLfOrALoneCr) {
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), Lines("a\r\nb\nc\r\n"));
    EXPECT_EQ((std::vector<std::string>{"a", "", "b"}), Lines("a\n\nb"));
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), Lines("a\rb\nc\r"));
    EXPECT_EQ((std::vector<std::string>{"a", ""}), Lines("a\r\r\n"));
    EXPECT_EQ((std::vector<std::string>{"a", "", "b"}), Lines("a\r\rb"));
    EXPECT_EQ((std::vector<std::string>{"a", "", "b"}), Lines("a\n\rb"));
    EXPECT_TRUE(Lines("").empty());
}

TEST(LrcTextLines, CtrlZEndsTheFileAndNulEndsItsLine) {
    EXPECT_EQ((std::vector<std::string>{"a", "b"}), Lines("a\nb\x1A\nc\n"));
    EXPECT_TRUE(Lines("\x1A"
                      "a\n")
                    .empty());
    std::string withNul = "ab";
    withNul += '\0';
    withNul += "cd\nef";
    EXPECT_EQ((std::vector<std::string>{"ab", "ef"}), Lines(withNul));
}
