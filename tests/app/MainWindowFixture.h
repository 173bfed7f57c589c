// The real main window, created modeless in a scratch folder, with clicks and timer ticks
// sent as the system would send them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/CSonelloDlg.h"
#include "lyrics/CDlgLrc.h"
#include "playlist/CPlayList.h"
#include "sound/CSound.h"
#include "state/PlayerState.h"
#include "support/TestSupport.h"

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        m_cwd = std::make_unique<CurrentDirScope>(m_dir.Path());
        m_dlg = std::make_unique<CSonelloDlg>();
        ASSERT_TRUE(m_dlg->Create(IDD_SONELLO_DIALOG, nullptr));
        s_writes.clear();
        CSound::s_pfnValueWritten = &MainWindow::RecordWrite;
    }
    void TearDown() override {
        CSound::s_pfnValueWritten = nullptr;
        m_dlg.reset();  // destroys the window and, with it, the two child windows
        CSound::Close();
        ResetPlayerState();
        PumpMessages(20);
        m_cwd.reset();
    }

    void Click(int nID) {
        m_dlg->SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(m_dlg->GetDlgItem(nID)));
    }
    void Tick(UINT_PTR nTimer) { m_dlg->SendMessage(WM_TIMER, nTimer, 0); }
    CString Text(int nID) const {
        char buf[1024] = {};
        ::GetDlgItemTextA(m_dlg->m_hWnd, nID, buf, sizeof(buf));
        return CString(buf);
    }
    bool Enabled(int nID) const { return ::IsWindowEnabled(m_dlg->GetDlgItem(nID)) != FALSE; }
    // Enabled state of Previous, Play, Pause, Next, Stop.
    std::vector<bool> Transport() const {
        return {Enabled(IDC_PREV), Enabled(IDC_PLAY), Enabled(IDC_PAUSE), Enabled(IDC_NEXT), Enabled(IDC_STOP)};
    }
    CListBox& Songs() { return g_pPlayList->m_lbSongs; }
    std::string Wav(const char* name, int nMs) {
        const std::string path = m_dir.File(name);
        WriteWav(path, nMs);
        return path;
    }
    // Requests the song as a double-click does and lets the one-second tick start it.
    void StartSong(const std::string& path) {
        g_strSongPath = Widen(path);
        g_bStartSong = true;
        Tick(TIMER_SECOND);
    }
    // Waits for the song's end notice and hands the window that one message alone: the window's
    // own timers, which a busy machine lets pile up, cannot start the next song before the test
    // has looked.
    bool TakeEnd(DWORD dwTimeoutMs = 8000) {
        MSG msg;
        if (!WaitUntilEndQueued(m_dlg->m_hWnd, dwTimeoutMs) ||
            !::PeekMessageA(&msg, m_dlg->m_hWnd, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE))
            return false;
        ::DispatchMessageA(&msg);
        return true;
    }
    // Only an icon that is there can be changed.
    static bool IconInTray(HWND hWnd) {
        NOTIFYICONDATAA nid = {};
        nid.cbSize = sizeof(nid);
        nid.hWnd = hWnd;
        nid.uID = IDR_MAINFRAME;
        return ::Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
    }
    static DWORD DevicePosition() {
        MCI_STATUS_PARMS status = {};
        status.dwItem = MCI_STATUS_POSITION;
        ::mciSendCommandA(CSound::m_wDeviceID, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                          reinterpret_cast<DWORD_PTR>(&status));
        return static_cast<DWORD>(status.dwReturn);
    }
    static DWORD DeviceMode() {
        MCI_STATUS_PARMS status = {};
        status.dwItem = MCI_STATUS_MODE;
        if (::mciSendCommandA(CSound::m_wDeviceID, MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT,
                              reinterpret_cast<DWORD_PTR>(&status)) != 0)
            return 0;
        return static_cast<DWORD>(status.dwReturn);
    }

    struct Write {
        DWORD dwComponentType;
        DWORD dwControlType;
        DWORD dwValue;
    };
    static std::vector<Write> s_writes;
    static void RecordWrite(DWORD dwComponentType, DWORD dwControlType, DWORD dwValue) {
        s_writes.push_back({dwComponentType, dwControlType, dwValue});
    }

    ScratchDir m_dir;
    std::unique_ptr<CurrentDirScope> m_cwd;
    std::unique_ptr<CSonelloDlg> m_dlg;
};

inline std::vector<MainWindow::Write> MainWindow::s_writes;
