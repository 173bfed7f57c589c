// The main window's construction and start-up, step by step; its handlers are in CSonelloDlg.cpp.
#include "app/CSonelloDlg.h"

#include "app/KeyedRegion.h"
#include "app/PlayerKeys.h"
#include "app/StartupTimes.h"
#include "lyrics/CDlgLrc.h"
#include "playlist/CPlayList.h"
#include "sound/CSound.h"
#include "state/PlayerState.h"

// A Unicode window, so that the path label shows a song's name in any script.
CSonelloDlg::CSonelloDlg() : CDialog(IDD_SONELLO_DIALOG, nullptr, Chars::Unicode) {
    m_hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
}

CSonelloDlg::~CSonelloDlg() {
    // While this object is whole, so that OnDestroy runs and takes the icon and the child
    // windows with it.
    if (m_hWnd)
        DestroyWindow();
}

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

// Runs one step of the start and notes its end for the start-up benchmark (StartupTimes).
#define TIMED_STEP(call) (call, StartupTimes::Note(#call))

BOOL CSonelloDlg::OnInitDialog() {
    StartupTimes::Note("dialog created");
    TIMED_STEP(CDialog::OnInitDialog());
    TIMED_STEP(AddAboutToSystemMenu());
    TIMED_STEP(SetWindowIcons());
    TIMED_STEP(CreateBkBrush());
    TIMED_STEP(LoadBackground());
    TIMED_STEP(ResetPlayerState());
    TIMED_STEP(PlaceButtons());
    TIMED_STEP(ShowStartTexts());
    TIMED_STEP(SetTimer(TIMER_SECOND, 1000));
    TIMED_STEP(SetUpSliders());
    TIMED_STEP(SetTimer(TIMER_DOTS, 500));
    TIMED_STEP(StartDecorations());
    TIMED_STEP(InitTrayIcon());
    TIMED_STEP(CreateSongList());
    TIMED_STEP(CreateLyricBand());
    TIMED_STEP(::CreateDirectoryA("Lrc", nullptr));
    TIMED_STEP(SetTimer(TIMER_LRC_POS, 200));
    TIMED_STEP(SetUpToolTips());
    TIMED_STEP(RegisterMediaKeys(m_hWnd));
    TIMED_STEP(RegisterBandLockKey(m_hWnd));
    StartupTimes::Note("initialised");
    return TRUE;
}

#undef TIMED_STEP

void CSonelloDlg::AddAboutToSystemMenu() {
    HMENU hSysMenu = GetSystemMenu(FALSE);
    if (!hSysMenu)
        return;
    CString strAbout;
    strAbout.LoadString(IDS_ABOUTBOX);
    // The about item stays last.
    ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(hSysMenu, MF_STRING, IDM_BAND_UNLOCK, "解锁歌词");
    if (!strAbout.IsEmpty()) {
        ::AppendMenuA(hSysMenu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUTBOX, strAbout);
    }
}

void CSonelloDlg::SetWindowIcons() {
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
}

void CSonelloDlg::LoadBackground() {
    m_crKey = RGB(255, 0, 0);
    // The brush's step loaded the picture. Without it the window keeps its plain shape.
    if (m_pBkBitmap->GetSafeHandle())
        BuildWindowRegion();
}

void CSonelloDlg::PlaceButtons() {
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
}

void CSonelloDlg::PlaceButton(CBitmapButton& button, int x, int y, int w, int h, UINT nNormal, UINT nSelected,
                              UINT nDisabled) {
    button.LoadBitmaps(nNormal, nSelected, 0, nDisabled);
    button.MoveWindow(x, y, w, h);
}

void CSonelloDlg::ShowStartTexts() {
    m_strTime = "00:00";
    m_strStatus = "无";
    m_staticStatus.MoveWindow(279, 130, 60, 12);
    m_staticTime.MoveWindow(320, 89, 60, 12);
    m_staticPath.MoveWindow(125, 89, 180, 12);
    UpdateDisplay();
}

void CSonelloDlg::SetUpSliders() {
    m_sliderSeek.MoveWindow(150, 110, 200, 12);
    m_sliderVolume.MoveWindow(160, 198, 190, 12);
    // The first song enables the position slider.
    m_sliderSeek.SetRange(0, 10000, FALSE);
    m_sliderSeek.EnableWindow(FALSE);
    m_sliderVolume.SetRange(0, 100, FALSE);
    m_sliderVolume.SetPos(static_cast<int>(theSound.GetVolume()));
}

void CSonelloDlg::StartDecorations() {
    m_pDotDC = std::make_unique<CClientDC>(this);
    m_nDotPhase = 0;
    SetTimer(TIMER_BARS, 100);
    m_staticSpectrum.MoveWindow(172, 152, 165, 40);
}

void CSonelloDlg::CreateSongList() {
    g_pPlayList = new CPlayList(this);
    g_pPlayList->Create(IDD_PLAYLIST, nullptr);
    g_pPlayList->ShowWindow(SW_HIDE);
}

void CSonelloDlg::CreateLyricBand() {
    g_pDlgLrc = new CDlgLrc(this);
    g_pDlgLrc->Create(IDD_LRC, nullptr);
    g_pDlgLrc->ShowWindow(SW_HIDE);
    g_pDlgLrc->ShowAsLeft();
}

void CSonelloDlg::SetUpToolTips() {
    m_toolTip.Create(this, 0);
    m_toolTip.Activate(TRUE);
    const struct {
        CWnd* pWnd;
        const char* pszText;
    } tools[] = {
        {&m_btnClose, "关闭"},        {&m_btnMinimize, "最小化"}, {&m_btnAbout, "关于"},  {&m_btnLrc, "显示歌词"},
        {&m_btnList, "显示歌曲列表"}, {&m_btnMute, "静音开关"},   {&m_btnPlay, "播放"},   {&m_btnPause, "暂停"},
        {&m_btnStop, "停止"},         {&m_btnPrev, "上一首"},     {&m_btnNext, "下一首"},
    };
    for (const auto& tool : tools)
        m_toolTip.AddTool(tool.pWnd, tool.pszText);
}

void CSonelloDlg::CreateBkBrush() {
    // One load for the brush, which copies the picture, and for the window's shape.
    m_pBkBitmap = std::make_unique<CBitmap>();
    if (m_pBkBitmap->LoadBitmap(IDB_BACKGROUND))
        m_brushBk.CreatePatternBrush(*m_pBkBitmap);
}

void CSonelloDlg::BuildWindowRegion() {
    // The window owns the region from here on.
    if (HRGN hRegion = CreateKeyedRegion(m_hWnd, *m_pBkBitmap, m_crKey))
        SetWindowRgn(hRegion, TRUE);
}

void CSonelloDlg::InitTrayIcon() {
    m_trayIcon.Init(m_hWnd, IDR_MAINFRAME, WM_TRAYNOTIFY, m_hIcon, "Tindrel");
}
