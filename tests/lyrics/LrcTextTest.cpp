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

TEST(LrcEncodingConvert, EveryEncodingKeepsEveryCharacter) {
    // 中, 가 (Hangul, not in GBK), ก (Thai) and 😀 (past the first plane) as each file holds them.
    const std::wstring wide = L"a\x4E2D\xAC00\x0E01\xD83D\xDE00";
    const std::string utf8 = "a" + kZhongUtf8 + "\xEA\xB0\x80\xE0\xB8\x81\xF0\x9F\x98\x80";
    EXPECT_EQ(wide, LrcBytesToText(utf8));
    EXPECT_EQ(wide, LrcBytesToText("\xEF\xBB\xBF" + utf8));
    EXPECT_EQ(wide,
              LrcBytesToText(Bytes({0xFF, 0xFE, 'a', 0, 0x2D, 0x4E, 0x00, 0xAC, 0x01, 0x0E, 0x3D, 0xD8, 0x00, 0xDE})));
    EXPECT_EQ(wide,
              LrcBytesToText(Bytes({0xFE, 0xFF, 0, 'a', 0x4E, 0x2D, 0xAC, 0x00, 0x0E, 0x01, 0xD8, 0x3D, 0xDE, 0x00})));
    EXPECT_EQ(L"[00:01.00]\x4E2D\x6587\r\n", LrcBytesToText("[00:01.00]" + kZhongGbk + "\xCE\xC4\r\n"));
    EXPECT_EQ(L"", LrcBytesToText(""));
    EXPECT_EQ(L"", LrcBytesToText("\xEF\xBB\xBF"));
}

TEST(LrcEncodingConvert, ABrokenCharacterBecomesOneReplacementAndTakesNothingWithIt) {
    const struct {
        std::string bytes;
        std::wstring text;
    } cases[] = {
        // GBK: a lead byte before a line end, a '<', a digit, or at the end; 0xFF leads nothing.
        {kZhongGbk + "\xB0\r\n[00:01]", L"\x4E2D\xFFFD\r\n[00:01]"},
        {"\x81<00:01.00>" + kZhongGbk, L"\xFFFD<00:01.00>\x4E2D"},
        {"\xB0"
         "1\xB0",
         L"\xFFFD"
         L"1\xFFFD"},
        {"\xFF[00:01]", L"\xFFFD[00:01]"},
        // A ']' after a lead byte is its trail: 沒 is written so in GBK.
        {"\x9B\x5D", L"\x6C92"},
        // UTF-16: half a surrogate pair, and an odd last byte, which is dropped.
        {Bytes({0xFF, 0xFE, 'a', 0, 0x00, 0xD8, 'b', 0, 'c'}),
         L"a\xFFFD"
         L"b"},
        {Bytes({0xFF, 0xFE, 0x00, 0xDC, 0x3D, 0xD8}), L"\xFFFD\xFFFD"},
        {Bytes({0xFF, 0xFE, 'c'}), L""},
        // UTF-8 with a BOM that breaks off inside a character.
        {"\xEF\xBB\xBF"
         "a\xE4\xB8",
         L"a\xFFFD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.text, LrcBytesToText(c.bytes)) << c.bytes;
}

TEST(LrcEncodingConvert, Utf16BytesThatLookLikeControlCodesStayCharacters) {
    // U+0D0A is CR LF as big-endian bytes and U+4E1A (业) holds a Ctrl-Z byte.
    std::vector<std::wstring> lines;
    ForEachLrcLine(LrcBytesToText(Bytes({0xFE, 0xFF, 0x0D, 0x0A, 0x4E, 0x1A, 0, 'x'})),
                   [&](const wchar_t* pLine, size_t nLength) { lines.emplace_back(pLine, nLength); });
    EXPECT_EQ((std::vector<std::wstring>{L"\x0D0A\x4E1A"
                                         L"x"}),
              lines);
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
