#include "app/CSonelloDlg.h"

#include <ctime>
#include <vector>

#include "app/CAboutDlg.h"
#include "app/PlayerLogic.h"
#include "framework/CMenu.h"
#include "framework/CPen.h"
#include "framework/CRgn.h"
#include "framework/CWinApp.h"
#include "framework/WindowDrag.h"
#include "lyrics/CDlgLrc.h"
#include "playlist/CPlayList.h"
#include "sound/CSound.h"
#include "state/PlayerState.h"

namespace {

// Sends an MCI command to the one device; the main window never looks at the result.
DWORD Mci(UINT nCommand, DWORD_PTR dwFlags, void* pParams) {
    return ::mciSendCommandA(CSound::m_wDeviceID, nCommand, dwFlags, reinterpret_cast<DWORD_PTR>(pParams));
}

// Each media key, as a hot key and as the command the default handling makes of the key.
const struct {
    int nHotKey;
    UINT nVirtualKey;
    UINT nAppCommand;
    int nButton;
} kMediaKeys[] = {
    {HOTKEY_PLAY_PAUSE, VK_MEDIA_PLAY_PAUSE, APPCOMMAND_MEDIA_PLAY_PAUSE, IDC_PLAY},
    {HOTKEY_NEXT, VK_MEDIA_NEXT_TRACK, APPCOMMAND_MEDIA_NEXTTRACK, IDC_NEXT},
    {HOTKEY_PREV, VK_MEDIA_PREV_TRACK, APPCOMMAND_MEDIA_PREVIOUSTRACK, IDC_PREV},
    {HOTKEY_STOP, VK_MEDIA_STOP, APPCOMMAND_MEDIA_STOP, IDC_STOP},
};

const char kAboutText[] =
    "谢谢使用！\n由于作者水平有限，作品不是\n很好用，会慢慢更新！\n发现bug请联系作者，谢谢！\n其他功能开发中！\n"
    "Sonello 由一个小团队用 C++ 和 Win32 写成。\n"
    "界面图片与演示歌曲均为原创，随播放器一同发布。";

}  // namespace

CSonelloDlg::CSonelloDlg() : CDialog(IDD_SONELLO_DIALOG, nullptr) {
    m_hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CSonelloDlg::~CSonelloDlg() = default;

void CSonelloDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ABOUT, m_btnAbout);
    DDX_Control(pDX, IDC_CLOSE, m_btnClose);
    DDX_Control(pDX, IDC_MINIMIZE, m_btnMinimize);
    DDX_Control(pDX, IDC_PREV, m_btnPrev);
    DDX_Control(pDX, IDC_PLAY, m_btnPlay);
    DDX_Control(pDX, IDC_PAUSE, m_btnPause);
    DDX_Control(pDX, IDC_NEXT, m_btnNext);
    DDX_Control(pDX, IDC_STOP, m_btnStop);
    DDX_Control(pDX, IDC_MUTE, m_btnMute);
    DDX_Control(pDX, IDC_STATUS, m_staticStatus);
    DDX_Control(pDX, IDC_TIME, m_staticTime);
    DDX_Control(pDX, IDC_PATH, m_staticPath);
    DDX_Control(pDX, IDC_SEEK, m_sliderSeek);
    DDX_Control(pDX, IDC_VOLUME, m_sliderVolume);
    DDX_Control(pDX, IDC_SHOWLIST, m_btnList);
    DDX_Control(pDX, IDC_SHOWLRC, m_btnLrc);
    DDX_Control(pDX, IDC_SPECTRUM, m_staticSpectrum);
}

BOOL CSonelloDlg::PreTranslateMessage(MSG* pMsg) {
    // Neither key may end the player.
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_ESCAPE || pMsg->wParam == VK_RETURN))
        return TRUE;
    // Taken before the focused control sees them: a slider would move on Ctrl+Up.
    if (pMsg->message == WM_KEYDOWN && ::GetKeyState(VK_CONTROL) < 0 && OnLyricsKey(pMsg->wParam))
        return TRUE;
    if (m_toolTip.m_hWnd)
        m_toolTip.RelayEvent(pMsg);
    return CDialog::PreTranslateMessage(pMsg);
}

BOOL CSonelloDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (HMENU hSysMenu = GetSystemMenu(FALSE)) {
        CString strAbout;
        strAbout.LoadString(IDS_ABOUTBOX);
        if (!strAbout.IsEmpty()) {
            ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAbout);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    CreateBkBrush();
    m_pBkBitmap = std::make_unique<CBitmap>();
    const BOOL bBkLoaded = m_pBkBitmap->LoadBitmap(IDB_BACKGROUND);
    m_crKey = RGB(255, 0, 0);
    if (bBkLoaded)
        BuildWindowRegion();

    g_bPlaying = false;
    m_bSongLoaded = false;

    PlaceButton(m_btnAbout, 349, 64, 21, 10, IDB_ABOUT, IDB_ABOUT_DOWN);
    PlaceButton(m_btnClose, 395, 64, 21, 10, IDB_CLOSE);
    PlaceButton(m_btnMinimize, 372, 64, 21, 10, IDB_MINIMIZE);
    PlaceButton(m_btnMute, 390, 83, 26, 26, theSound.GetMute() ? IDB_MUTED : IDB_SOUND_ON);
    PlaceButton(m_btnNext, 276, 211, 34, 13, IDB_NEXT, 0, IDB_NEXT_DISABLED);
    PlaceButton(m_btnPrev, 166, 211, 34, 13, IDB_PREV, 0, IDB_PREV_DISABLED);
    PlaceButton(m_btnPlay, 203, 211, 34, 13, IDB_PLAY, 0, IDB_PLAY_DISABLED);
    PlaceButton(m_btnPause, 241, 211, 34, 13, IDB_PAUSE, 0, IDB_PAUSE_DISABLED);
    PlaceButton(m_btnStop, 312, 211, 34, 13, IDB_STOP, 0, IDB_STOP_DISABLED);
    PlaceButton(m_btnList, 118, 63, 21, 10, IDB_LIST);
    PlaceButton(m_btnLrc, 141, 63, 21, 10, IDB_LRC);

    m_strTime = "00:00";
    g_strSongPath = "当前没有选中歌曲";
    m_strStatus = "无";
    m_staticStatus.MoveWindow(279, 130, 60, 12);
    m_staticTime.MoveWindow(320, 89, 60, 12);
    m_staticPath.MoveWindow(125, 89, 180, 12);
    UpdateDisplay();

    g_bStartSong = false;
    SetTimer(TIMER_SECOND, 1000);

    m_sliderSeek.MoveWindow(150, 110, 200, 12);
    m_sliderVolume.MoveWindow(160, 198, 190, 12);
    m_sliderSeek.SetRange(0, 10000, FALSE);
    m_sliderSeek.EnableWindow(FALSE);
    m_sliderVolume.SetRange(0, 100, FALSE);
    m_sliderVolume.SetPos(static_cast<int>(theSound.GetVolume()));

    m_nLength = 0;
    m_nPosition = 0;
    SetTimer(TIMER_DOTS, 500);

    m_pDotDC = std::make_unique<CClientDC>(this);
    m_nDotPhase = 0;
    SetTimer(TIMER_BARS, 100);

    m_staticSpectrum.MoveWindow(172, 152, 165, 40);
    InitTrayIcon();

    g_bShowList = false;
    g_pPlayList = new CPlayList(this);
    g_pPlayList->Create(IDD_PLAYLIST, nullptr);
    g_pPlayList->ShowWindow(SW_HIDE);

    g_nPlayMode = PLAYMODE_ONCE;
    g_bLrcShown = false;
    g_pDlgLrc = new CDlgLrc(this);
    g_pDlgLrc->Create(IDD_LRC, nullptr);
    g_pDlgLrc->ShowWindow(SW_HIDE);

    ::CreateDirectoryA("Lrc", nullptr);
    SetTimer(TIMER_LRC_POS, 200);

    m_toolTip.Create(this, 0);
    m_toolTip.Activate(TRUE);
    const struct {
        CWnd* pWnd;
        const char* pszText;
    } tools[] = {
        {&m_btnClose, "关闭"},   {&m_btnMinimize, "最小化"},   {&m_btnAbout, "关于"},
        {&m_btnLrc, "显示歌词"}, {&m_btnList, "显示歌曲列表"}, {&m_btnMute, "静音开关"},
        {&m_btnPlay, "播放"},    {&m_btnPause, "暂停"},         {&m_btnStop, "停止"},
        {&m_btnPrev, "上一首"},  {&m_btnNext, "下一首"},
    };
    for (const auto& tool : tools)
        m_toolTip.AddTool(tool.pWnd, tool.pszText);

    // A key another program holds stays with it; the key still reaches an active window as
    // WM_APPCOMMAND.
    for (const auto& key : kMediaKeys)
        ::RegisterHotKey(m_hWnd, key.nHotKey, MOD_NOREPEAT, key.nVirtualKey);
    return TRUE;
}

void CSonelloDlg::PlaceButton(CBitmapButton& button, int x, int y, int w, int h, UINT nNormal, UINT nSelected,
                              UINT nDisabled) {
    button.LoadBitmaps(nNormal, nSelected, 0, nDisabled);
    button.MoveWindow(x, y, w, h);
}

void CSonelloDlg::OnSysCommand(UINT nID, LPARAM /*lParam*/) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        Default();
    }
}

void CSonelloDlg::OnPaint() {
    if (!IsIconic()) {
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
    if (::Shell_NotifyIconA(NIM_ADD, &m_nid))
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
    CSound::PlayFromResume(m_hWnd);
    g_bPlaying = true;
    m_strStatus = "播放";
    UpdateDisplay();
}

void CSonelloDlg::OnPause() {
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_POSITION;
    if (Mci(MCI_STATUS, MCI_STATUS_ITEM | MCI_WAIT, &status) == 0)
        CSound::m_seek.dwTo = static_cast<DWORD>(status.dwReturn);
    Mci(MCI_STOP, 0, nullptr);
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
    ::Shell_NotifyIconA(NIM_DELETE, &m_nid);
    for (const auto& key : kMediaKeys)
        ::UnregisterHotKey(m_hWnd, key.nHotKey);
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
            if (QueryPosition(&dwPosition))
                m_nPosition = static_cast<int>(dwPosition);
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
        if (g_bPlaying) {
            DWORD dwPosition = 0;
            if (QueryPosition(&dwPosition))
                g_nLrcPos = dwPosition;
        }
        break;
    default:
        break;
    }
    CDialog::OnTimer(nIDEvent);
}

bool CSonelloDlg::QueryPosition(DWORD* pdwPosition) {
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_POSITION;
    if (Mci(MCI_STATUS, MCI_STATUS_ITEM, &status) != 0)
        return false;
    *pdwPosition = static_cast<DWORD>(status.dwReturn);
    return true;
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
    CSound::PlayFromResume(m_hWnd);
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_LENGTH;
    if (Mci(MCI_STATUS, MCI_STATUS_ITEM, &status) == 0) {
        m_nLength = static_cast<int>(status.dwReturn);
        g_nSongLength = static_cast<DWORD>(status.dwReturn);
    }
    m_sliderSeek.EnableWindow(TRUE);
    m_sliderSeek.SetRange(0, m_nLength, TRUE);
    g_bPlaying = true;
    m_strStatus = "播放";
    UpdateDisplay();
}

void CSonelloDlg::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) {
    if (pScrollBar && pScrollBar->m_hWnd == m_sliderSeek.m_hWnd) {
        CSound::m_seek.dwTo = static_cast<DWORD>(m_sliderSeek.GetPos());
        // While paused the slider only moves the resume point: the window must not say
        // 暂停 over a playing device.
        if (g_bPlaying)
            CSound::PlayFromResume(m_hWnd);
    } else if (pScrollBar && pScrollBar->m_hWnd == m_sliderVolume.m_hWnd) {
        theSound.SetVolume(m_sliderVolume.GetPos());
    }
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}

void CSonelloDlg::OnShowLrc() {
    if (!g_pDlgLrc)
        return;
    if (g_bLrcShown) {
        g_pDlgLrc->ShowWindow(SW_HIDE);
        g_bLrcShown = false;
    } else {
        g_pDlgLrc->ShowWindow(SW_SHOW);
        g_bLrcShown = true;
    }
}

LRESULT CSonelloDlg::OnTrayNotify(WPARAM /*wParam*/, LPARAM lParam) {
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONDOWN:
        ShowWindow(SW_SHOWNORMAL);
        ::Shell_NotifyIconA(NIM_DELETE, &m_nid);
        break;
    case WM_RBUTTONDOWN: {
        POINT pt;
        ::GetCursorPos(&pt);
        CMenu menu;
        if (!menu.CreatePopupMenu())
            break;
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

LRESULT CSonelloDlg::OnMciNotify(WPARAM wParam, LPARAM /*lParam*/) {
    if (wParam != MCI_NOTIFY_SUCCESSFUL)
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

void CSonelloDlg::OnHotKey(UINT /*nHotKeyId*/, UINT /*nKey1*/, UINT nKey2) {
    for (const auto& key : kMediaKeys)
        if (key.nVirtualKey == nKey2)
            PressMediaButton(key.nButton);
}

void CSonelloDlg::OnAppCommand(CWnd* /*pWnd*/, UINT nCmd, UINT /*nDevice*/, UINT /*nKey*/) {
    for (const auto& key : kMediaKeys) {
        if (key.nAppCommand == nCmd) {
            PressMediaButton(key.nButton);
            return;
        }
    }
    Default();
}

void CSonelloDlg::PressMediaButton(int nButton) {
    if (nButton == IDC_PLAY && !m_btnPlay.IsWindowEnabled())
        nButton = IDC_PAUSE;
    const HWND hButton = GetDlgItem(nButton);
    if (::IsWindowEnabled(hButton))
        SendMessage(WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), reinterpret_cast<LPARAM>(hButton));
}

bool CSonelloDlg::OnLyricsKey(WPARAM nVirtualKey) {
    if (!g_pDlgLrc)
        return false;
    switch (nVirtualKey) {
    case VK_UP:
        g_pDlgLrc->ShiftLyrics(LRC_SHIFT_STEP);
        return true;
    case VK_DOWN:
        g_pDlgLrc->ShiftLyrics(-LRC_SHIFT_STEP);
        return true;
    case '0':
    case VK_NUMPAD0:
        g_pDlgLrc->ResetLyricsShift();
        return true;
    case 'L':
        g_pDlgLrc->ToggleLyricsSearch();
        return true;
    default:
        return false;
    }
}

void CSonelloDlg::UpdateDisplay() {
    m_staticStatus.SetWindowText(CString("状态:") + m_strStatus);
    m_staticTime.SetWindowText(m_strTime);
    m_staticPath.SetWindowText(g_strSongPath);
    m_btnPlay.EnableWindow(m_bSongLoaded && !g_bPlaying);
    m_btnPrev.EnableWindow(m_bSongLoaded);
    m_btnNext.EnableWindow(m_bSongLoaded);
    m_btnStop.EnableWindow(m_bSongLoaded);
    m_btnPause.EnableWindow(g_bPlaying);
    // The labels paint no background: the picture must be repainted under the new texts.
    Invalidate(TRUE);
}

void CSonelloDlg::CreateBkBrush() {
    CBitmap bitmap;
    if (bitmap.LoadBitmap(IDB_BACKGROUND))
        m_brushBk.CreatePatternBrush(bitmap);
}

void CSonelloDlg::BuildWindowRegion() {
    CRgn region;
    CRect rcWindow;
    CRect rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&rcClient), 2);
    const int dx = rcClient.left - rcWindow.left;
    const int dy = rcClient.top - rcWindow.top;
    region.CreateRectRgn(0, 0, rcWindow.Width(), rcWindow.Height());
    CRgn client;
    client.CreateRectRgn(dx, dy, dx + rcClient.Width(), dy + rcClient.Height());
    region.CombineRgn(region, client, RGN_XOR);

    BITMAP bm = {};
    m_pBkBitmap->GetBitmap(&bm);
    const int w = bm.bmWidth < rcClient.Width() ? bm.bmWidth : rcClient.Width();
    const int h = bm.bmHeight < rcClient.Height() ? bm.bmHeight : rcClient.Height();

    // The whole picture in one read, top-down 32-bit pixels, instead of one GetPixel each.
    std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * (bm.bmHeight > 0 ? bm.bmHeight : 0));
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    {
        CClientDC screen(nullptr);
        if (pixels.empty() || ::GetDIBits(screen, *m_pBkBitmap, 0, bm.bmHeight, pixels.data(), &bmi,
                                          DIB_RGB_COLORS) != bm.bmHeight)
            return;
    }
    const auto pixel = [&](int x, int y) {
        const DWORD bgra = pixels[static_cast<size_t>(y) * bm.bmWidth + x];
        return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
    };
    for (const RECT& run : KeyColourRuns(pixel, w, h, m_crKey)) {
        CRgn row;
        row.CreateRectRgn(run.left + dx, run.top + dy, run.right + dx, run.bottom + dy);
        region.CombineRgn(region, row, RGN_OR);
    }
    // The window owns the region from here on.
    SetWindowRgn(static_cast<HRGN>(region.Detach()), TRUE);
}

void CSonelloDlg::InitTrayIcon() {
    m_nid = {};
    m_nid.cbSize = sizeof(NOTIFYICONDATAA);
    m_nid.hWnd = m_hWnd;
    m_nid.uID = IDR_MAINFRAME;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = WM_TRAYNOTIFY;
    m_nid.hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    lstrcpynA(m_nid.szTip, "Tindrel", sizeof(m_nid.szTip));
}

void CSonelloDlg::StepDots() {
    if (m_nDotPhase < DOT_PHASES - 1) {
        const DotPhase& phase = kDotPhases[m_nDotPhase];
        CBrush brush(phase.crFill);
        HGDIOBJ hOld = m_pDotDC->SelectObject(brush);
        for (const RECT& box : phase.boxes)
            m_pDotDC->Ellipse(box.left, box.top, box.right, box.bottom);
        m_pDotDC->SelectObject(hOld);
    } else {
        Invalidate(TRUE);
    }
    m_nDotPhase = NextDotPhase(m_nDotPhase);
}

void CSonelloDlg::StepBars() {
    double values[BAR_COUNT];
    MakeBarValues(static_cast<unsigned int>(_time64(nullptr)), values);
    DrawSpectrum(values);
}

void CSonelloDlg::DrawSpectrum(const double* values) {
    CRect rcBox;
    m_staticSpectrum.GetClientRect(&rcBox);
    const int w = rcBox.Width();
    const int h = rcBox.Height();
    CRect rcPlace;
    m_staticSpectrum.GetWindowRect(&rcPlace);
    ScreenToClient(&rcPlace);

    CClientDC dc(this);
    CDC memA;
    CDC memB;
    if (!memA.CreateCompatibleDC(dc) || !memB.CreateCompatibleDC(dc))
        return;
    CBitmap bitmapA;
    bitmapA.CreateCompatibleBitmap(dc, w, h);
    CBitmap bitmapB;
    bitmapB.LoadBitmap(IDB_SPECTRUM);
    HGDIOBJ hOldA = memA.SelectObject(bitmapA);
    HGDIOBJ hOldB = memB.SelectObject(bitmapB);

    const int bw = w / BAR_COUNT;
    int x = 0;
    for (int i = 0; i < BAR_COUNT; ++i) {
        CPen pen(PS_SOLID, 1, BarColour(i));
        HGDIOBJ hOldPen = memB.SelectObject(pen);
        const int v = static_cast<int>(values[i]);
        memB.Rectangle(x, h - v, x + bw, h);
        memB.SelectObject(hOldPen);
        x += bw;
    }
    memA.BitBlt(0, 0, w, h, memB, 0, 0, SRCCOPY);
    dc.BitBlt(rcPlace.left, rcPlace.top, rcPlace.Width(), rcPlace.Height(), memA, 0, 0, SRCCOPY);
    memA.SelectObject(hOldA);
    memB.SelectObject(hOldB);
}
