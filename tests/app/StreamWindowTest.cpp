// The main window over songs that only Media Foundation plays ("mpegvideo" is off for these
// tests, tests/CMakeLists.txt).
#include "MainWindowFixture.h"

using StreamWindow = MainWindow;

namespace {

std::string Stream(const char* name) {
    return BuildDataPath(std::string("stream/") + name);
}

// Waits without dispatching, so that a posted end notice stays in the queue.
bool EndNoticeQueued(DWORD dwMs) {
    const ULONGLONG ullEnd = ::GetTickCount64() + dwMs;
    MSG msg;
    while (!::PeekMessageA(&msg, nullptr, MM_MCINOTIFY, MM_MCINOTIFY, PM_NOREMOVE)) {
        if (::GetTickCount64() > ullEnd)
            return false;
        ::Sleep(20);
    }
    return true;
}

}  // namespace

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
    ASSERT_TRUE(EndNoticeQueued(3000));
    StartSong(Stream("tone.opus"));  // a double-click on another song, before the notice is read
    PumpMessages(300);
    EXPECT_FALSE(g_bStartSong);
    EXPECT_EQ(0, Songs().GetCurSel());
    EXPECT_EQ(CString(Stream("tone.opus").c_str()), Text(IDC_PATH));
    EXPECT_EQ(CString("状态:播放"), Text(IDC_STATUS));
}
