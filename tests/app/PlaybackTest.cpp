#include "MainWindowFixture.h"

#include <cstdio>

using Playback = MainWindow;

namespace {
const std::vector<bool> kNone = {false, false, false, false, false};
const std::vector<bool> kPlaying = {true, false, true, true, true};  // prev, play, pause, next, stop
const std::vector<bool> kHalted = {true, true, false, true, true};

// A position the device played to from dwFrom since ullSince (GetTickCount64): not before it
// ("mpegvideo" stands a few ms behind), and no further than the clock has gone since. A busy
// machine only widens the second bound.
void ExpectPlayedFrom(DWORD dwFrom, ULONGLONG ullSince, DWORD dwPosition) {
    EXPECT_GE(dwPosition + 30, dwFrom);
    EXPECT_LE(dwPosition, dwFrom + (::GetTickCount64() - ullSince) + 100) << "played from " << dwFrom;
}
}  // namespace

TEST_F(Playback, StartsIdleWithEveryTransportButtonDisabled) {
    EXPECT_EQ(CString("状态:无"), Text(IDC_STATUS));
    EXPECT_EQ(CString("00:00"), Text(IDC_TIME));
    EXPECT_EQ(CString("当前没有选中歌曲"), Text(IDC_PATH));
    EXPECT_EQ(kNone, Transport());
    EXPECT_FALSE(Enabled(IDC_SEEK));
    EXPECT_EQ(10000, m_dlg->m_sliderSeek.GetRangeMax());
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, ::GetFileAttributesA("Lrc") & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(Playback, WalksThroughTheFourStatesWithTheirButtons) {
    const std::string song = Wav("song.wav", 4000);
    StartSong(song);
    EXPECT_TRUE(g_bPlaying);
    EXPECT_EQ(CString("状态:播放"), Text(IDC_STATUS));
    EXPECT_EQ(CString(song.c_str()), Text(IDC_PATH));
    EXPECT_EQ(kPlaying, Transport());
    EXPECT_TRUE(Enabled(IDC_SEEK));
    EXPECT_NEAR(4000, m_dlg->m_sliderSeek.GetRangeMax(), 50);

    Click(IDC_PAUSE);
    EXPECT_FALSE(g_bPlaying);
    EXPECT_EQ(CString("状态:暂停"), Text(IDC_STATUS));
    EXPECT_EQ(kHalted, Transport());
    EXPECT_TRUE(CSound::m_bOpened);

    Click(IDC_STOP);
    EXPECT_EQ(CString("状态:停止"), Text(IDC_STATUS));
    EXPECT_EQ(kHalted, Transport());
    EXPECT_EQ(0u, CSound::m_wDeviceID);
    EXPECT_TRUE(Enabled(IDC_SEEK)) << "the slider stays enabled after Stop";

    Click(IDC_PLAY);
    EXPECT_TRUE(g_bPlaying);
    EXPECT_EQ(CString("状态:播放"), Text(IDC_STATUS));
    EXPECT_EQ(kPlaying, Transport());
}

// Position checks use the MP3: waveaudio under Wine reports the position of the buffers it
// has queued, up to about 700 ms ahead of the sound.
TEST_F(Playback, PlayResumesWherePauseLeftOff) {
    StartSong(BuildDataPath("long.mp3"));
    PumpMessages(1200);
    Click(IDC_PAUSE);
    const DWORD paused = CSound::m_seek.dwTo;
    EXPECT_GT(paused, 800u);
    PumpMessages(500);
    const ULONGLONG ullPlay = ::GetTickCount64();
    Click(IDC_PLAY);
    ExpectPlayedFrom(paused, ullPlay, DevicePosition());
}

TEST_F(Playback, StopThenPlayStartsFromTheBeginning) {
    StartSong(BuildDataPath("long.mp3"));
    PumpMessages(1000);
    Click(IDC_STOP);
    const ULONGLONG ullPlay = ::GetTickCount64();
    Click(IDC_PLAY);
    EXPECT_TRUE(CSound::m_bOpened);
    ExpectPlayedFrom(0, ullPlay, DevicePosition());
}

TEST_F(Playback, TheTickShowsThePositionAndTheTime) {
    const ULONGLONG ullPlay = ::GetTickCount64();
    StartSong(BuildDataPath("long.mp3"));
    PumpMessages(2100);
    Tick(TIMER_SECOND);
    const int nShown = m_dlg->m_sliderSeek.GetPos();
    ExpectPlayedFrom(0, ullPlay, static_cast<DWORD>(nShown));
    EXPECT_GE(nShown, 2000);
    char szTime[8];
    std::snprintf(szTime, sizeof(szTime), "00:%02d", nShown / 1000);
    EXPECT_EQ(CString(szTime), Text(IDC_TIME)) << "the time label says the slider's second";
    Tick(TIMER_LRC_POS);
    ExpectPlayedFrom(static_cast<DWORD>(nShown), ullPlay, g_nLrcPos);

    Click(IDC_PAUSE);
    const DWORD lrcPos = g_nLrcPos;
    const int slider = m_dlg->m_sliderSeek.GetPos();
    PumpMessages(300);
    Tick(TIMER_SECOND);
    Tick(TIMER_LRC_POS);
    EXPECT_EQ(lrcPos, g_nLrcPos) << "nothing moves while paused";
    EXPECT_EQ(slider, m_dlg->m_sliderSeek.GetPos());
}

// The band's clock starts afresh on a new count and carries each reading from its counter.
TEST_F(Playback, EveryStartOfTheDeviceIsPublishedAtOnceAndCounted) {
    g_nLrcPos = 99000;  // the last song's
    const ULONGLONG ullPlay = ::GetTickCount64();
    StartSong(BuildDataPath("long.mp3"));
    EXPECT_EQ(1u, g_nLrcPosStarts);
    ExpectPlayedFrom(0, ullPlay, g_nLrcPos);
    m_dlg->m_sliderSeek.SetPos(5000);
    const ULONGLONG ullSeek = ::GetTickCount64();
    m_dlg->SendMessage(WM_HSCROLL, TB_THUMBTRACK, reinterpret_cast<LPARAM>(m_dlg->m_sliderSeek.m_hWnd));
    EXPECT_EQ(2u, g_nLrcPosStarts);
    ExpectPlayedFrom(5000, ullSeek, g_nLrcPos);
    Click(IDC_PAUSE);
    LARGE_INTEGER resumed;
    ::QueryPerformanceCounter(&resumed);
    Click(IDC_PLAY);
    EXPECT_EQ(3u, g_nLrcPosStarts);
    EXPECT_GE(g_llLrcPosCounter, resumed.QuadPart);

    // The band's frames ask for readings of their own: no start, and none while paused.
    const LONGLONG llResumed = g_llLrcPosCounter;
    m_dlg->SendMessage(WM_LRC_READPOS, 0, 0);
    EXPECT_GT(g_llLrcPosCounter, llResumed);
    EXPECT_EQ(3u, g_nLrcPosStarts);
    Click(IDC_PAUSE);
    const LONGLONG llPaused = g_llLrcPosCounter;
    m_dlg->SendMessage(WM_LRC_READPOS, 0, 0);
    EXPECT_EQ(llPaused, g_llLrcPosCounter);
}

TEST_F(Playback, AStartRequestWaitsForTheOneSecondTick) {
    const std::string song = Wav("song.wav", 3000);
    g_strSongPath = Widen(song);
    g_bStartSong = true;
    for (UINT_PTR timer : {TIMER_DOTS, TIMER_BARS, TIMER_LRC_POS}) {
        Tick(timer);
        EXPECT_TRUE(g_bStartSong);
        EXPECT_FALSE(g_bPlaying);
        EXPECT_EQ(0u, CSound::m_wDeviceID);
    }
    Tick(TIMER_SECOND);
    EXPECT_FALSE(g_bStartSong);
    EXPECT_TRUE(g_bPlaying);
    EXPECT_TRUE(CSound::m_bOpened);
}

TEST_F(Playback, NextAndPreviousWrapAroundTheSongsBox) {
    for (const char* name : {"a.wav", "b.wav", "c.wav"})
        Songs().AddString(m_dir.File(name).c_str());
    Songs().SetCurSel(2);
    Click(IDC_NEXT);
    EXPECT_EQ(0, Songs().GetCurSel());
    EXPECT_EQ(CStringW(Widen(m_dir.File("a.wav"))), g_strSongPath);
    EXPECT_TRUE(g_bStartSong);
    g_bStartSong = false;
    Click(IDC_PREV);
    EXPECT_EQ(2, Songs().GetCurSel());
    EXPECT_EQ(CStringW(Widen(m_dir.File("c.wav"))), g_strSongPath);
    EXPECT_TRUE(g_bStartSong);
}

TEST_F(Playback, AOneSongBoxRestartsItsSongWithoutReadingTheRow) {
    Songs().AddString("D:\\only.wav");
    Songs().SetCurSel(0);
    g_strSongPath = L"D:\\playing.wav";
    for (int id : {IDC_NEXT, IDC_PREV}) {
        g_bStartSong = false;
        Click(id);
        EXPECT_TRUE(g_bStartSong);
        EXPECT_EQ(0, Songs().GetCurSel());
        EXPECT_EQ(CStringW(L"D:\\playing.wav"), g_strSongPath);
    }
}

TEST_F(Playback, NextWithoutSelectionOrRowsDoesNothing) {
    g_strSongPath = L"D:\\playing.wav";
    Click(IDC_NEXT);
    EXPECT_FALSE(g_bStartSong);
    Songs().AddString("D:\\a.wav");
    Songs().AddString("D:\\b.wav");
    Click(IDC_PREV);
    EXPECT_FALSE(g_bStartSong);
    EXPECT_EQ(CStringW(L"D:\\playing.wav"), g_strSongPath);
}

TEST_F(Playback, ASongEndingInPlayOnceModeStops) {
    StartSong(Wav("short.wav", 1000));
    ASSERT_TRUE(TakeEnd());
    EXPECT_FALSE(g_bPlaying);
    EXPECT_EQ(CString("状态:停止"), Text(IDC_STATUS));
    EXPECT_EQ(0u, CSound::m_wDeviceID);
    EXPECT_EQ(kHalted, Transport());
}

TEST_F(Playback, ASongEndingInRepeatSongModeRequestsItAgain) {
    const std::string song = Wav("short.wav", 1000);
    g_nPlayMode = PLAYMODE_REPEAT_SONG;
    StartSong(song);
    ASSERT_TRUE(TakeEnd());
    EXPECT_TRUE(g_bStartSong);
    EXPECT_EQ(CStringW(Widen(song)), g_strSongPath);
    Tick(TIMER_SECOND);
    EXPECT_TRUE(g_bPlaying);
    EXPECT_TRUE(CSound::m_bOpened);
    EXPECT_EQ(CString("状态:播放"), Text(IDC_STATUS));
}

TEST_F(Playback, ASongEndingInRepeatListModeMovesToTheNextRow) {
    const std::string first = Wav("first.wav", 1000);
    const std::string second = Wav("second.wav", 1000);
    Songs().AddString(first.c_str());
    Songs().AddString(second.c_str());
    Songs().SetCurSel(0);
    g_nPlayMode = PLAYMODE_REPEAT_LIST;
    StartSong(first);
    ASSERT_TRUE(TakeEnd());
    EXPECT_TRUE(g_bStartSong);
    EXPECT_EQ(1, Songs().GetCurSel());
    EXPECT_EQ(CStringW(Widen(second)), g_strSongPath);
    Tick(TIMER_SECOND);
    EXPECT_EQ(CString(second.c_str()), Text(IDC_PATH));
    EXPECT_EQ(CString("状态:播放"), Text(IDC_STATUS));
}

// The device's own end notice, posted again with each of the other codes, changes nothing;
// posted as it came, it ends the song.
TEST_F(Playback, NotificationsOtherThanSuccessAreIgnored) {
    StartSong(Wav("song.wav", 1000));
    g_nPlayMode = PLAYMODE_ONCE;
    ASSERT_TRUE(WaitUntilEndQueued(m_dlg->m_hWnd, 8000));
    MSG end;
    ASSERT_TRUE(::PeekMessageA(&end, m_dlg->m_hWnd, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE));
    for (WPARAM code : {MCI_NOTIFY_ABORTED, MCI_NOTIFY_SUPERSEDED, MCI_NOTIFY_FAILURE}) {
        m_dlg->PostMessage(MM_MCINOTIFY, code, end.lParam);
        PumpMessages(100);
        EXPECT_TRUE(g_bPlaying) << code;
        EXPECT_EQ(CString("状态:播放"), Text(IDC_STATUS));
    }
    m_dlg->PostMessage(MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, end.lParam);
    PumpMessages(100);
    EXPECT_FALSE(g_bPlaying);
    EXPECT_EQ(CString("状态:停止"), Text(IDC_STATUS));
}

// The player used to report a song it could not open as playing.
TEST_F(Playback, ASongThatCannotBeOpenedIsNeverShownAsPlaying) {
    StartSong(Wav("song.wav", 3000));
    const int range = m_dlg->m_sliderSeek.GetRangeMax();
    // A damaged download whose format says no channels: played, it took the player down.
    std::string bytes = ReadFileBytes(Wav("broken.wav", 500));
    bytes[22] = bytes[23] = '\0';
    WriteFileBytes(m_dir.File("broken.wav"), bytes);
    for (const std::string& bad : {m_dir.File("missing.wav"), m_dir.File("notes.txt"), m_dir.File("broken.wav")}) {
        StartSong(bad);
        EXPECT_FALSE(g_bPlaying) << bad;
        EXPECT_EQ(CString("状态:停止"), Text(IDC_STATUS));
        EXPECT_EQ(CString(bad.c_str()), Text(IDC_PATH));
        EXPECT_EQ(range, m_dlg->m_sliderSeek.GetRangeMax());
        EXPECT_FALSE(Enabled(IDC_PAUSE));
        Click(IDC_PLAY);
        EXPECT_FALSE(g_bPlaying) << "Play of the same path fails the same way";
        EXPECT_EQ(CString("状态:停止"), Text(IDC_STATUS));
    }
}

// The player used to leave 状态:播放 over a silent device here.
TEST_F(Playback, TheListLoopStopsWhenTheBoxHasNoSelection) {
    Songs().AddString(Wav("a.wav", 1000).c_str());
    g_nPlayMode = PLAYMODE_REPEAT_LIST;
    StartSong(m_dir.File("a.wav"));
    ASSERT_TRUE(TakeEnd());
    EXPECT_FALSE(g_bPlaying);
    EXPECT_FALSE(g_bStartSong);
    EXPECT_EQ(CString("状态:停止"), Text(IDC_STATUS));
    EXPECT_EQ(0u, CSound::m_wDeviceID);
}

// Dragging the slider while paused used to play the song under a window that said 暂停.
TEST_F(Playback, TheSliderOnlyMovesTheResumePointWhilePaused) {
    StartSong(BuildDataPath("long.mp3"));
    PumpMessages(300);
    Click(IDC_PAUSE);
    m_dlg->m_sliderSeek.SetPos(3000);
    m_dlg->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 3000),
                       reinterpret_cast<LPARAM>(m_dlg->m_sliderSeek.m_hWnd));
    EXPECT_EQ(3000u, CSound::m_seek.dwTo);
    PumpMessages(300);
    EXPECT_NE(static_cast<DWORD>(MCI_MODE_PLAY), DeviceMode());
    EXPECT_EQ(CString("状态:暂停"), Text(IDC_STATUS));
    const ULONGLONG ullPlay = ::GetTickCount64();
    Click(IDC_PLAY);
    ExpectPlayedFrom(3000, ullPlay, DevicePosition());
    EXPECT_EQ(CString("状态:播放"), Text(IDC_STATUS));
}

TEST_F(Playback, TheSliderSeeksAndPlaysWhilePlaying) {
    StartSong(BuildDataPath("long.mp3"));
    m_dlg->m_sliderSeek.SetPos(2500);
    const ULONGLONG ullSeek = ::GetTickCount64();
    m_dlg->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 2500),
                       reinterpret_cast<LPARAM>(m_dlg->m_sliderSeek.m_hWnd));
    EXPECT_EQ(2500u, CSound::m_seek.dwTo);
    ExpectPlayedFrom(2500, ullSeek, DevicePosition());
    PumpMessages(200);
    EXPECT_EQ(static_cast<DWORD>(MCI_MODE_PLAY), DeviceMode());
    EXPECT_TRUE(g_bPlaying);
}

TEST_F(Playback, TheVolumeSliderWritesToTheWaveOutLine) {
    m_dlg->m_sliderVolume.SetPos(37);
    m_dlg->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(m_dlg->m_sliderVolume.m_hWnd));
    ASSERT_EQ(1u, s_writes.size());
    EXPECT_EQ(static_cast<DWORD>(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT), s_writes[0].dwComponentType);
    EXPECT_EQ(static_cast<DWORD>(MIXERCONTROL_CONTROLTYPE_VOLUME), s_writes[0].dwControlType);
    EXPECT_EQ(CSound::ValueFromPercent(65535, 37), s_writes[0].dwValue);
}

TEST_F(Playback, TheMuteButtonSwitchesTheWaveOutMute) {
    const bool muted = theSound.GetMute();
    Click(IDC_MUTE);
    ASSERT_EQ(1u, s_writes.size());
    EXPECT_EQ(static_cast<DWORD>(MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT), s_writes[0].dwComponentType);
    EXPECT_EQ(static_cast<DWORD>(MIXERCONTROL_CONTROLTYPE_MUTE), s_writes[0].dwControlType);
    EXPECT_EQ(muted ? 0u : 1u, s_writes[0].dwValue);
}
