#include "app/CSonelloDlg.h"

#include <ctime>

#include "app/CAboutDlg.h"
#include "app/PlayerKeys.h"
#include "app/PlayerLogic.h"
#include "app/PlayingDecorations.h"
#include "framework/WindowDrag.h"
#include "lyrics/CDlgLrc.h"
#include "playlist/CPlayList.h"
#include "sound/CSound.h"
#include "state/PlayerState.h"

namespace {

const char kAboutText[] =
    "谢谢使用！\n由于作者水平有限，作品不是\n很好用，会慢慢更新！\n发现bug请联系作者，谢谢！\n其他功能开发中！\n"
    "Sonello 由一个小团队用 C++ 和 Win32 写成。\n"
    "界面图片与演示歌曲均为原创，随播放器一同发布。";

}  // namespace

BOOL CSonelloDlg::PreTranslateMessage(MSG* pMsg) {
    // Neither key may end the player.
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_RETURN))
        return TRUE;
    // Taken before the focused control sees them: a slider would move on Ctrl+Up.
    if (pMsg->message == WM_KEYDOWN && ::GetKeyState(VK_CONTROL) < 0 && g_pDlgLrc &&
        PressLyricsKey(*g_pDlgLrc, pMsg->wParam))
        return TRUE;
    if (m_toolTip.m_hWnd)
        m_toolTip.RelayEvent(pMsg);
    return CDialog::PreTranslateMessage(pMsg);
}

void CSonelloDlg::OnSysCommand(UINT nID, LPARAM /*lParam*/) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else if ((nID & 0xFFF0) == IDM_BAND_UNLOCK) {
        OnUnlockBand();
    } else {
        Default();
    }
}

void CSonelloDlg::OnPaint() {
    if (!IsIconic()) {
        RECT rcUpdate;
        const CRect rcBars = PlaceOf(m_staticSpectrum);
        // The picture is painted over the bars' box: the next bar tick draws them again.
        if (::GetUpdateRect(m_hWnd, &rcUpdate, FALSE) && ::IntersectRect(&rcUpdate, &rcUpdate, &rcBars))
            m_tBarsShown = -1;
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    CRect rect;
    GetClientRect(&rect);
    const int x = (rect.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rect.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CSonelloDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

HBRUSH CSonelloDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor) {
    const HBRUSH hbr = CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    if (nCtlColor == CTLCOLOR_STATIC) {
        char szClass[256] = {};
        ::GetClassNameA(pWnd->m_hWnd, szClass, 255);
        if (lstrcmpiA(szClass, TRACKBAR_CLASSA) == 0)
            return hbr;  // the sliders keep the system look
        switch (pWnd->GetDlgCtrlID()) {
        case IDC_STATUS:
            pDC->SetTextColor(RGB(100, 100, 100));
            pDC->SetBkMode(TRANSPARENT);
            break;
        case IDC_TIME:
        case IDC_PATH:
            pDC->SetTextColor(RGB(255, 255, 255));
            pDC->SetBkMode(TRANSPARENT);
            break;
        case IDC_SPECTRUM:
            pDC->SetBkMode(TRANSPARENT);
            break;
        default:
            break;
        }
        return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    }
    if (nCtlColor == CTLCOLOR_DLG)
        return m_brushBk;
    return hbr;
}

void CSonelloDlg::OnAbout() {
    ::MessageBoxA(m_hWnd, kAboutText, "关于本播放器", MB_OK);
}

void CSonelloDlg::OnMinimizeToTray() {
    if (m_trayIcon.Add())
        ShowWindow(SW_HIDE);
    else
        ::MessageBoxA(m_hWnd, "添加托盘失败！", "警告", MB_OK);
    if (g_pPlayList)
        g_pPlayList->ShowWindow(SW_HIDE);
    g_bShowList = false;
}

bool CSonelloDlg::StepSong(bool bNext) {
    CListBox& songs = g_pPlayList->m_lbSongs;
    const int n = songs.GetCount();
    const int s = songs.GetCurSel();
    const int next = StepSelection(n, s, bNext);
    if (next < 0)
        return false;
    if (n > 1) {
        songs.SetCurSel(next);
        songs.GetText(next, g_strSongPath);
    }
    g_bStartSong = true;
    return true;
}

void CSonelloDlg::OnPrev() {
    StepSong(false);
}

void CSonelloDlg::OnPlay() {
    if (!CSound::m_bOpened)
        CSound::Open(g_strSongPath);
    if (!CSound::m_bOpened) {
        // Nothing could be opened: say so instead of pretending to play.
        EnterStopped();
        return;
    }
    StartDevice();
    g_bPlaying = true;
    m_strStatus = "播放";
    UpdateDisplay();
}

void CSonelloDlg::OnPause() {
    CSound::Pause();
    g_bPlaying = false;
    m_strStatus = "暂停";
    UpdateDisplay();
}

void CSonelloDlg::OnNext() {
    StepSong(true);
}

void CSonelloDlg::OnStop() {
    EnterStopped();
}

void CSonelloDlg::EnterStopped() {
    CSound::Close();
    g_bPlaying = false;
    m_strStatus = "停止";
    UpdateDisplay();
}

void CSonelloDlg::OnMute() {
    if (theSound.GetMute()) {
        m_btnMute.LoadBitmaps(IDB_SOUND_ON);
        theSound.SetMute(false);
    } else {
        m_btnMute.LoadBitmaps(IDB_MUTED);
        theSound.SetMute(true);
    }
    Invalidate(TRUE);
}

void CSonelloDlg::OnLButtonDown(UINT /*nFlags*/, CPoint point) {
    DragWindowByBackground(this, point);
}

void CSonelloDlg::OnDestroy() {
    CDialog::OnDestroy();
    m_pDotDC.reset();
    m_pBkBitmap.reset();
    m_trayIcon.Remove();
    UnregisterMediaKeys(m_hWnd);
    // The song stops with the window: no end may be posted to it once it has gone.
    CSound::Close();
    // The child windows ended with their owner; their objects go with this window.
    delete g_pPlayList;
    g_pPlayList = nullptr;
    delete g_pDlgLrc;
    g_pDlgLrc = nullptr;
}

void CSonelloDlg::OnShowList() {
    g_bShowList = true;
}

void CSonelloDlg::OnTimer(UINT_PTR nIDEvent) {
    if (g_bShowList && g_pPlayList && !g_pPlayList->IsWindowVisible())
        g_pPlayList->ShowWindow(SW_SHOW);

    switch (nIDEvent) {
    case TIMER_SECOND:
        if (g_bStartSong)
            StartRequestedSong();
        if (g_bPlaying) {
            DWORD dwPosition = 0;
            if (CSound::GetPosition(&dwPosition))
                m_nPosition = static_cast<int>(dwPosition);
            if (m_sliderSeek.GetPos() != m_nPosition)
                m_sliderSeek.SetPos(m_nPosition);
            m_strTime = FormatElapsed(static_cast<DWORD>(m_nPosition));
            UpdateDisplay();
        }
        break;
    case TIMER_DOTS:
        if (g_bPlaying)
            StepDots();
        break;
    case TIMER_BARS:
        if (g_bPlaying)
            StepBars();
        break;
    case TIMER_LRC_POS:
        if (g_bPlaying)
            PublishLrcPosition(false);
        break;
    default:
        break;
    }
    CDialog::OnTimer(nIDEvent);
}

void CSonelloDlg::StartRequestedSong() {
    g_bStartSong = false;
    g_nSongLength = 0;  // not the last song's, should Play open this one later
    CSound::Close();
    CSound::Open(g_strSongPath);
    m_bSongLoaded = true;
    if (!CSound::m_bOpened) {
        // A song that cannot be opened is never shown as playing; the path label names it.
        EnterStopped();
        return;
    }
    StartDevice();
    DWORD dwLength = 0;
    if (CSound::GetLength(&dwLength)) {
        m_nLength = static_cast<int>(dwLength);
        g_nSongLength = dwLength;
    }
    m_sliderSeek.EnableWindow(TRUE);
    m_sliderSeek.SetRange(0, m_nLength, TRUE);
    g_bPlaying = true;
    m_strStatus = "播放";
    UpdateDisplay();
}

void CSonelloDlg::StartDevice() {
    CSound::PlayFromResume(m_hWnd);
    PublishLrcPosition(true);
}

void CSonelloDlg::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    if (pScrollBar && pScrollBar->m_hWnd == m_sliderSeek.m_hWnd) {
        CSound::m_seek.dwTo = static_cast<DWORD>(m_sliderSeek.GetPos());
        // While paused the slider only moves the resume point: the window must not say
        // 暂停 over a playing device.
        if (g_bPlaying)
            StartDevice();
    } else if (pScrollBar && pScrollBar->m_hWnd == m_sliderVolume.m_hWnd) {
        theSound.SetVolume(m_sliderVolume.GetPos());
    }
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}

LRESULT CSonelloDlg::OnMciNotify(WPARAM wParam, LPARAM lParam) {
    // The notice is posted: it may come after its song was stopped, replaced or paused.
    if (wParam != MCI_NOTIFY_SUCCESSFUL || !CSound::TakeEnd(lParam, static_cast<DWORD>(::GetMessageTime())))
        return 1;
    // A song asked for meanwhile starts at the next tick, whatever the mode would have chosen.
    if (g_bStartSong)
        return 1;
    switch (g_nPlayMode) {
    case PLAYMODE_ONCE:
        EnterStopped();
        break;
    case PLAYMODE_REPEAT_SONG:
        g_bStartSong = true;
        break;
    case PLAYMODE_REPEAT_LIST:
        // With no row to move to the list cannot go on: stop rather than show 播放 over silence.
        if (!StepSong(true)) {
            EnterStopped();
            return 0;
        }
        break;
    default:
        break;
    }
    return 1;
}

void CSonelloDlg::OnHotKey(UINT nHotKeyId, UINT /*nKey1*/, UINT nKey2) {
    if (nHotKeyId == HOTKEY_BAND_LOCK) {
        if (g_pDlgLrc)
            g_pDlgLrc->SetLocked(!g_pDlgLrc->IsLocked());
        return;
    }
    if (const int nButton = ButtonForMediaKey(nKey2))
        PressMediaButton(nButton);
}

void CSonelloDlg::OnAppCommand(CWnd* /*pWnd*/, UINT nCmd, UINT /*nDevice*/, UINT /*nKey*/) {
    if (const int nButton = ButtonForAppCommand(nCmd))
        PressMediaButton(nButton);
    else
        Default();
}

void CSonelloDlg::PressMediaButton(int nButton) {
    if (nButton == IDC_PLAY && !m_btnPlay.IsWindowEnabled())
        nButton = IDC_PAUSE;
    const HWND hButton = GetDlgItem(nButton);
    if (::IsWindowEnabled(hButton))
        SendMessage(WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), reinterpret_cast<LPARAM>(hButton));
}

void CSonelloDlg::UpdateDisplay() {
    SetLabel(m_staticStatus, CStringW::FromGbk((CString("状态:") + m_strStatus).Str()));
    SetLabel(m_staticTime, CStringW::FromGbk(m_strTime.Str()));
    SetLabel(m_staticPath, g_strSongPath);
    EnableButton(m_btnPlay, m_bSongLoaded && !g_bPlaying);
    EnableButton(m_btnPrev, m_bSongLoaded);
    EnableButton(m_btnNext, m_bSongLoaded);
    EnableButton(m_btnStop, m_bSongLoaded);
    EnableButton(m_btnPause, g_bPlaying);
    // The dots are no part of the picture: each display update takes them away.
    RepaintDots();
}

void CSonelloDlg::SetLabel(CStatic& label, const CStringW& strText) {
    CStringW strShown;
    label.GetWindowText(strShown);
    if (strShown == strText)
        return;
    label.SetWindowText(strText.GetString());
    if (!CanBeSeen())
        return;
    // The labels paint no background: the picture must be repainted under the new text.
    const CRect rc = PlaceOf(label);
    ::RedrawWindow(m_hWnd, &rc, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CSonelloDlg::RepaintDots() {
    if (!CanBeSeen())
        return;
    for (int nPlace = 0; nPlace < 2; ++nPlace) {
        const RECT rc = DotPlaceBounds(nPlace);
        InvalidateRect(&rc, TRUE);
    }
}

void CSonelloDlg::EnableButton(CBitmapButton& button, bool bEnable) {
    if ((button.IsWindowEnabled() != FALSE) != bEnable)
        button.EnableWindow(bEnable);
}

void CSonelloDlg::StepDots() {
    // Any repaint takes the dots away, so the last phase just asks for one.
    if (CanBeSeen() && !DrawDotPhase(*m_pDotDC, m_nDotPhase))
        RepaintDots();
    m_nDotPhase = NextDotPhase(m_nDotPhase);
}

void CSonelloDlg::StepBars() {
    // The values are the second's: bars standing in the box already are not drawn again.
    const __time64_t tNow = _time64(nullptr);
    if (!CanBeSeen() || tNow == m_tBarsShown)
        return;
    double values[BAR_COUNT];
    MakeBarValues(static_cast<unsigned int>(tNow), values);
    DrawSpectrum(values);
    m_tBarsShown = tNow;
}

void CSonelloDlg::DrawSpectrum(const double* values) {
    CRect rcBox;
    m_staticSpectrum.GetClientRect(&rcBox);
    const CRect rcPlace = PlaceOf(m_staticSpectrum);
    CClientDC dc(this);
    m_barBox.Draw(dc, rcPlace, rcBox.Width(), rcBox.Height(), values);
}
