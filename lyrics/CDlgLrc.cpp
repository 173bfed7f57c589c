#include "lyrics/CDlgLrc.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstring>
#include <string>

#include "framework/Holders.h"
#include "lyrics/CLrcSwitch.h"
#include "lyrics/CLyc.h"
#include "res/resource.h"
#include "state/PlayerState.h"
#include "tags/SongTags.h"

namespace {

const UINT_PTR kLrcTimer = 1;
const UINT_PTR kFrameTimer = 2;
const UINT kLrcTickMs = 200;
// 33 frames a second; Windows' timers come in steps of 15.6 ms, so 40 would give 21.
const UINT kFrameMs = 30;
const double kSeekMs = 1000.0;
const int kNoticeTicks = 2000 / kLrcTickMs;

const char kSearching[] = "正在从网络搜索歌词.........";
const char kNotFound[] = "没有找到歌词";
const char kInstrumental[] = "纯音乐，请欣赏";
const char kSearchOff[] = "联网搜索歌词：已关闭";
const char kSearchOn[] = "联网搜索歌词：已开启";
const char kTranslationsOff[] = "翻译：已隐藏";
const char kTranslationsOn[] = "翻译：已显示";

const CLrcSwitch kTranslationSwitch("Lrc\\不显示翻译");

LONGLONG PerformanceFrequency() {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

// The moment a drawing stands for: a frame shows for a frame's time from when it is drawn, and
// is nearest the song halfway through it.
LONGLONG DrawingMoment() {
    static const LONGLONG s_llHalfFrame = PerformanceFrequency() * kFrameMs / 2000;
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart + s_llHalfFrame;
}

// Calls of Windows 10 1607 and later, looked up at run time: older systems, and Wine, may lack them.
template <typename Pfn>
Pfn User32Call(const char* pszName) {
    const HMODULE hUser32 = ::GetModuleHandleA("user32.dll");
    const FARPROC proc = hUser32 ? ::GetProcAddress(hUser32, pszName) : nullptr;
    return reinterpret_cast<Pfn>(reinterpret_cast<void (*)()>(proc));
}

// The DPI of the monitor the window is on; the screen's where the system cannot say.
int WindowDpi(HWND hWnd) {
    using PFN_GET_DPI = UINT(WINAPI*)(HWND);
    static const auto s_pfn = User32Call<PFN_GET_DPI>("GetDpiForWindow");
    if (const UINT nDpi = s_pfn ? s_pfn(hWnd) : 0)
        return static_cast<int>(nDpi);
    const HDC hdc = ::GetDC(nullptr);
    const int nDpi = ::GetDeviceCaps(hdc, LOGPIXELSY);
    ::ReleaseDC(nullptr, hdc);
    return nDpi > 0 ? nDpi : 96;
}

// The thread's DPI awareness for a scope, where the system has it.
class CDpiAwarenessScope {
public:
    explicit CDpiAwarenessScope(DPI_AWARENESS_CONTEXT context) {
        if (s_pfn)
            m_old = s_pfn(context);
    }
    CDpiAwarenessScope(const CDpiAwarenessScope&) = delete;
    CDpiAwarenessScope& operator=(const CDpiAwarenessScope&) = delete;
    ~CDpiAwarenessScope() {
        if (m_old)
            s_pfn(m_old);
    }

private:
    using PFN_SET_CONTEXT = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
    static inline const PFN_SET_CONTEXT s_pfn = User32Call<PFN_SET_CONTEXT>("SetThreadDpiAwarenessContext");
    DPI_AWARENESS_CONTEXT m_old = nullptr;
};

const char* SearchMessage(LrcSearchState state) {
    switch (state) {
    case LrcSearchState::Searching:
        return kSearching;
    case LrcSearchState::Instrumental:
        return kInstrumental;
    default:
        return kNotFound;
    }
}

// The lyrics kept inside the song, read again only for another song or a changed file: every
// tick of a pending start request asks.
const std::string& EmbeddedLyricsOf(const CStringW& strSong) {
    static CStringW s_strSong;
    static WIN32_FILE_ATTRIBUTE_DATA s_read = {};
    static std::string s_strLyrics;
    WIN32_FILE_ATTRIBUTE_DATA now = {};
    ::GetFileAttributesExW(strSong, GetFileExInfoStandard, &now);
    // Not the access time: reading the file may move it.
    const bool bChanged = std::memcmp(&now.ftLastWriteTime, &s_read.ftLastWriteTime, sizeof(FILETIME)) != 0 ||
                          now.nFileSizeLow != s_read.nFileSizeLow || now.nFileSizeHigh != s_read.nFileSizeHigh;
    if (strSong != s_strSong || bChanged) {
        s_strSong = strSong;
        s_read = now;
        ReadEmbeddedLyrics(strSong, s_strLyrics);
    }
    return s_strLyrics;
}

// Lyrics kept inside the song count only when they are timed; plain text leaves the band's
// message and the search as they are.
bool LoadEmbeddedLyrics(const CStringW& strSong) {
    const std::string& strLyrics = EmbeddedLyricsOf(strSong);
    if (strLyrics.empty())
        return false;
    g_lyc.LoadText(CStringW::FromUtf8(strLyrics).Str());
    return g_lyc.IsLoaded();
}

}  // namespace

LONGLONG (*CDlgLrc::s_pfnCounter)() = DrawingMoment;

CDlgLrc::CDlgLrc(CWnd* pParent) : CDialog(IDD_LRC, pParent), m_model(g_lyc), m_clock(PerformanceFrequency()) {
    m_shown.kind = BandKind::Unknown;
}

BOOL CDlgLrc::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    const CDpiAwarenessScope aware(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    return CDialog::Create(nIDTemplate, pParentWnd);
}

BOOL CDlgLrc::OnInitDialog() {
    CDialog::OnInitDialog();
    m_bTranslations = kTranslationSwitch.IsOn();
    SetTimer(kLrcTimer, kLrcTickMs);
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, ::GetWindowLongA(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    m_hands.Start(m_hWnd, [this](const RECT& rc) { MoveBand(rc); });
    m_model.SetStyle(m_hands.Settings().Style());
    // The primary monitor's bottom, where the taskbar usually is, unless the user put it elsewhere.
    FitTo(WindowDpi(m_hWnd), m_hands.NearRect());
    for (CBandPane& pane : m_arrPane)
        pane.Create(m_hWnd, [this](HWND hTile) { m_hands.AddPart(hTile); });
    ShowWindow(SW_SHOWNA);
    return TRUE;
}

void CDlgLrc::OnDestroy() {
    SaveLyricsShift();
    CDialog::OnDestroy();
}

void CDlgLrc::OnClose() {
    // The dialog's default turns WM_CLOSE into IDCANCEL, which only hides a modeless band.
    g_bLrcShown = false;
    m_hands.Settings().SetShown(false);
    CDialog::OnClose();
}

void CDlgLrc::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kShiftSaveTimer) {
        SaveLyricsShift();
    } else if (nIDEvent == kFrameTimer) {
        ++m_nFrames;
        if (const HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER))
            ::SendMessageA(hOwner, WM_LRC_READPOS, 0, 0);
        Update(FollowDevice());
    } else {
        Tick();
    }
    CDialog::OnTimer(nIDEvent);
}

LRESULT CDlgLrc::OnLrcSearched(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    for (const CStringW& strSong : m_search.TakeFinished()) {
        // A search that ends after its song has gone leaves its file for the next time it plays.
        if (strSong == g_strSongPath && strSong == m_strLyricsSong && !m_model.State().bLrcLoaded)
            LoadSongLyrics(PositionMs(s_pfnCounter()) / 1000.0);
    }
    return 0;
}

// Moved to a monitor of another DPI, or that monitor's scaling changed.
LRESULT CDlgLrc::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
    FitTo(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
    Update(s_pfnCounter());
    return 0;
}

// Hidden, the panes show nothing; shown again, the band is drawn whole.
LRESULT CDlgLrc::OnShowWindow(WPARAM wParam, LPARAM /*lParam*/) {
    if (!wParam) {
        for (CBandPane& pane : m_arrPane)
            pane.Clear(m_canvas.Dc());
    }
    m_shown.kind = BandKind::Unknown;
    return Default();
}

void CDlgLrc::SetStyle(const BandStyle& style) {
    m_model.SetStyle(style);
    RECT rc;
    GetWindowRect(&rc);
    FitTo(m_canvas.Layout().nDpi, rc);
    Update(s_pfnCounter());
}

void CDlgLrc::FitTo(int nDpi, const RECT& rcNear) {
    m_canvas.SetUp(m_model.Style(), nDpi);
    m_model.SetMeasure([this](const CStringW& str, int nChars) { return m_canvas.Measure(str, nChars); });
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ::GetMonitorInfoW(::MonitorFromRect(&rcNear, MONITOR_DEFAULTTOPRIMARY), &mi);
    MoveBand(m_hands.PlaceFor(PlaceBand(mi.rcMonitor, mi.rcWork, m_canvas.Layout().nHeight)));
}

void CDlgLrc::MoveBand(const RECT& rc) {
    m_model.SetBandWidth(rc.right - rc.left);
    m_ptBand = {rc.left, rc.top};
    m_canvas.Resize(rc.right - rc.left, rc.bottom - rc.top);
    m_shown.kind = BandKind::Unknown;
    SetWindowPos(HWND_TOPMOST, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_NOACTIVATE);
}

CStringW CDlgLrc::LrcFilePath(const CStringW& strSongPath) {
    const CStringW strName = strSongPath.Mid(strSongPath.ReverseFind(L'\\') + 1);
    const int nDot = strName.Find(L'.');
    return L"Lrc\\" + (nDot < 0 ? CStringW() : strName.Left(nDot)) + L".lrc";
}

bool CDlgLrc::LrcFileExists(const CStringW& strSongPath) {
    if (!::PathFileExistsW(L"Lrc"))
        return false;
    return ::PathFileExistsW(LrcFilePath(strSongPath)) != FALSE;
}

void CDlgLrc::ShowNotice(const CString& strText) {
    m_notice.Show(strText, kNoticeTicks);
}

void CDlgLrc::ShiftLyrics(double dSeconds) {
    const double dTotal = m_shift.Move(m_strLyricsSong, dSeconds);
    ApplyShift();
    ShowNotice(CLrcShift::Describe(dTotal));
    SaveLyricsShiftLater();
}

void CDlgLrc::ResetLyricsShift() {
    m_shift.Reset(m_strLyricsSong);
    ApplyShift();
    ShowNotice(CLrcShift::Describe(0.0));
    SaveLyricsShiftLater();
}

void CDlgLrc::ToggleLyricsSearch() {
    ShowNotice(CLrcSearch::Toggle() ? kSearchOn : kSearchOff);
}

void CDlgLrc::ToggleTranslations() {
    m_bTranslations = kTranslationSwitch.Toggle();
    // Shown at once, also before the first line, where the slots do not move by themselves.
    if (m_model.State().bLrcLoaded)
        m_model.StartSlots(PositionMs(s_pfnCounter()) / 1000.0, m_bTranslations);
    ShowNotice(m_bTranslations ? kTranslationsOn : kTranslationsOff);
}

void CDlgLrc::SearchLyrics() {
    wchar_t szLrcPath[MAX_PATH];
    const DWORD n = ::GetFullPathNameW(LrcFilePath(g_strSongPath), MAX_PATH, szLrcPath, nullptr);
    if (n > 0 && n < MAX_PATH)
        m_search.Begin(m_hWnd, g_strSongPath, szLrcPath, g_nSongLength);
    m_model.State().strLrcMessage = SearchMessage(m_search.StateOf(g_strSongPath));
}

void CDlgLrc::ApplyShift() {
    g_lyc.SetOffset(m_shift.OffsetOf(m_strLyricsSong));
}

// Runs on every tick while the start request is pending, each time from the position of then.
void CDlgLrc::LoadSongLyrics(double dPos) {
    m_strLyricsSong = g_strSongPath;
    m_model.ForgetShapes();
    if (LrcFileExists(g_strSongPath)) {
        const CStringW strLrcPath = LrcFilePath(g_strSongPath);
        m_shift.Loaded(g_strSongPath, strLrcPath, g_lyc.Load(strLrcPath) ? g_lyc.Offset() : 0.0);
    } else if (LoadEmbeddedLyrics(g_strSongPath)) {
        m_shift.Loaded(g_strSongPath, CStringW(), g_lyc.Offset());
    } else {
        m_model.State().bLrcLoaded = false;
        m_model.State().strLrcMessage = SearchMessage(m_search.StateOf(g_strSongPath));
        return;
    }
    ApplyShift();
    m_model.State().bLrcLoaded = true;
    m_model.StartSlots(dPos, m_bTranslations);
}

void CDlgLrc::Tick() {
    m_hands.Poll(g_bPlaying, m_model.State().bLrcLoaded, g_bLrcShown);
    m_bNotice = m_notice.Take(m_strNotice);
    const LONGLONG llNow = FollowDevice();
    // A request that the main window took before any tick of ours saw it still gets its
    // lyrics: a song playing under another song's lyrics is looked up on the next tick.
    if (g_bStartSong || (g_bPlaying && g_strSongPath != m_strLyricsSong))
        LoadSongLyrics(PositionMs(llNow) / 1000.0);
    // Once the song plays: the main window has published its length by then.
    if (g_bPlaying && !g_bStartSong && !m_model.State().bLrcLoaded)
        SearchLyrics();
    Update(llNow);
}

LONGLONG CDlgLrc::FollowDevice() {
    const LONGLONG llNow = s_pfnCounter();
    m_clock.Follow(g_nLrcPos, g_llLrcPosCounter, g_nLrcPosStarts, g_bPlaying, llNow);
    return llNow;
}

void CDlgLrc::Update(LONGLONG llNow) {
    const double dPosMs = PositionMs(llNow);
    // The paced fill moves as the song plays on; a move back or of more than a second is a seek.
    const double dStepMs = dPosMs - m_dPositionMs;
    const double dPlayedMs = dStepMs > 0.0 && dStepMs <= kSeekMs ? dStepMs : 0.0;
    m_dPositionMs = dPosMs;
    CBandModel::Situation situation;
    situation.bPlaying = g_bPlaying;
    situation.bTranslations = m_bTranslations;
    situation.pNotice = m_bNotice ? &m_strNotice : nullptr;
    const BandScene& scene = m_model.Compose(dPosMs, dPlayedMs, situation);

    const bool bVisible = IsWindowVisible() != FALSE;
    if (!bVisible) {
        m_shown.kind = BandKind::Unknown;  // shown again, it is drawn whole
    } else if (!scene.SameDrawing(m_shown)) {
        ++m_nDraws;
        const RECT rcDirty = m_canvas.Draw(scene, m_shown);
        for (int i = 0; i < 2; ++i)
            m_arrPane[i].Show(m_canvas.Dc(), m_ptBand, m_canvas.PartOf(scene, i), rcDirty);
        m_shown = scene;
    }
    SetFrames(bVisible && m_clock.IsRunning() && scene.kind == BandKind::Lyrics && scene.bMoving);
}

// The band's clock while it runs; else the main window's last reading, where a song that is not
// playing stands.
double CDlgLrc::PositionMs(LONGLONG llNow) const {
    return m_clock.IsRunning() ? m_clock.Now(llNow) : static_cast<double>(g_nLrcPos);
}

void CDlgLrc::SetFrames(bool bOn) {
    if (bOn == m_bFrames)
        return;
    m_bFrames = bOn;
    if (bOn)
        SetTimer(kFrameTimer, kFrameMs);
    else
        KillTimer(kFrameTimer);
}
