// The main window's side of the lyric band: its position for the band, the LRC button, the
// band's menu commands that stand for keys, and the unlock, also from the notification-area menu.
#include "app/CSonelloDlg.h"

#include "app/PlayerKeys.h"
#include "framework/CMenu.h"
#include "lyrics/CDlgLrc.h"
#include "sound/CSound.h"
#include "state/PlayerState.h"

void CSonelloDlg::PublishLrcPosition(bool bStart) {
    DWORD dwPosition = 0;
    const bool bRead = CSound::GetPosition(&dwPosition);
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    // A start the device cannot tell about yet begins where it was told to play from: the band
    // must not carry the last song or the place before the seek on.
    if (bRead || bStart)
        PublishLrcPos(bRead ? dwPosition : CSound::m_seek.dwTo, now.QuadPart, bStart);
}

void CSonelloDlg::OnShowLrc() {
    if (!g_pDlgLrc)
        return;
    g_pDlgLrc->SetShown(!g_bLrcShown);
}

LRESULT CSonelloDlg::OnTrayNotify(WPARAM /*wParam*/, LPARAM lParam) {
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN:
        ShowWindow(SW_SHOWNORMAL);
        m_trayIcon.Remove();
        break;
    case WM_RBUTTONDOWN: {
        POINT pt;
        ::GetCursorPos(&pt);
        CMenu menu;
        if (!menu.CreatePopupMenu())
            break;
        if (g_pDlgLrc && g_pDlgLrc->IsLocked())
            menu.AppendMenu(MF_STRING, IDM_BAND_UNLOCK, "解锁歌词");
        menu.AppendMenu(MF_STRING, IDCANCEL, "关闭");
        // Without the foreground the menu would not close when the user clicks elsewhere.
        ::SetForegroundWindow(m_hWnd);
        menu.TrackPopupMenu(TPM_LEFTALIGN, pt.x, pt.y, m_hWnd);
        break;
    }
    default:
        break;
    }
    return 0;
}

LRESULT CSonelloDlg::OnLrcReadPos(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    if (g_bPlaying)
        PublishLrcPosition(false);
    return 0;
}

LRESULT CSonelloDlg::OnLrcKey(WPARAM wParam, LPARAM /*lParam*/) {
    if (g_pDlgLrc)
        PressLyricsKey(*g_pDlgLrc, wParam);
    return 0;
}

void CSonelloDlg::OnUnlockBand() {
    if (g_pDlgLrc)
        g_pDlgLrc->SetLocked(false);
}

LRESULT CSonelloDlg::OnInitMenuPopup(WPARAM wParam, LPARAM /*lParam*/) {
    Default();
    // The system menu offers the unlock only while there is something to unlock.
    const bool bLocked = g_pDlgLrc && g_pDlgLrc->IsLocked();
    ::EnableMenuItem(reinterpret_cast<HMENU>(wParam), IDM_BAND_UNLOCK,
                     MF_BYCOMMAND | (bLocked ? MF_ENABLED : MF_GRAYED));
    return 0;
}
