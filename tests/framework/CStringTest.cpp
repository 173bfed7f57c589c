#include "framework/CString.h"

#include <gtest/gtest.h>

// 0xDA 0x5C is one GBK character whose trail byte looks like a backslash;
// 0x81 0x41 one whose trail byte is 'A'.
static const char kTrailA[] = "\x81\x41";
static const char kTrailBackslash[] = "\xDA\x5C";

TEST(CStringGbk, ReverseFindSkipsTrailBytes) {
    CString s = CString("C:\\music\\") + kTrailBackslash + "x.mp3";
    EXPECT_EQ(8, s.ReverseFind('\\'));
    CString only = CString("abc") + kTrailBackslash;
    EXPECT_EQ(-1, only.ReverseFind('\\'));
    EXPECT_EQ(3, CString("a.b.c").ReverseFind('.'));
}

TEST(CStringGbk, FindCharSkipsTrailBytes) {
    CString s = CString(kTrailBackslash) + "\\x";
    EXPECT_EQ(2, s.FindChar('\\'));
    EXPECT_EQ(-1, CString(kTrailBackslash).FindChar('\\'));
}

TEST(CStringGbk, MakeLowerFoldsAsciiOnly) {
    CString s = CString("MP3") + kTrailA + "Z";
    s.MakeLower();
    EXPECT_EQ(CString("mp3") + kTrailA + "z", s);
    // A lone lead byte at the end is left alone and does not swallow anything.
    CString tail = CString("AB\x81");
    tail.MakeLower();
    EXPECT_EQ(CString("ab\x81"), tail);
}

TEST(CStringGbk, ExecutionCharsetIsGbk) {
    // The literal must reach the program as GBK bytes: 默 is 0xC4 0xAC, 认 0xC8 0xCF.
    CString s = "默认";
    ASSERT_EQ(4, s.GetLength());
    EXPECT_EQ(static_cast<char>(0xC4), s[0]);
    EXPECT_EQ(static_cast<char>(0xCF), s[3]);
}

TEST(CStringBytes, SubstringsClampToTheString) {
    CString s = "abcdef";
    EXPECT_EQ(CString("ab"), s.Left(2));
    EXPECT_EQ(CString("ef"), s.Right(2));
    EXPECT_EQ(CString("abcdef"), s.Right(10));
    EXPECT_EQ(CString(""), s.Right(0));
    EXPECT_EQ(CString("cd"), s.Mid(2, 2));
    EXPECT_EQ(CString(""), s.Mid(9));
    EXPECT_EQ(CString(""), s.Left(-1));
}

TEST(CStringBytes, FormatGrowsPastAnyFixedBuffer) {
    CString s;
    s.Format("%s-%d", std::string(5000, 'x').c_str(), 42);
    EXPECT_EQ(5003, s.GetLength());
    s.Format("0%d:%d", 1, 15);
    EXPECT_EQ(CString("01:15"), s);
}

TEST(CStringBytes, RemoveAndTrim) {
    CString s = "  a b  ";
    EXPECT_EQ(5, s.Remove(' '));
    EXPECT_EQ(CString("ab"), s);
    CString t = "   [00:01]x ";
    t.TrimLeft(' ');
    EXPECT_EQ(CString("[00:01]x "), t);
    CString blank = "   ";
    blank.TrimLeft(' ');
    EXPECT_TRUE(blank.IsEmpty());
}
