#include "lyrics/LrcStamp.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The key of the stamp that s is, or "-" when it is not one (or not all of s).
std::string Key(const std::string& s) {
    LrcStamp stamp;
    const size_t n = ReadLrcStamp(s, 0, stamp);
    if (n == 0 || n != s.size())
        return "-";
    // The key is the time as "%.2f" writes it, and the time the key read back.
    char szKey[512];
    std::snprintf(szKey, sizeof(szKey), "%.2f", stamp.dTime);
    EXPECT_EQ(stamp.strKey, CString(szKey)) << s;
    EXPECT_EQ(std::atof(stamp.strKey), stamp.dTime) << s;
    return stamp.strKey.Str();
}

}  // namespace

TEST(LrcStamp, EveryFormGivesItsTimeKey) {
    EXPECT_EQ("1.00", Key("[0:01]"));
    EXPECT_EQ("2.00", Key("[00:2]"));
    EXPECT_EQ("3.50", Key("[00:03.5]"));
    EXPECT_EQ("4.25", Key("[00:04.25]"));
    EXPECT_EQ("5.68", Key("[00:05.678]"));
    EXPECT_EQ("60.00", Key("[00:59.999]"));
    EXPECT_EQ("1.50", Key("[00:01:50]"));
    EXPECT_EQ("1.50", Key("[00:01:5]"));
    EXPECT_EQ("62.03", Key("[01:02:03]"));
    EXPECT_EQ("3662.50", Key("[01:01:02.50]"));
    EXPECT_EQ("7200.00", Key("[120:00.00]"));
    EXPECT_EQ("59999999940.00", Key("[999999999:00]"));
    EXPECT_EQ("599999999940.00", Key("[9999999999:00]"));
    EXPECT_EQ("-90.50", Key("[-01:30.50]"));
    EXPECT_EQ("0.00", Key("[-00:00.00]"));
    EXPECT_EQ("0.00", Key("[-00:00.004]"));
    EXPECT_EQ("12.80", Key("<00:12.80>"));
}

TEST(LrcStamp, WhatIsNotExactlyAStampIsNone) {
    for (const char* psz : {"[00:01.00>", "<00:01.00]", "[1]", "[:01]", "[00:]", "[00:01.]", "[00:123]",
                            "[1:123:00.00]", "[1:00:123.00]", "[1:2:3:4]", "[00:01", "[00:01.00 ]", "[ 00:01.00]",
                            "[+00:01]", "[--00:01]", "[0x1:00]", "[00.01]", "[length:03:45]", "[id: 51037068]", "",
                            "x[00:01]"})
        EXPECT_EQ("-", Key(psz)) << psz;
}

TEST(LrcStamp, ReadsWhereItIsAskedAndCountsItsOwnBytes) {
    const std::string s = "ab[00:01.00]<00:02.5>x";
    LrcStamp stamp;
    EXPECT_EQ(0u, ReadLrcStamp(s, 0, stamp));
    EXPECT_EQ(10u, ReadLrcStamp(s, 2, stamp));
    EXPECT_EQ(9u, ReadLrcStamp(s, 12, stamp));
    EXPECT_EQ(CString("2.50"), stamp.strKey);
    EXPECT_EQ(0u, ReadLrcStamp(s, s.size(), stamp));
    EXPECT_EQ(0u, ReadLrcStamp(s, s.size() + 5, stamp));
}
