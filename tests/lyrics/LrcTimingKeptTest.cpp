// The timing moved by key, kept across runs: in the lyric file's [offset:] tag with every other
// byte as it was, or in the settings for lyrics inside the song and files that cannot be written.
#include <gtest/gtest.h>

#include <string>

#include "lyrics/CLrcShift.h"
#include "lyrics/CLyc.h"
#include "lyrics/LrcOffsetTag.h"
#include "support/TestSupport.h"

namespace {

enum class Enc { Gbk, Utf8, Utf8Bom, Utf16Le, Utf16Be };

std::string Encode(const std::wstring& text, Enc enc) {
    std::string out;
    if (enc == Enc::Utf16Le || enc == Enc::Utf16Be) {
        out = enc == Enc::Utf16Le ? "\xFF\xFE" : "\xFE\xFF";
        for (const wchar_t c : text) {
            const char hi = static_cast<char>(c >> 8);
            const char lo = static_cast<char>(c & 0xFF);
            out += enc == Enc::Utf16Le ? lo : hi;
            out += enc == Enc::Utf16Le ? hi : lo;
        }
        return out;
    }
    const UINT nCodePage = enc == Enc::Gbk ? 936 : CP_UTF8;
    const int n =
        ::WideCharToMultiByte(nCodePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    out.resize(static_cast<size_t>(n));
    ::WideCharToMultiByte(nCodePage, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return enc == Enc::Utf8Bom ? "\xEF\xBB\xBF" + out : out;
}

// 遊 and 覽 end in GBK with the byte of '[' and of ']'.
const wchar_t kHeader[] = L"[ti:遊覽]\r\n[ar:歌手]\r\n";
const wchar_t kBody[] = L"[00:01.00]第一行\r\n[00:02.00]遊覽 ]\r\n";

class LrcTimingKept : public ::testing::Test {
protected:
    std::string Lrc(const std::string& name) const { return m_dir.File(name); }
    double OffsetRead(const std::string& name) {
        CLyc lyc;
        EXPECT_TRUE(lyc.Load(Widen(Lrc(name))));
        return lyc.Offset();
    }

    ScratchDir m_dir;
    CSettings m_settings{Widen(m_dir.File("Sonello.ini"))};
};

}  // namespace

// Each file in each encoding: only the tag's value changes, or one tag line is added after the
// header tags with the file's own line end.
TEST(LrcOffsetTag, OnlyTheTagChangesInEveryEncoding) {
    const std::wstring strHeader = kHeader;
    const std::wstring strBody = kBody;
    const struct {
        std::wstring strBefore;
        int nMs;
        std::wstring strAfter;
    } files[] = {
        {strHeader + L"[offset:+200]\r\n" + strBody, -300, strHeader + L"[offset:-300]\r\n" + strBody},
        {strHeader + L"[OFFSET: 100 ] ms\r\n" + strBody, 1500, strHeader + L"[OFFSET:+1500] ms\r\n" + strBody},
        {strHeader + strBody, 500, strHeader + L"[offset:+500]\r\n" + strBody},
        {strHeader + L"\r\n" + strBody, 500, strHeader + L"[offset:+500]\r\n\r\n" + strBody},
        {L"[ti:x]\n[00:01.00]a\n", 0, L"[ti:x]\n[offset:0]\n[00:01.00]a\n"},
        {L"[ti:x]\r[00:01.00]a", -500, L"[ti:x]\r[offset:-500]\r[00:01.00]a"},
        {L"[00:01.00]no header\r\n", 250, L"[offset:+250]\r\n[00:01.00]no header\r\n"},
        {L"[ti:only tags]", 250, L"[ti:only tags]\r\n[offset:+250]"},
        {L"[offset:1]\n[00:01.00]a\n[offset:2", 7, L"[offset:+7]\n[00:01.00]a\n[offset:+7]"},
        {L"", 100, L"[offset:+100]\r\n"},
    };
    for (const Enc enc : {Enc::Gbk, Enc::Utf8, Enc::Utf8Bom, Enc::Utf16Le, Enc::Utf16Be}) {
        for (const auto& file : files) {
            const std::string before = Encode(file.strBefore, enc);
            EXPECT_EQ(Encode(file.strAfter, enc), WithLrcOffset(before, file.nMs))
                << "encoding " << static_cast<int>(enc) << ": " << CStringW(file.strBefore).ToUtf8();
        }
    }
}

TEST_F(LrcTimingKept, TheShiftIsWrittenIntoTheFileOnceAndReadBackAfterARestart) {
    const std::string before = Encode(std::wstring(kHeader) + L"[offset:+200]\r\n" + kBody, Enc::Gbk);
    WriteFileBytes(Lrc("a.lrc"), before);
    {
        CLrcShift shift(m_settings);
        EXPECT_DOUBLE_EQ(0.2, shift.Loaded(L"D:\\a.mp3", Widen(Lrc("a.lrc")), OffsetRead("a.lrc")));
        shift.Move(L"D:\\a.mp3", 0.5);
        shift.Move(L"D:\\a.mp3", 0.5);
        EXPECT_DOUBLE_EQ(1.2, shift.OffsetOf(L"D:\\a.mp3"));
        EXPECT_EQ(before, ReadFileBytes(Lrc("a.lrc"))) << "nothing is written at a key press";
        EXPECT_EQ(CLrcShift::SaveResult::Saved, shift.Save());
        // Played again in the same run: the offset written is not added once more.
        EXPECT_DOUBLE_EQ(1.2, shift.Loaded(L"D:\\a.mp3", Widen(Lrc("a.lrc")), OffsetRead("a.lrc")));
    }
    EXPECT_DOUBLE_EQ(1.2, OffsetRead("a.lrc"));
    EXPECT_EQ(Encode(std::wstring(kHeader) + L"[offset:+1200]\r\n" + kBody, Enc::Gbk), ReadFileBytes(Lrc("a.lrc")));
    EXPECT_EQ(CStringW(L""), m_settings.GetString(L"shift", CSettings::KeyFor(L"D:\\a.mp3"), L""));
    CLrcShift restarted(m_settings);
    EXPECT_DOUBLE_EQ(1.2, restarted.Loaded(L"D:\\a.mp3", Widen(Lrc("a.lrc")), OffsetRead("a.lrc")));
}

TEST_F(LrcTimingKept, LyricsInsideTheSongKeepTheirShiftInTheSettings) {
    {
        CLrcShift shift(m_settings);
        shift.Loaded(L"D:\\b.flac", CStringW(), 0.1);
        shift.Move(L"D:\\b.flac", -1.5);
        EXPECT_EQ(CLrcShift::SaveResult::Saved, shift.Save());
    }
    CLrcShift restarted(m_settings);
    EXPECT_DOUBLE_EQ(-1.4, restarted.Loaded(L"D:\\b.flac", CStringW(), 0.1));
    EXPECT_DOUBLE_EQ(0.0, restarted.Loaded(L"D:\\c.flac", CStringW(), 0.0));
    restarted.Reset(L"D:\\b.flac");
    EXPECT_EQ(CLrcShift::SaveResult::Saved, restarted.Save());
    EXPECT_EQ(CStringW(L"?"), m_settings.GetString(L"shift", CSettings::KeyFor(L"D:\\b.flac"), L"?")) << "back to none";
}

TEST_F(LrcTimingKept, AReadOnlyFileStaysAsItWasAndTheShiftGoesToTheSettings) {
    const std::string before = Encode(std::wstring(kHeader) + kBody, Enc::Utf16Le);
    WriteFileBytes(Lrc("r.lrc"), before);
    ASSERT_TRUE(::SetFileAttributesW(Widen(Lrc("r.lrc")).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(LrcWriteResult::ReadOnly, WriteLrcOffset(Widen(Lrc("r.lrc")), 500));
    {
        CLrcShift shift(m_settings);
        shift.Loaded(L"D:\\r.mp3", Widen(Lrc("r.lrc")), OffsetRead("r.lrc"));
        shift.Move(L"D:\\r.mp3", 0.5);
        EXPECT_EQ(CLrcShift::SaveResult::KeptInSettings, shift.Save());
    }
    EXPECT_EQ(before, ReadFileBytes(Lrc("r.lrc")));
    CLrcShift restarted(m_settings);
    EXPECT_DOUBLE_EQ(0.5, restarted.Loaded(L"D:\\r.mp3", Widen(Lrc("r.lrc")), OffsetRead("r.lrc")));
    // Writable again: the next save puts it all in the file and clears the settings.
    ::SetFileAttributesW(Widen(Lrc("r.lrc")).c_str(), FILE_ATTRIBUTE_NORMAL);
    restarted.Move(L"D:\\r.mp3", 0.5);
    EXPECT_EQ(CLrcShift::SaveResult::Saved, restarted.Save());
    EXPECT_DOUBLE_EQ(1.0, OffsetRead("r.lrc"));
    EXPECT_EQ(CStringW(L"?"), m_settings.GetString(L"shift", CSettings::KeyFor(L"D:\\r.mp3"), L"?"));
}
