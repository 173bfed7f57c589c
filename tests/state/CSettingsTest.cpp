#include "state/CSettings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() {
        ::SetFileAttributesW(L"settings_test.ini", FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(L"settings_test.ini");
        ::DeleteFileW(L"settings_test.ini.tmp");
    }
    static void WriteRaw(const std::string& bytes) { std::ofstream("settings_test.ini", std::ios::binary) << bytes; }
    CSettings m_settings{L"settings_test.ini"};
};

TEST_F(SettingsFile, MissingOrMalformedValuesReadAsTheirDefaults) {
    EXPECT_EQ(m_settings.GetInt(L"band", L"size", 28, 8, 96), 28) << "no file";
    WriteRaw(
        "[band]\r\nsize=abc\r\nleft=12x\r\ntop=99999999999999\r\nwidth=200\r\nshadow=yes\r\nlock=1\r\n"
        "\xFF\xFE garbage \x01\x02\r\n");
    const struct {
        const wchar_t* pszKey;
        int nExpected;
    } kCases[] = {{L"size", 28}, {L"left", 28}, {L"top", 28}, {L"width", 28}, {L"absent", 28}};
    for (const auto& c : kCases)
        EXPECT_EQ(m_settings.GetInt(L"band", c.pszKey, 28, 8, 96), c.nExpected) << c.pszKey;
    EXPECT_EQ(m_settings.GetInt(L"band", L"width", 28, 8, 960), 200) << "in range";
    EXPECT_TRUE(m_settings.GetBool(L"band", L"shadow", true));
    EXPECT_FALSE(m_settings.GetBool(L"band", L"shadow", false));
    EXPECT_TRUE(m_settings.GetBool(L"band", L"lock", false));
}

TEST_F(SettingsFile, KeepsTextInAnyScriptUnderAnyKeyAndLeavesNoTemporaryFile) {
    const CStringW kPaths[] = {L"D:\\音乐\\한국어 노래.wav", L"C:\\a=b;c.mp3", L"[x] ", L" lead.mp3",
                               L"Z:\\Søren.flac"};
    for (const CStringW& strPath : kPaths)
        ASSERT_TRUE(m_settings.SetString(L"shift", CSettings::KeyFor(strPath), strPath)) << strPath.ToUtf8();
    for (const CStringW& strPath : kPaths)
        EXPECT_EQ(m_settings.GetString(L"shift", CSettings::KeyFor(strPath), L"?"), strPath) << strPath.ToUtf8();
    EXPECT_TRUE(m_settings.Remove(L"shift", CSettings::KeyFor(kPaths[1])));
    EXPECT_EQ(m_settings.GetString(L"shift", CSettings::KeyFor(kPaths[1]), L"gone"), L"gone");
    EXPECT_EQ(::GetFileAttributesW(L"settings_test.ini.tmp"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SettingsFile, AReadOnlyFileIsLeftAsItWas) {
    WriteRaw("[band]\r\nsize=30\r\n");
    ::SetFileAttributesW(L"settings_test.ini", FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(m_settings.SetInt(L"band", L"size", 40));
    EXPECT_EQ(m_settings.GetInt(L"band", L"size", 28, 8, 96), 30);
}

}  // namespace
