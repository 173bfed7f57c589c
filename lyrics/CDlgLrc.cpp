#include "lyrics/CDlgLrc.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "framework/CDC.h"
#include "framework/CFont.h"
#include "framework/CRect.h"
#include "framework/Holders.h"
#include "lyrics/CLrcSwitch.h"
#include "lyrics/CLyc.h"
#include "lyrics/LrcBand.h"
#include "res/resource.h"
#include "state/PlayerState.h"
#include "tags/SongTags.h"

int g_nScreenWidth = 0;
int g_nScreenHeight = 0;
CStringW g_strTopLine;
CStringW g_strBottomLine;
bool g_bBottomTranslation = false;
CString g_strLrcMessage;
bool g_bLrcLoaded = false;
bool g_bTopCurrent = true;
int g_nTopFill = 0;
int g_nBottomFill = 0;
int g_nTopSeconds = 0;
int g_nBottomSeconds = 0;

namespace {

const UINT_PTR kLrcTimer = 1;
const UINT_PTR kFrameTimer = 2;
// The song whose lyrics were last looked up.
CStringW s_strLyricsSong;
const UINT kLrcTickMs = 200;
// 33 frames a second; Windows' timers come in steps of 15.6 ms, so 40 would give 21.
const UINT kFrameMs = 30;
// Frames start this far ahead of a line's first moment: the 200 ms tick may find it only then.
const double kLeadMs = 250.0;
const double kSeekMs = 1000.0;
const int kBandHeight = 100;
const int kTopY = 5;
const int kBottomY = 55;
const int kSlotY[2] = {kTopY, kBottomY};
const int kMessageY = 30;
const int kNoticeTicks = 2000 / kLrcTickMs;

// The word-timed line the current slot held at the last update; -1 when it held none.
int s_nWordLine = -1;
// The line whose translation the lower slot holds, while g_bBottomTranslation.
int s_nTranslatedLine = -1;
// The offset the loaded lyric file gives itself; shifts by key go on top of it.
double s_dFileOffset = 0.0;
// The current slot's paced fill with its fraction of a pixel; g_nTopFill or g_nBottomFill holds
// the whole pixels, and a fill set there otherwise is taken over.
double s_dFill = 0.0;
// The slots started afresh since the last update: the fill counts from then, not from the update.
bool s_bFillsReset = false;

// The background is keyed out, so white is what the desktop shows through.
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kRed = RGB(255, 0, 0);

const char kNoSong[] = "没有歌曲";
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

// Looked up at run time: systems before layered windows lack the call, and then the band
// simply stays opaque.
void KeyOutWhite(HWND hWnd) {
    using PFN_SET_LAYERED = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    const CLibrary user32(::LoadLibraryA("User32.DLL"));
    if (!user32)
        return;
    const FARPROC proc = ::GetProcAddress(user32.Get(), "SetLayeredWindowAttributes");
    if (!proc)
        return;
    const auto pfn = reinterpret_cast<PFN_SET_LAYERED>(reinterpret_cast<void (*)()>(proc));
    pfn(hWnd, kWhite, 0, LWA_COLORKEY);
}

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

void ResetFills() {
    g_nTopFill = g_nBottomFill = 0;
    s_dFill = 0.0;
    s_bFillsReset = true;
}

bool HasWords(int nLine) {
    return nLine >= 0 && !g_lyc.GetLineWords(nLine).empty();
}

// The line in effect at lookup time t, right after GetCurrentLine; -1 before the first line.
int LineAt(double t) {
    if (!g_lyc.m_bLoaded || t < g_lyc.m_dFirstTime)
        return -1;
    if (t > g_lyc.m_dLastTime)
        return static_cast<int>(g_lyc.m_arrTime.size()) - 1;
    return g_lyc.m_nCurIndex;
}

// Seconds after its start that the last word of line nLine ends: the next line's start, or a
// second after the last word on the file's last line.
double LastWordEnd(int nLine) {
    const double dStart = g_lyc.m_arrTime[nLine];
    const size_t nNext = static_cast<size_t>(nLine) + 1;
    return nNext < g_lyc.m_arrTime.size() ? g_lyc.m_arrTime[nNext] - dStart
                                          : g_lyc.GetLineWords(nLine).back().dStart + 1.0;
}

// Seconds from lookup time t to the next line's start; a large value when none follows.
double UntilNextLine(double t) {
    const std::vector<double>& times = g_lyc.m_arrTime;
    const auto it = std::upper_bound(times.begin(), times.end(), t);
    return g_lyc.m_bLoaded && it != times.end() ? *it - t : 1e9;
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
    return g_lyc.m_bLoaded;
}

}  // namespace

LONGLONG (*CDlgLrc::s_pfnCounter)() = DrawingMoment;

CDlgLrc::CDlgLrc(CWnd* pParent) : CDialog(IDD_LRC, pParent), m_clock(PerformanceFrequency()) {}

BOOL CDlgLrc::OnInitDialog() {
    CDialog::OnInitDialog();
    m_bTranslations = kTranslationSwitch.IsOn();
    m_font.CreatePointFont(280, "宋体");
    m_dcMeasure.CreateCompatibleDC(nullptr);
    // Held until the context goes, which is before the font: members end in reverse order.
    m_dcMeasure.SelectObject(m_font);
    TEXTMETRICA tm = {};
    m_dcMeasure.GetTextMetrics(&tm);
    m_nTextHeight = tm.tmHeight;
    SetTimer(kLrcTimer, kLrcTickMs);
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, ::GetWindowLongA(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    KeyOutWhite(m_hWnd);
    g_nScreenWidth = ::GetSystemMetrics(SM_CXFULLSCREEN);
    g_nScreenHeight = ::GetSystemMetrics(SM_CYFULLSCREEN);
    SetWindowPos(HWND_TOPMOST, 0, g_nScreenHeight - kBandHeight, g_nScreenWidth, kBandHeight, SWP_SHOWWINDOW);
    const RECT rcDefault = {0, g_nScreenHeight - kBandHeight, g_nScreenWidth, g_nScreenHeight};
    m_hands.Start(m_hWnd, rcDefault, [this](const RECT& rc) { PlaceBand(rc); });
    ApplyStyle();
    return TRUE;
}

void CDlgLrc::OnDestroy() {
    CDialog::OnDestroy();
}

void CDlgLrc::OnClose() {
    // The dialog's default turns WM_CLOSE into IDCANCEL, which only hides a modeless band.
    g_bLrcShown = false;
    CDialog::OnClose();
}

void CDlgLrc::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kFrameTimer) {
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
        if (strSong == g_strSongPath && strSong == s_strLyricsSong && !g_bLrcLoaded)
            LoadSongLyrics(PositionMs(s_pfnCounter()) / 1000.0);
    }
    return 0;
}

void CDlgLrc::OnPaint() {
    CPaintDC dc(this);
    Draw(dc, true);
}

LRESULT CDlgLrc::OnEraseBkgnd(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    return 1;  // the paint covers every pixel: an erase in the dialog's grey would only flash
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
    const double dTotal = m_shift.Move(s_strLyricsSong, dSeconds);
    ApplyShift();
    ShowNotice(CLrcShift::Describe(dTotal));
}

void CDlgLrc::ResetLyricsShift() {
    m_shift.Reset(s_strLyricsSong);
    ApplyShift();
    ShowNotice(CLrcShift::Describe(0.0));
}

void CDlgLrc::ToggleLyricsSearch() {
    ShowNotice(CLrcSearch::Toggle() ? kSearchOn : kSearchOff);
}

void CDlgLrc::ToggleTranslations() {
    m_bTranslations = kTranslationSwitch.Toggle();
    // Shown at once, also before the first line, where the slots do not move by themselves.
    if (g_bLrcLoaded)
        StartSlots(PositionMs(s_pfnCounter()) / 1000.0, m_bTranslations);
    ShowNotice(m_bTranslations ? kTranslationsOn : kTranslationsOff);
}

void CDlgLrc::SearchLyrics() {
    wchar_t szLrcPath[MAX_PATH];
    const DWORD n = ::GetFullPathNameW(LrcFilePath(g_strSongPath), MAX_PATH, szLrcPath, nullptr);
    if (n > 0 && n < MAX_PATH)
        m_search.Begin(m_hWnd, g_strSongPath, szLrcPath, g_nSongLength);
    g_strLrcMessage = SearchMessage(m_search.StateOf(g_strSongPath));
}

void CDlgLrc::ApplyShift() {
    g_lyc.m_dOffset = s_dFileOffset + m_shift.Of(s_strLyricsSong);
}

// Runs on every tick while the start request is pending, each time from the position of then.
void CDlgLrc::LoadSongLyrics(double dPos) {
    s_strLyricsSong = g_strSongPath;
    for (Shape& shape : m_arrShape)
        shape.nWidth = -1;
    if (LrcFileExists(g_strSongPath)) {
        s_dFileOffset = g_lyc.Load(LrcFilePath(g_strSongPath)) ? g_lyc.m_dOffset : 0.0;
    } else if (LoadEmbeddedLyrics(g_strSongPath)) {
        s_dFileOffset = g_lyc.m_dOffset;
    } else {
        g_bLrcLoaded = false;
        g_strLrcMessage = SearchMessage(m_search.StateOf(g_strSongPath));
        return;
    }
    ApplyShift();
    g_bLrcLoaded = true;
    StartSlots(dPos, m_bTranslations);
}

void CDlgLrc::StartSlots(double dPos, bool bTranslations) {
    s_nWordLine = -1;
    ResetFills();
    g_bTopCurrent = true;
    g_strTopLine = g_lyc.GetCurrentLine(dPos);
    const int nLine = std::max(LineAt(dPos + g_lyc.m_dOffset), 0);
    const CStringW strTranslation = bTranslations ? g_lyc.GetLineTranslation(nLine) : CStringW();
    g_bBottomTranslation = !strTranslation.IsEmpty();
    s_nTranslatedLine = nLine;
    g_strBottomLine = g_bBottomTranslation ? strTranslation : g_lyc.GetNextLine();
}

// The current slot takes the song's current line only once that line is no longer the text
// waiting in the other slot: a fill that ran ahead hands over early, and this catches up.
// A word-timed line is filled from the position instead, so it hands over when the position
// moves on to the line waiting in the other slot, and takes over from a paced line once the
// position reaches it.
int CDlgLrc::UpdateSlots(double dPos, bool bTranslations) {
    const CStringW strCurrent = g_lyc.GetCurrentLine(dPos);
    const int nLine = LineAt(dPos + g_lyc.m_dOffset);
    const int nLines = static_cast<int>(g_lyc.m_arrTime.size());
    const auto held = [] { return g_bTopCurrent ? g_strTopLine : g_strBottomLine; };
    const auto waiting = []() -> CStringW& { return g_bTopCurrent ? g_strBottomLine : g_strTopLine; };
    // Past the last start the timeline keeps the index of the line it found before: after the
    // last line comes nothing, not that line's successor.
    const auto next = [&] { return nLine + 1 < nLines || nLine < 0 ? g_lyc.GetNextLine() : CStringW(L" "); };

    // A translated line holds both slots for as long as it is sung; its original always fills at
    // the top, from an empty fill when the line begins.
    const CStringW strTranslation = bTranslations ? g_lyc.GetLineTranslation(nLine) : CStringW();
    if (!strTranslation.IsEmpty()) {
        if (!g_bBottomTranslation || s_nTranslatedLine != nLine) {
            ResetFills();
            g_bTopCurrent = true;
            g_bBottomTranslation = true;
            s_nTranslatedLine = nLine;
        }
        g_strTopLine = strCurrent;
        g_strBottomLine = strTranslation;
        g_nTopSeconds = WholeSeconds(g_lyc.GetLineDuration(dPos));
        s_nWordLine = HasWords(nLine) ? nLine : -1;
        return s_nWordLine;
    }
    if (g_bBottomTranslation) {
        // Back to the current and the next line, both afresh.
        g_bBottomTranslation = false;
        g_bTopCurrent = true;
        ResetFills();
        g_strTopLine = strCurrent;
        g_strBottomLine = next();
        s_nWordLine = -1;
    }

    const bool bHandOver = nLine >= 0 && strCurrent == waiting() &&
                           (s_nWordLine >= 0 ? nLine > s_nWordLine : HasWords(nLine) && held() != strCurrent);
    if (bHandOver) {
        g_bTopCurrent = !g_bTopCurrent;
        ResetFills();
        waiting() = next();
    }

    if (g_bTopCurrent) {
        if (strCurrent != g_strBottomLine) {
            g_strTopLine = strCurrent;
            g_strBottomLine = next();
        }
        g_nTopSeconds = WholeSeconds(g_lyc.GetLineDuration(dPos));
    } else {
        if (strCurrent != g_strTopLine) {
            g_strBottomLine = strCurrent;
            g_strTopLine = next();
        }
        g_nBottomSeconds = WholeSeconds(g_lyc.GetLineDuration(dPos));
    }

    // A paced fill that ran ahead may already hold the next line, word-timed and not yet begun.
    s_nWordLine = -1;
    if (nLine >= 0 && held() == strCurrent && HasWords(nLine))
        s_nWordLine = nLine;
    else if (nLine >= 0 && nLine + 1 < nLines && HasWords(nLine + 1) && held() == g_lyc.GetNextLine())
        s_nWordLine = nLine + 1;
    return s_nWordLine;
}

void CDlgLrc::Tick() {
    m_hands.Poll(g_bPlaying, g_bLrcLoaded, g_bLrcShown);
    m_bNotice = m_notice.Take(m_strNotice);
    const LONGLONG llNow = FollowDevice();
    // A request that the main window took before any tick of ours saw it still gets its
    // lyrics: a song playing under another song's lyrics is looked up on the next tick.
    if (g_bStartSong || (g_bPlaying && g_strSongPath != s_strLyricsSong))
        LoadSongLyrics(PositionMs(llNow) / 1000.0);
    // Once the song plays: the main window has published its length by then.
    if (g_bPlaying && !g_bStartSong && !g_bLrcLoaded)
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
    Compose(dPosMs, dPlayedMs);

    const bool bVisible = IsWindowVisible() != FALSE;
    if (!bVisible) {
        m_shown.kind = Kind::Unknown;  // shown again, it is drawn whole
    } else if (!SameDrawing(m_scene, m_shown)) {
        CClientDC dc(this);
        Draw(dc, false);
    }
    SetFrames(bVisible && m_clock.IsRunning() && m_scene.kind == Kind::Lyrics && m_scene.bMoving);
}

// The band's clock while it runs; else the main window's last reading, where a song that is not
// playing stands.
double CDlgLrc::PositionMs(LONGLONG llNow) const {
    return m_clock.IsRunning() ? m_clock.Now(llNow) : static_cast<double>(g_nLrcPos);
}

void CDlgLrc::Compose(double dPosMs, double dPlayedMs) {
    Scene scene;
    if (g_bPlaying && g_bLrcLoaded) {
        // The range ignores the offset; the lookups apply it. Under a notice the lyrics move on
        // unseen.
        const double dPos = dPosMs / 1000.0;
        const bool bInRange = g_lyc.m_dFirstTime <= dPos && dPos <= g_lyc.m_dLastTime;
        // A word-timed last line is sung after the last start time too.
        const bool bLastWords = dPos > g_lyc.m_dLastTime && HasWords(static_cast<int>(g_lyc.m_arrTime.size()) - 1);
        const int nWordLine = bInRange || bLastWords ? UpdateSlots(dPos, m_bTranslations) : -1;
        ComposeLyrics(scene, bInRange, nWordLine, dPos, s_bFillsReset ? 0.0 : dPlayedMs);
    }
    s_bFillsReset = false;
    if (m_bNotice || !g_bPlaying || !g_bLrcLoaded) {
        scene = Scene();
        scene.strMessage = m_bNotice ? m_strNotice : !g_bPlaying ? CString(kNoSong) : g_strLrcMessage;
    }
    m_scene = scene;
}

void CDlgLrc::ComposeLyrics(Scene& scene, bool bInRange, int nWordLine, double dPos, double dPlayedMs) {
    scene.kind = Kind::Lyrics;
    const bool bTop = g_bTopCurrent;
    const int nCurrent = bTop ? 0 : 1;
    const CStringW* arrText[2] = {&g_strTopLine, &g_strBottomLine};
    for (int i = 0; i < 2; ++i) {
        const Shape& shape = ShapeOf(i, *arrText[i], i == nCurrent ? nWordLine : -1);
        scene.arrText[i] = shape.str;
        scene.arrWidth[i] = shape.nWidth;
        scene.arrX[i] = i == 0 ? TopSlotX(g_nScreenWidth, shape.nWidth) : BottomSlotX(g_nScreenWidth, shape.nWidth);
    }
    // A line about to begin moves from its first moment on.
    const double t = dPos + g_lyc.m_dOffset;
    scene.bMoving = UntilNextLine(t) * 1000.0 <= kLeadMs;
    if (!bInRange && nWordLine < 0)
        return;

    const int w = scene.arrWidth[nCurrent];
    int& nFill = bTop ? g_nTopFill : g_nBottomFill;
    if (nWordLine >= 0) {
        const Shape& shape = m_arrShape[nCurrent];
        const double dElapsed = t - g_lyc.m_arrTime[nWordLine];
        const double dEnd = LastWordEnd(nWordLine);
        nFill = WordFillWidth(g_lyc.GetLineWords(nWordLine), shape.arrWordX, w, dElapsed, dEnd);
        scene.nRedSlot = nCurrent;
        scene.nRed = nFill;
        scene.bMoving = scene.bMoving || dElapsed < dEnd;
        return;
    }
    if (nFill != static_cast<int>(s_dFill))
        s_dFill = nFill;
    const int nSeconds = bTop ? g_nTopSeconds : g_nBottomSeconds;
    LrcFillTick tick = AdvanceFill(s_dFill, w, nSeconds, dPlayedMs);
    if (!tick.bDraw)
        return;
    // A held fill has no other slot to hand over to: it stays whole once it got there.
    const bool bHold = g_bBottomTranslation;
    if (bHold && tick.bHandOver)
        tick = {true, w, static_cast<double>(w), false};
    scene.nRedSlot = nCurrent;
    scene.nRed = tick.nRedWidth;
    scene.bMoving = scene.bMoving || (FillStep(w, nSeconds) > 0 && !(bHold && tick.dFill >= w));
    s_dFill = tick.dFill;
    nFill = static_cast<int>(tick.dFill);
    if (tick.bHandOver)
        g_bTopCurrent = !bTop;
}

const CDlgLrc::Shape& CDlgLrc::ShapeOf(int nSlot, const CStringW& str, int nLine) {
    Shape& shape = m_arrShape[nSlot];
    if (shape.str == str && shape.nLine == nLine && shape.nWidth >= 0)
        return shape;  // a width below 0 marks a shape measured for lyrics since replaced
    shape.str = str;
    shape.nLine = nLine;
    shape.nWidth = m_dcMeasure.GetTextExtent(str, str.GetLength()).cx;
    shape.arrWordX.clear();
    // Measured up to each word, so the red edge stands where the word does.
    if (nLine >= 0) {
        for (const LrcWord& word : g_lyc.GetLineWords(nLine))
            shape.arrWordX.push_back(m_dcMeasure.GetTextExtent(str, std::min(word.nOffset, str.GetLength())).cx);
    }
    return shape;
}

bool CDlgLrc::SameDrawing(const Scene& a, const Scene& b) {
    for (int i = 0; i < 2; ++i) {
        if (a.arrText[i] != b.arrText[i] || a.arrX[i] != b.arrX[i] || a.RedIn(i) != b.RedIn(i))
            return false;
    }
    return a.kind == b.kind && a.strMessage == b.strMessage;
}

void CDlgLrc::Draw(CDC& dc, bool bWhole) {
    ++m_nDraws;
    const CSelectScope selFont(dc, m_font);
    // At large font sizes the slots overlap: one cannot be drawn without the other.
    const bool bApart = kTopY + m_nTextHeight <= kBottomY;
    bWhole = bWhole || m_scene.kind != m_shown.kind || m_scene.strMessage != m_shown.strMessage;
    for (int i = 0; i < 2 && !bWhole && m_scene.kind == Kind::Lyrics; ++i) {
        const int nRed = m_scene.RedIn(i);
        const int nShownRed = m_shown.RedIn(i);
        if (m_scene.arrText[i] != m_shown.arrText[i] || m_scene.arrX[i] != m_shown.arrX[i] || nRed < nShownRed) {
            if (!bApart)
                bWhole = true;
            else
                DrawSlot(dc, i);
        } else if (nRed > nShownRed) {
            DrawRed(dc, i, nShownRed, nRed);
        }
    }
    if (bWhole)
        DrawWhole(dc);
    m_shown = m_scene;
}

void CDlgLrc::DrawWhole(CDC& dc) {
    CRect rcClient;
    GetClientRect(&rcClient);
    {
        // The DC's default black pen draws the band's one-pixel frame.
        const CSelectScope selBrush(dc, ::GetStockObject(WHITE_BRUSH));
        dc.Rectangle(rcClient.left, rcClient.top, rcClient.right, rcClient.bottom);
    }
    if (m_scene.kind == Kind::Message) {
        const CString& str = m_scene.strMessage;
        dc.SetTextColor(kBlue);
        dc.TextOut(CentredX(g_nScreenWidth, dc.GetTextExtent(str, str.GetLength()).cx), kMessageY, str,
                   str.GetLength());
        return;
    }
    for (int i = 0; i < 2; ++i)
        DrawSlotText(dc, i);
}

// The slot anew over what it showed: white over the old text and the new, the text in blue, the
// red part over it. A little beyond each text, for glyphs that reach past their advance.
void CDlgLrc::DrawSlot(CDC& dc, int nSlot) {
    const int nMargin = m_nTextHeight / 4;
    const int y = kSlotY[nSlot];
    CRect rcClient;
    GetClientRect(&rcClient);
    RECT rc = {std::min(m_shown.arrX[nSlot], m_scene.arrX[nSlot]) - nMargin, y,
               std::max(m_shown.arrX[nSlot] + m_shown.arrWidth[nSlot], m_scene.arrX[nSlot] + m_scene.arrWidth[nSlot]) +
                   nMargin,
               y + m_nTextHeight};
    // Inside the frame.
    rc.left = std::max(rc.left, rcClient.left + 1);
    rc.right = std::min(rc.right, rcClient.right - 1);
    rc.bottom = std::min(rc.bottom, rcClient.bottom - 1);
    if (rc.left < rc.right && rc.top < rc.bottom)
        ::FillRect(dc, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    DrawSlotText(dc, nSlot);
}

void CDlgLrc::DrawSlotText(CDC& dc, int nSlot) {
    dc.SetTextColor(kBlue);
    dc.TextOut(m_scene.arrX[nSlot], kSlotY[nSlot], m_scene.arrText[nSlot], m_scene.arrText[nSlot].GetLength());
    if (const int nRed = m_scene.RedIn(nSlot))
        DrawRed(dc, nSlot, 0, nRed);
}

// The text laid out as the blue one, red between nFrom and nTo pixels of it. On the default
// opaque background each pixel comes out as a whole repaint would draw it.
void CDlgLrc::DrawRed(CDC& dc, int nSlot, int nFrom, int nTo) {
    const int x = m_scene.arrX[nSlot];
    const int y = kSlotY[nSlot];
    const RECT rc = {x + nFrom, y, x + nTo, y + m_nTextHeight};
    dc.SetTextColor(kRed);
    dc.ExtTextOut(x, y, ETO_CLIPPED, &rc, m_scene.arrText[nSlot], m_scene.arrText[nSlot].GetLength());
}

// The band's choices of colours, outline, shadow and size, drawn from the next update on.
void CDlgLrc::ApplyStyle() {
    m_shown.kind = Kind::Unknown;
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
