// Keys on the real main window, typed on the X display with xdotool as a keyboard would, and
// dispatched as the player's modal loop dispatches them.
#include "MainWindowFixture.h"

#include <cmath>
#include <string>

#include "app/PlayerKeys.h"
#include "framework/Holders.h"
#include "lyrics/CLyc.h"

namespace {

class Keys : public MainWindow {
protected:
    // Wine starts a Unix program without a handle to wait on: callers wait for what the keys do.
    // The last call's Ctrl may still be on its way up when its key has done its work; typed
    // before it arrives, the next key would come without it.
    static void Type(std::string keys) {
        ASSERT_TRUE(PumpAsPlayerUntil([] { return ::GetKeyState(VK_CONTROL) >= 0; }));
        keys = "/usr/bin/xdotool key " + keys;
        STARTUPINFOA si = {sizeof(si)};
        PROCESS_INFORMATION pi = {};
        ASSERT_TRUE(::CreateProcessA(nullptr, &keys[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        const CHandle process(pi.hProcess), thread(pi.hThread);
    }
    static bool PumpAsPlayerUntil(const std::function<bool()>& condition, DWORD dwTimeoutMs = 3000) {
        const DWORD start = ::GetTickCount();
        while (!condition()) {
            if (::GetTickCount() - start >= dwTimeoutMs)
                return false;
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                if (!CWnd::WalkPreTranslateTree(&msg)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageA(&msg);
                }
        }
        return true;
    }
    static void Activate(HWND hWnd, HWND hFocus) {
        ::SetForegroundWindow(hWnd);
        ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == hWnd; }, 3000));
        ::SetFocus(hFocus);
    }
    void AppCommand(UINT nCommand) { m_dlg->SendMessage(WM_APPCOMMAND, 0, MAKELPARAM(0, nCommand)); }
    // Until the band has loaded the song's lyrics, whose first line is given.
    void PlayWithLyrics(const std::string& path, const wchar_t* pszFirst) {
        StartSong(path);
        ASSERT_TRUE(PumpUntil(
            [&] {
                return g_pDlgLrc->Model().State().bLrcLoaded && !g_lyc.Texts().empty() &&
                       g_lyc.Texts().begin()->second == pszFirst;
            },
            3000));
    }
    static bool OffsetIs(double d) {
        return PumpAsPlayerUntil([d] { return std::fabs(g_lyc.Offset() - d) < 1e-9; });
    }
};

}  // namespace

TEST_F(Keys, MediaKeysPressTheirButtonsAsHotKeysOrAsTheKeysThemselves) {
    for (const char* name : {"a.wav", "b.wav"})
        Songs().AddString(Wav(name, 6000).c_str());
    Songs().SetCurSel(0);
    StartSong(m_dir.File("a.wav"));
    Activate(*m_dlg, m_dlg->GetDlgItem(IDC_VOLUME));
    Type("XF86AudioPlay");
    EXPECT_TRUE(PumpAsPlayerUntil([&] { return Text(IDC_STATUS) == "状态:暂停"; }));
    Type("XF86AudioPlay");
    EXPECT_TRUE(PumpAsPlayerUntil([&] { return Text(IDC_STATUS) == "状态:播放"; }));
    // Not held (as when another program has it), the key becomes WM_APPCOMMAND.
    ASSERT_TRUE(::UnregisterHotKey(*m_dlg, HOTKEY_NEXT));
    Type("XF86AudioNext");
    EXPECT_TRUE(PumpAsPlayerUntil([&] { return Songs().GetCurSel() == 1 && !g_bStartSong; }));
    Type("XF86AudioStop");
    EXPECT_TRUE(PumpAsPlayerUntil([&] { return Text(IDC_STATUS) == "状态:停止"; }));
}

TEST_F(Keys, AppCommandsGoAsFarAsTheButtonsAreEnabled) {
    AppCommand(APPCOMMAND_MEDIA_PLAY_PAUSE);  // idle: every transport button is off
    EXPECT_EQ(CString("状态:无"), Text(IDC_STATUS));
    Songs().AddString(Wav("a.wav", 6000).c_str());
    StartSong(m_dir.File("a.wav"));
    AppCommand(APPCOMMAND_MEDIA_NEXTTRACK);
    EXPECT_FALSE(g_bStartSong) << "no selected song";
    AppCommand(APPCOMMAND_MEDIA_STOP);
    AppCommand(APPCOMMAND_MEDIA_PLAY_PAUSE);
    EXPECT_EQ(CString("状态:播放"), Text(IDC_STATUS));
    Songs().SetCurSel(0);
    AppCommand(APPCOMMAND_MEDIA_PREVIOUSTRACK);
    EXPECT_TRUE(g_bStartSong);
}

TEST_F(Keys, CtrlUpDownAndZeroMoveEachSongsLyricsByHalfSeconds) {
    ::CreateDirectoryA("Lrc", nullptr);
    const std::string lrc = "[offset:+200]\r\n[00:00.00]一\r\n[00:01.00]二\r\n[00:02.00]三\r\n";
    WriteFileBytes("Lrc\\a.lrc", lrc);
    WriteFileBytes("Lrc\\b.lrc", "[00:00.00]甲\r\n[00:01.00]乙\r\n");
    const std::string a = Wav("a.wav", 8000), b = Wav("b.wav", 8000);
    PlayWithLyrics(a, L"一");
    const int nVolume = m_dlg->m_sliderVolume.GetPos();
    Activate(*m_dlg, m_dlg->GetDlgItem(IDC_VOLUME));
    Type("ctrl+Up ctrl+Up ctrl+Up ctrl+Down");
    EXPECT_TRUE(OffsetIs(0.2 + 1.0)) << g_lyc.Offset();
    EXPECT_EQ(CStringW(L"二"), g_lyc.GetCurrentLine(0.4)) << "0.4 s shows the line of 1.6 s";
    EXPECT_EQ(nVolume, m_dlg->m_sliderVolume.GetPos()) << "the focused slider saw no key";

    PlayWithLyrics(b, L"甲");
    EXPECT_NEAR(0.0, g_lyc.Offset(), 1e-9) << "another song starts from its own offset";
    Type("ctrl+Down");
    EXPECT_TRUE(OffsetIs(-0.5));
    EXPECT_EQ("[00:00.00]甲\r\n[00:01.00]乙\r\n", ReadFileBytes("Lrc\\b.lrc")) << "written seconds later, not at once";
    PlayWithLyrics(a, L"一");
    EXPECT_NEAR(1.2, g_lyc.Offset(), 1e-9) << "playing a song again keeps its shift";
    Type("ctrl+0");
    EXPECT_TRUE(OffsetIs(0.2));
    PlayWithLyrics(b, L"甲");
    EXPECT_NEAR(-0.5, g_lyc.Offset(), 1e-9);
    // A few seconds after the last key each file holds its song's timing in its own offset tag.
    const std::string shifted = "[offset:-500]\r\n[00:00.00]甲\r\n[00:01.00]乙\r\n";
    EXPECT_TRUE(PumpAsPlayerUntil([&] { return ReadFileBytes("Lrc\\b.lrc") == shifted; }, 15000));
    EXPECT_EQ(lrc, ReadFileBytes("Lrc\\a.lrc")) << "back at its own offset";
}

TEST_F(Keys, CtrlTSwitchesTheTranslationsOffAndOnAndKeepsTheChoiceInAFile) {
    ::CreateDirectoryA("Lrc", nullptr);
    WriteFileBytes("Lrc\\a.lrc", "[00:00.00]一\r\n[00:00.00]one\r\n[00:06.00]二\r\n");
    PlayWithLyrics(Wav("a.wav", 8000), L"一");
    const auto switchFile = [] { return ::GetFileAttributesW(L"Lrc\\不显示翻译") != INVALID_FILE_ATTRIBUTES; };
    EXPECT_EQ(CStringW(L"one"), g_pDlgLrc->Model().State().strBottomLine);
    Activate(*m_dlg, m_dlg->GetDlgItem(IDC_VOLUME));
    Type("ctrl+t");
    EXPECT_TRUE(PumpAsPlayerUntil([] { return g_pDlgLrc->Model().State().strBottomLine == L"二"; }));
    EXPECT_TRUE(switchFile());
    Type("ctrl+t");
    EXPECT_TRUE(PumpAsPlayerUntil([] { return g_pDlgLrc->Model().State().strBottomLine == L"one"; }));
    EXPECT_FALSE(switchFile());
}

TEST_F(Keys, EscapeAndItsOwnCloseHideTheSongListForGoodAndEnterHidesNothing) {
    CPlayList& list = *g_pPlayList;
    for (const auto& close : std::vector<std::function<void()>>{[&] {
                                                                    Activate(list, list.m_lbSongs);
                                                                    Type("Escape");
                                                                },
                                                                [&] { list.SendMessage(WM_SYSCOMMAND, SC_CLOSE); }}) {
        Click(IDC_SHOWLIST);
        ASSERT_TRUE(PumpAsPlayerUntil([&] { return list.IsWindowVisible() != FALSE; }));
        close();
        EXPECT_TRUE(PumpAsPlayerUntil([&] { return !list.IsWindowVisible(); }));
        EXPECT_FALSE(g_bShowList);
        EXPECT_FALSE(PumpAsPlayerUntil([&] { return list.IsWindowVisible() != FALSE; }, 500)) << "the timers run on";
    }
    // Enter hides nothing: in the name box it renames the selected list, elsewhere it is ignored.
    Click(IDC_SHOWLIST);
    ASSERT_TRUE(PumpAsPlayerUntil([&] { return list.IsWindowVisible() != FALSE; }));
    list.OnNewList();
    list.m_lbLists.SetCurSel(1);
    list.m_editName.SetWindowText("晚上听");
    Activate(list, list.m_editName);
    Type("Return");
    EXPECT_TRUE(PumpAsPlayerUntil([&] {
        CString strRow;
        list.m_lbLists.GetText(1, strRow);
        return strRow == "晚上听";
    }));
    Activate(list, list.m_lbSongs);
    Type("Return");
    EXPECT_FALSE(PumpAsPlayerUntil([&] { return !list.IsWindowVisible(); }, 500));
    EXPECT_TRUE(g_bShowList);
}
