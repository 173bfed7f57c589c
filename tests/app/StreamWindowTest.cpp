// The main window over songs that only Media Foundation plays ("mpegvideo" is off for these
// tests, tests/CMakeLists.txt).
#include "MainWindowFixture.h"

using StreamWindow = MainWindow;

namespace {

std::string Stream(const char* name) {
    return BuildDataPath(std::string("stream/") + name);
}

}  // namespace

TEST_F(StreamWindow, PlaysSeeksAndGoesOnToTheNextSongInListLoopMode) {
    const std::string first = Stream("tone.flac");
    const std::string second = Stream("tone.m4a");
    Songs().AddString(first.c_str());
    Songs().AddString(second.c_str());
    Songs().SetCurSel(0);
    g_nPlayMode = PLAYMODE_REPEAT_LIST;
    StartSong(first);
    EXPECT_TRUE(CSound::IsStreaming());
    EXPECT_EQ(CString("状态:播放"), Text(IDC_STATUS));
    EXPECT_NEAR(3000, m_dlg->m_sliderSeek.GetRangeMax(), 120);

    m_dlg->m_sliderSeek.SetPos(2000);
    m_dlg->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 2000),
                       reinterpret_cast<LPARAM>(m_dlg->m_sliderSeek.m_hWnd));
    Tick(TIMER_SECOND);
    EXPECT_EQ(CString("00:02"), Text(IDC_TIME));
    Tick(TIMER_LRC_POS);
    EXPECT_GE(g_nLrcPos, 2000u);
    EXPECT_LE(g_nLrcPos, 3000u);

    ASSERT_TRUE(TakeEnd()) << "the end came as the device's would";
    EXPECT_TRUE(g_bStartSong);
    EXPECT_EQ(1, Songs().GetCurSel());
    Tick(TIMER_SECOND);
    EXPECT_EQ(CString(second.c_str()), Text(IDC_PATH));
    EXPECT_EQ(CString("状态:播放"), Text(IDC_STATUS));
    EXPECT_TRUE(CSound::IsStreaming());
}

// The end of a song posted just before another was started used to skip the new one.
TEST_F(StreamWindow, TheLateEndOfAReplacedSongIsIgnored) {
    Songs().AddString(Stream("tone.ogg").c_str());
    Songs().AddString(Stream("tone.opus").c_str());
    Songs().SetCurSel(0);
    g_nPlayMode = PLAYMODE_REPEAT_LIST;
    StartSong(Stream("tone.ogg"));
    m_dlg->m_sliderSeek.SetPos(2900);
    m_dlg->SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 2900),
                       reinterpret_cast<LPARAM>(m_dlg->m_sliderSeek.m_hWnd));
    ASSERT_TRUE(WaitUntilEndQueued(m_dlg->m_hWnd, 3000));
    StartSong(Stream("tone.opus"));  // a double-click on another song, before the notice is read
    PumpMessages(300);
    EXPECT_FALSE(g_bStartSong);
    EXPECT_EQ(0, Songs().GetCurSel());
    EXPECT_EQ(CString(Stream("tone.opus").c_str()), Text(IDC_PATH));
    EXPECT_EQ(CString("状态:播放"), Text(IDC_STATUS));
}
