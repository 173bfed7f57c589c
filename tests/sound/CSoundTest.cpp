#include "sound/CSound.h"
#include "sound/SongFormats.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

namespace {

DWORD StatusOf(MCIDEVICEID id, DWORD dwItem) {
    MCI_STATUS_PARMS status = {};
    status.dwItem = dwItem;
    if (::mciSendCommandA(id, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&status)) != 0)
        return static_cast<DWORD>(-1);
    return static_cast<DWORD>(status.dwReturn);
}

class SoundDevice : public ::testing::Test {
protected:
    void SetUp() override {
        m_wav = m_dir.File("tone.wav");
        WriteWav(m_wav, 3000);
    }
    void TearDown() override { CSound::Close(); }

    ScratchDir m_dir;
    std::string m_wav;
};

// A window that records the MCI notifications it receives.
class NotifySink {
public:
    NotifySink() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "SonelloNotifySink";
        ::RegisterClassA(&wc);
        m_hWnd = ::CreateWindowA("SonelloNotifySink", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        s_codes.clear();
    }
    ~NotifySink() { ::DestroyWindow(m_hWnd); }
    HWND m_hWnd;
    static std::vector<WPARAM> s_codes;

private:
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == MM_MCINOTIFY)
            s_codes.push_back(w);
        return ::DefWindowProcA(h, m, w, l);
    }
};
std::vector<WPARAM> NotifySink::s_codes;

}  // namespace

TEST(ExtensionRule, TakesTheTextAfterTheLastDotOfTheWholePath) {
    EXPECT_EQ(CStringW(L"wav"), CSound::GetExtension(L"D:\\m\\a.b.wav"));
    EXPECT_EQ(CStringW(L""), CSound::GetExtension(L"D:\\m\\song."));
    EXPECT_EQ(CStringW(L"music\\track"), CSound::GetExtension(L"D:\\my.music\\track"));
    EXPECT_EQ(CStringW(L"noext"), CSound::GetExtension(L"noext"));
    EXPECT_EQ(CStringW(L""), CSound::GetExtension(L""));
}

TEST(ExtensionRule, ComparesEqualLengthWithAsciiCaseFolding) {
    EXPECT_TRUE(CSound::IsSameNoCase(L"MP3", L"mp3"));
    EXPECT_TRUE(CSound::IsSameNoCase(L"", L""));
    EXPECT_FALSE(CSound::IsSameNoCase(L"mp3 ", L"mp3"));
    EXPECT_FALSE(CSound::IsSameNoCase(L"mpeg", L"mpg"));
    // Only ASCII letters fold: full-width and accented ones stay themselves.
    EXPECT_FALSE(CSound::IsSameNoCase(L"\xFF2D\xFF30\x33", L"\xFF4D\xFF50\x33"));
    EXPECT_FALSE(CSound::IsSameNoCase(L"\x00C9", L"\x00E9"));
    EXPECT_TRUE(CSound::IsSameNoCase(L"\x00C9X", L"\x00C9x"));
}

TEST(ExtensionRule, ChoosesTheDeviceTypeByTheTable) {
    EXPECT_STREQ(L"mpegvideo", MciDeviceTypeFor(L"C:\\a\\SONG.MP3"));
    EXPECT_STREQ(L"mpegvideo", MciDeviceTypeFor(L"x.wmv"));
    EXPECT_STREQ(L"waveaudio", MciDeviceTypeFor(L"a.b.WaV"));
    EXPECT_STREQ(L"sequencer", MciDeviceTypeFor(L"x.rmi"));
    EXPECT_STREQ(L"CDAudio", MciDeviceTypeFor(L"track.cad"));
    EXPECT_EQ(nullptr, MciDeviceTypeFor(L"track.cda"));
    EXPECT_EQ(nullptr, MciDeviceTypeFor(L"x.flac"));
    EXPECT_EQ(nullptr, MciDeviceTypeFor(L"D:\\my.music\\track"));
    // A path named in another script keeps its extension.
    EXPECT_STREQ(L"waveaudio", MciDeviceTypeFor(L"D:\\\xC74C\xC545\\\xD55C\xAD6D\xC5B4.wav"));
}

// The new formats go to Media Foundation by their extension alone, never by a '.' elsewhere.
TEST(ExtensionRule, TakesTheNewExtensionsAndLeavesTheDesignsToMci) {
    for (const wchar_t* path : {L"a.flac", L"a.FLAC", L"b.m4a", L"c.aac", L"d.ogg", L"e.oga", L"f.Opus", L"g.alac"}) {
        EXPECT_TRUE(IsStreamExtension(path)) << path;
        EXPECT_EQ(nullptr, MciDeviceTypeFor(path)) << path;
        EXPECT_TRUE(IsSongListFile(path)) << path;
    }
    for (const wchar_t* path : {L"a.mp3", L"a.wav", L"a.wma", L"a.mid", L"a.fla", L"a.flac.txt", L"D:\\x.ogg\\song"})
        EXPECT_FALSE(IsStreamExtension(path)) << path;
}

TEST_F(SoundDevice, OpensAWaveFileOnWaveaudio) {
    CSound::m_seek.dwTo = 1234;
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Widen(m_wav)));
    EXPECT_TRUE(CSound::m_bOpened);
    EXPECT_NE(0u, CSound::m_wDeviceID);
    EXPECT_EQ(0u, CSound::m_seek.dwTo);
    const DWORD length = StatusOf(CSound::m_wDeviceID, MCI_STATUS_LENGTH);
    EXPECT_NEAR(3000.0, static_cast<double>(length), 50.0);
}

TEST_F(SoundDevice, OpensAnMp3OnMpegvideo) {
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Widen(BuildDataPath("tone.mp3"))));
    EXPECT_TRUE(CSound::m_bOpened);
    const DWORD length = StatusOf(CSound::m_wDeviceID, MCI_STATUS_LENGTH);
    EXPECT_NEAR(1500.0, static_cast<double>(length), 100.0);
}

TEST_F(SoundDevice, MissingFileWithAKnownExtensionIsRefusedWithNoDevice) {
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Widen(m_wav)));
    EXPECT_EQ(CSound::OpenResult::Refused, CSound::Open(Widen(m_dir.File("missing.wav"))));
    EXPECT_FALSE(CSound::m_bOpened);
    EXPECT_EQ(0u, CSound::m_wDeviceID);
}

TEST_F(SoundDevice, UnknownExtensionClosesTheOpenDevice) {
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Widen(m_wav)));
    const MCIDEVICEID old = CSound::m_wDeviceID;
    CSound::m_seek.dwTo = 500;
    EXPECT_EQ(CSound::OpenResult::Done, CSound::Open(Widen(m_dir.File("song.mp4"))));
    EXPECT_FALSE(CSound::m_bOpened);
    EXPECT_EQ(0u, CSound::m_wDeviceID);
    EXPECT_EQ(0u, CSound::m_seek.dwTo);
    EXPECT_EQ(static_cast<DWORD>(-1), StatusOf(old, MCI_STATUS_LENGTH)) << "the old device is closed";
}

TEST_F(SoundDevice, AnEmptyPathLeavesTheDeviceOpen) {
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Widen(m_wav)));
    const MCIDEVICEID id = CSound::m_wDeviceID;
    CSound::m_seek.dwTo = 700;
    EXPECT_EQ(CSound::OpenResult::EmptyPath, CSound::Open(L""));
    EXPECT_FALSE(CSound::m_bOpened);
    EXPECT_EQ(id, CSound::m_wDeviceID);
    EXPECT_EQ(700u, CSound::m_seek.dwTo);
    EXPECT_NE(static_cast<DWORD>(-1), StatusOf(id, MCI_STATUS_LENGTH));
}

TEST_F(SoundDevice, PlayFromResumeStartsAtTheResumePosition) {
    NotifySink sink;
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Widen(m_wav)));
    EXPECT_EQ(0u, CSound::PlayFromResume(sink.m_hWnd));
    PumpMessages(300);
    const DWORD fromStart = StatusOf(CSound::m_wDeviceID, MCI_STATUS_POSITION);
    EXPECT_GT(fromStart, 100u);
    EXPECT_LT(fromStart, 1200u);

    ::mciSendCommandA(CSound::m_wDeviceID, MCI_STOP, 0, 0);
    CSound::m_seek.dwTo = 2000;
    EXPECT_EQ(0u, CSound::PlayFromResume(sink.m_hWnd));
    PumpMessages(100);
    const DWORD resumed = StatusOf(CSound::m_wDeviceID, MCI_STATUS_POSITION);
    EXPECT_GE(resumed, 2000u);
    EXPECT_LT(resumed, 2800u);
}

TEST_F(SoundDevice, ThePlayNotifiesItsEndToTheWindowAndItsDriverOutlivesTheClose) {
    NotifySink sink;
    WriteWav(m_dir.File("short.wav"), 500);
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Widen(m_dir.File("short.wav"))));
    ASSERT_EQ(0u, CSound::PlayFromResume(sink.m_hWnd));
    EXPECT_TRUE(PumpUntil([] { return !NotifySink::s_codes.empty(); }, 5000));
    ASSERT_FALSE(NotifySink::s_codes.empty());
    EXPECT_EQ(static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL), NotifySink::s_codes.back());
    // The driver's play thread may still be on its way out of the driver's code.
    CSound::Close();
    EXPECT_NE(nullptr, ::GetModuleHandleA("mciwave.dll"));
}

TEST_F(SoundDevice, PauseKeepsWhereTheDeviceStoodAndStatusNeedsADevice) {
    NotifySink sink;
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Widen(m_wav)));
    DWORD dwLength = 0;
    ASSERT_TRUE(CSound::GetLength(&dwLength));
    EXPECT_NEAR(3000.0, dwLength, 50.0);
    CSound::m_seek.dwTo = 1000;
    ASSERT_EQ(0u, CSound::PlayFromResume(sink.m_hWnd));
    PumpMessages(300);
    CSound::Pause();
    EXPECT_GT(CSound::m_seek.dwTo, 1100u);
    EXPECT_LT(CSound::m_seek.dwTo, 3000u);
    EXPECT_EQ(static_cast<DWORD>(MCI_MODE_STOP), StatusOf(CSound::m_wDeviceID, MCI_STATUS_MODE));

    CSound::Close();
    DWORD dwPosition = 0;
    EXPECT_FALSE(CSound::GetPosition(&dwPosition));
    EXPECT_FALSE(CSound::GetLength(&dwLength));
}

TEST_F(SoundDevice, PlayWithNoDeviceFails) {
    CSound::Close();
    NotifySink sink;
    EXPECT_NE(0u, CSound::PlayFromResume(sink.m_hWnd));
}

TEST(VolumeArithmetic, ScalesAgainstTheControlsMaximum) {
    EXPECT_EQ(32767u, CSound::ValueFromPercent(65535, 50));
    EXPECT_EQ(49u, CSound::PercentFromValue(32767, 65535));
    EXPECT_EQ(65535u, CSound::ValueFromPercent(65535, 100));
    EXPECT_EQ(100u, CSound::PercentFromValue(65535, 65535));
    EXPECT_EQ(655u, CSound::ValueFromPercent(65535, 1));
    EXPECT_EQ(0u, CSound::ValueFromPercent(65535, 0));
}

TEST(VolumeArithmetic, UnreadableValueOrZeroMaximumReadsAsZero) {
    EXPECT_EQ(0u, CSound::PercentFromValue(0xFFFFFFFFu, 65535));
    EXPECT_EQ(0u, CSound::PercentFromValue(10, 0));
}

// Wine's wave-out line accepts writes but reads back 0; its speakers line keeps what was
// written, so the same lookup and value code runs for real there.
TEST(Mixer, VolumeRoundTripsOnTheSpeakersLine) {
    CSound speakers(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    const UINT before = speakers.GetVolume();
    ASSERT_TRUE(speakers.SetVolume(50));
    EXPECT_EQ(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, speakers.m_dwComponentType);
    EXPECT_EQ(MIXERCONTROL_CONTROLTYPE_VOLUME, speakers.m_control.dwControlType);
    EXPECT_EQ(49u, speakers.GetVolume());
    ASSERT_TRUE(speakers.SetVolume(100));
    EXPECT_EQ(100u, speakers.GetVolume());
    speakers.SetVolume(static_cast<int>(before));
}

TEST(Mixer, MuteTogglesAndRestoresOnTheSpeakersLine) {
    CSound speakers(MIXERLINE_COMPONENTTYPE_DST_SPEAKERS);
    const bool before = speakers.GetMute();
    ASSERT_TRUE(speakers.SetMute(!before));
    EXPECT_EQ(!before, speakers.GetMute());
    ASSERT_TRUE(speakers.SetMute(before));
    EXPECT_EQ(before, speakers.GetMute());
}

TEST(Mixer, ThePlayerActsOnTheWaveOutLine) {
    CSound sound;
    EXPECT_TRUE(sound.SetVolume(30));
    EXPECT_EQ(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT, sound.m_dwComponentType);
    EXPECT_EQ(MIXERCONTROL_CONTROLTYPE_VOLUME, sound.m_control.dwControlType);
    EXPECT_LE(sound.GetVolume(), 100u);
    EXPECT_TRUE(sound.SetMute(false));
    EXPECT_EQ(MIXERCONTROL_CONTROLTYPE_MUTE, sound.m_control.dwControlType);
}

TEST(Mixer, AMissingLineGivesTheFailureAnswers) {
    CSound none(MIXERLINE_COMPONENTTYPE_SRC_ANALOG);
    EXPECT_EQ(0u, none.GetVolume());
    EXPECT_FALSE(none.GetMute());
    EXPECT_FALSE(none.SetVolume(50));
    EXPECT_FALSE(none.SetMute(true));
}
