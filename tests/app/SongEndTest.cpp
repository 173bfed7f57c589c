// The end of a song, told by the real devices: "mpegvideo" for MP3 (on here, unlike the Stream
// tests), "waveaudio" for WAV, Media Foundation for FLAC. What the play mode does with it, and
// the ends of plays that were stopped, paused or replaced before their notice was read.
#include "MainWindowFixture.h"

using SongEnd = MainWindow;

namespace {

std::string Mp3() {
    return BuildDataPath("tone.mp3");  // 1.5 s
}

}  // namespace

TEST_F(SongEnd, AnMp3EndsInEachPlayMode) {
    const struct {
        int nMode;
        const char* pszStatus;
        bool bStartRequested;
        int nSelected;
    } kCases[] = {
        {PLAYMODE_ONCE, "状态:停止", false, -1},
        {PLAYMODE_REPEAT_SONG, "状态:播放", true, -1},
        {PLAYMODE_REPEAT_LIST, "状态:播放", true, 1},
    };
    const std::string other = Wav("other.wav", 3000);
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.nMode);
        Songs().ResetContent();
        Songs().AddString(Mp3().c_str());
        Songs().AddString(other.c_str());
        Songs().SetCurSel(c.nMode == PLAYMODE_REPEAT_LIST ? 0 : -1);
        g_nPlayMode = c.nMode;
        StartSong(Mp3());
        ASSERT_FALSE(CSound::IsStreaming()) << "the sound device plays it";
        ASSERT_TRUE(TakeEnd()) << "no end came";
        EXPECT_EQ(c.bStartRequested, g_bStartSong);
        EXPECT_EQ(c.nSelected, Songs().GetCurSel());
        EXPECT_EQ(CStringW(Widen(c.nMode == PLAYMODE_REPEAT_LIST ? other : Mp3())), g_strSongPath);
        Tick(TIMER_SECOND);
        EXPECT_EQ(CString(c.pszStatus), Text(IDC_STATUS));
        CSound::Close();
        g_bStartSong = false;
        g_bPlaying = false;
    }
}

// A 1 s WAV and an MP3 in list loop: the MP3's end used to leave 播放 over silence.
TEST_F(SongEnd, TheListLoopGoesFromAWavToAnMp3AndWrapsAround) {
    const std::string wav = Wav("first.wav", 1000);
    Songs().AddString(wav.c_str());
    Songs().AddString(Mp3().c_str());
    Songs().SetCurSel(0);
    g_nPlayMode = PLAYMODE_REPEAT_LIST;
    StartSong(wav);
    for (const std::string& next : {Mp3(), wav}) {
        ASSERT_TRUE(TakeEnd()) << "no end before " << next;
        EXPECT_TRUE(g_bStartSong);
        EXPECT_EQ(CStringW(Widen(next)), g_strSongPath);
        Tick(TIMER_SECOND);
        EXPECT_EQ(CString("状态:播放"), Text(IDC_STATUS));
    }
    EXPECT_EQ(0, Songs().GetCurSel());
}

// A song asked for (a double-click) between the end and its notice starts, in every mode.
TEST_F(SongEnd, AnEndWhileAnotherSongIsAskedForLetsThatSongStart) {
    const std::string asked = Wav("asked.wav", 3000);
    for (int nMode : {PLAYMODE_ONCE, PLAYMODE_REPEAT_SONG, PLAYMODE_REPEAT_LIST}) {
        SCOPED_TRACE(nMode);
        Songs().ResetContent();
        for (const std::string& song : {Mp3(), Wav("x.wav", 3000), asked, Wav("y.wav", 3000)})
            Songs().AddString(song.c_str());
        Songs().SetCurSel(0);
        g_nPlayMode = nMode;
        StartSong(Mp3());
        ASSERT_TRUE(WaitUntilEndQueued(m_dlg->m_hWnd, 8000));
        Songs().SetCurSel(2);
        g_strSongPath = Widen(asked);
        g_bStartSong = true;
        PumpMessages(200);
        Tick(TIMER_SECOND);
        EXPECT_EQ(2, Songs().GetCurSel());
        EXPECT_EQ(CString(asked.c_str()), Text(IDC_PATH));
        EXPECT_EQ(CString("状态:播放"), Text(IDC_STATUS));
        EXPECT_FALSE(g_bStartSong);
    }
}

// The end notice of a play already stopped, replaced or paused when it is read must change
// nothing, for the sound device and for Media Foundation alike.
TEST_F(SongEnd, TheEndOfAPlayStoppedReplacedOrPausedIsIgnored) {
    enum class Act { Stop, Next, Pause };
    const struct {
        Act act;
        const char* pszStatus;
        int nSelected;
    } kActs[] = {{Act::Stop, "状态:停止", 0}, {Act::Next, "状态:播放", 1}, {Act::Pause, "状态:暂停", 0}};
    const std::string other = Wav("other.wav", 4000);
    for (const std::string& song : {Mp3(), BuildDataPath("stream/tone.flac")}) {
        for (const auto& a : kActs) {
            SCOPED_TRACE(song + " " + std::to_string(static_cast<int>(a.act)));
            Songs().ResetContent();
            for (const std::string& row : {song, other, Wav("third.wav", 1000)})
                Songs().AddString(row.c_str());
            Songs().SetCurSel(0);
            g_nPlayMode = PLAYMODE_REPEAT_LIST;
            StartSong(song);
            const int nNearEnd = m_dlg->m_sliderSeek.GetRangeMax() - 300;
            m_dlg->m_sliderSeek.SetPos(nNearEnd);
            m_dlg->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, nNearEnd),
                               reinterpret_cast<LPARAM>(m_dlg->m_sliderSeek.m_hWnd));
            ASSERT_TRUE(WaitUntilEndQueued(m_dlg->m_hWnd, 8000));
            if (a.act == Act::Stop)
                Click(IDC_STOP);
            if (a.act == Act::Pause)
                Click(IDC_PAUSE);
            if (a.act == Act::Next) {
                Click(IDC_NEXT);
                Tick(TIMER_SECOND);
            }
            PumpMessages(300);  // the notice is read now
            EXPECT_FALSE(g_bStartSong);
            EXPECT_EQ(a.nSelected, Songs().GetCurSel());
            EXPECT_EQ(CString(a.pszStatus), Text(IDC_STATUS));
            CSound::Close();
            g_bPlaying = false;
        }
    }
}
