#include "lyrics/CDlgLrc.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "framework/CBrush.h"
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
// The song whose lyrics were last looked up.
CStringW s_strLyricsSong;
const UINT kLrcTickMs = 200;
const int kBandHeight = 100;
const int kTopY = 5;
const int kBottomY = 55;
const int kMessageY = 30;
const int kNoticeTicks = 2000 / kLrcTickMs;

// The word-timed line the current slot held at the last tick; -1 when it held none.
int s_nWordLine = -1;
// The line whose translation the lower slot holds, while g_bBottomTranslation.
int s_nTranslatedLine = -1;
// The offset the loaded lyric file gives itself; shifts by key go on top of it.
double s_dFileOffset = 0.0;

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

int TextWidth(const CDC& dc, const CString& str) {
    return dc.GetTextExtent(str, str.GetLength()).cx;
}

int TextWidth(const CDC& dc, const CStringW& str) {
    return dc.GetTextExtent(str, str.GetLength()).cx;
}

void DrawCentred(CDC& dc, const CString& str) {
    dc.SetTextColor(kBlue);
    dc.TextOut(CentredX(g_nScreenWidth, TextWidth(dc, str)), kMessageY, str, str.GetLength());
}

void DrawRed(CDC& dc, const CStringW& str, int x, int y, int nRedWidth, int nTextHeight) {
    CRect rc(x, y, x + nRedWidth, nTextHeight + y);
    dc.SetTextColor(kRed);
    // Left, top, clipped; an '&' is text here, or the red copy would slip off the blue one.
    dc.DrawText(str, str.GetLength(), &rc, DT_NOPREFIX);
}

// One paced step of a slot's fill, overdrawn in red when shown; returns whether the fill
// passed the text. A held fill has no other slot to hand over to: it stays whole once it got there.
bool FillSlot(CDC& dc, const CStringW& str, int x, int y, int nWidth, int nTextHeight, int& nFill, int nSeconds,
              bool bShow, bool bHold) {
    LrcFillTick tick = AdvanceFill(nFill, nWidth, nSeconds);
    if (!tick.bDraw)
        return false;
    if (bHold && tick.bHandOver)
        tick = {true, nWidth, nWidth, false};
    if (bShow)
        DrawRed(dc, str, x, y, tick.nRedWidth, nTextHeight);
    nFill = tick.nFill;
    return tick.bHandOver;
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

// Red width of line nLine, shown as str, at lookup time t: measured in the band's font up to
// each word, so the red edge stands where the word does.
int WordRedWidth(const CDC& dc, const CStringW& str, int nWidth, int nLine, double t) {
    const std::vector<LrcWord>& words = g_lyc.GetLineWords(nLine);
    std::vector<int> arrWordX;
    arrWordX.reserve(words.size());
    for (const LrcWord& word : words)
        arrWordX.push_back(dc.GetTextExtent(str, std::min(word.nOffset, str.GetLength())).cx);
    const double dStart = g_lyc.m_arrTime[nLine];
    const size_t nNext = static_cast<size_t>(nLine) + 1;
    // The file's last line has no next start: its last word gets a second.
    const double dLastWordEnd =
        nNext < g_lyc.m_arrTime.size() ? g_lyc.m_arrTime[nNext] - dStart : words.back().dStart + 1.0;
    return WordFillWidth(words, arrWordX, nWidth, t - dStart, dLastWordEnd);
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
    g_lyc.LoadBytes("\xEF\xBB\xBF" + strLyrics);
    return g_lyc.m_bLoaded;
}

}  // namespace

CDlgLrc::CDlgLrc(CWnd* pParent) : CDialog(IDD_LRC, pParent) {}

BOOL CDlgLrc::OnInitDialog() {
    CDialog::OnInitDialog();
    m_bTranslations = kTranslationSwitch.IsOn();
    SetTimer(kLrcTimer, kLrcTickMs);
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, ::GetWindowLongA(m_hWnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    KeyOutWhite(m_hWnd);
    g_nScreenWidth = ::GetSystemMetrics(SM_CXFULLSCREEN);
    g_nScreenHeight = ::GetSystemMetrics(SM_CYFULLSCREEN);
    SetWindowPos(HWND_TOPMOST, 0, g_nScreenHeight - kBandHeight, g_nScreenWidth, kBandHeight, SWP_SHOWWINDOW);
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
    // Declared before the DC so that they are deleted only after it has been released.
    CBrush brWhite;
    CFont font;
    {
        CClientDC dc(this);
        CRect rcClient;
        GetClientRect(&rcClient);
        brWhite.CreateSolidBrush(kWhite);
        {
            // The DC's default black pen draws the band's one-pixel frame.
            const CSelectScope selBrush(dc, brWhite);
            dc.Rectangle(rcClient.left, rcClient.top, rcClient.right, rcClient.bottom);
        }
        font.CreatePointFont(280, "宋体");
        const CSelectScope selFont(dc, font);
        TEXTMETRICA tm = {};
        dc.GetTextMetrics(&tm);

        CString strNotice;
        const bool bNotice = m_notice.Take(strNotice);
        if (bNotice)
            DrawCentred(dc, strNotice);

        const double dPos = g_nLrcPos / 1000.0;
        // A request that the main window took before any tick of ours saw it still gets its
        // lyrics: a song playing under another song's lyrics is looked up on the next tick.
        if (g_bStartSong || (g_bPlaying && g_strSongPath != s_strLyricsSong))
            LoadSongLyrics(dPos);
        // Once the song plays: the main window has published its length by then.
        if (g_bPlaying && !g_bStartSong && !g_bLrcLoaded)
            SearchLyrics();

        if (!g_bPlaying) {
            if (!bNotice)
                DrawCentred(dc, kNoSong);
        } else if (!g_bLrcLoaded) {
            if (!bNotice)
                DrawCentred(dc, g_strLrcMessage);
        } else {
            // The range ignores the offset; the lookups apply it. Under a notice the lyrics
            // move on unseen.
            const bool bInRange = g_lyc.m_dFirstTime <= dPos && dPos <= g_lyc.m_dLastTime;
            // A word-timed last line is sung after the last start time too.
            const bool bLastWords = dPos > g_lyc.m_dLastTime && HasWords(static_cast<int>(g_lyc.m_arrTime.size()) - 1);
            const int nWordLine = bInRange || bLastWords ? UpdateSlots(dPos, m_bTranslations) : -1;
            DrawLyrics(dc, tm.tmHeight, bInRange, nWordLine, dPos, !bNotice);
        }
    }
    CDialog::OnTimer(nIDEvent);
}

LRESULT CDlgLrc::OnLrcSearched(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    for (const CStringW& strSong : m_search.TakeFinished()) {
        // A search that ends after its song has gone leaves its file for the next time it plays.
        if (strSong == g_strSongPath && strSong == s_strLyricsSong && !g_bLrcLoaded)
            LoadSongLyrics(g_nLrcPos / 1000.0);
    }
    return 0;
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
        StartSlots(g_nLrcPos / 1000.0, m_bTranslations);
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
    g_nTopFill = g_nBottomFill = 0;
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
            g_nTopFill = g_nBottomFill = 0;
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
        g_nTopFill = g_nBottomFill = 0;
        g_strTopLine = strCurrent;
        g_strBottomLine = next();
        s_nWordLine = -1;
    }

    const bool bHandOver = nLine >= 0 && strCurrent == waiting() &&
                           (s_nWordLine >= 0 ? nLine > s_nWordLine : HasWords(nLine) && held() != strCurrent);
    if (bHandOver) {
        g_bTopCurrent = !g_bTopCurrent;
        g_nTopFill = g_nBottomFill = 0;
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

void CDlgLrc::DrawLyrics(CDC& dc, int nTextHeight, bool bInRange, int nWordLine, double dPos, bool bShow) {
    const int w1 = TextWidth(dc, g_strTopLine);
    const int w2 = TextWidth(dc, g_strBottomLine);
    const int x1 = TopSlotX(g_nScreenWidth, w1);
    const int x2 = BottomSlotX(g_nScreenWidth, w2);
    if (bShow) {
        dc.SetTextColor(kBlue);
        dc.TextOut(x1, kTopY, g_strTopLine, g_strTopLine.GetLength());
        dc.TextOut(x2, kBottomY, g_strBottomLine, g_strBottomLine.GetLength());
    }
    if (!bInRange && nWordLine < 0)
        return;
    const bool bTop = g_bTopCurrent;
    const CStringW& str = bTop ? g_strTopLine : g_strBottomLine;
    const int x = bTop ? x1 : x2;
    const int y = bTop ? kTopY : kBottomY;
    const int w = bTop ? w1 : w2;
    int& nFill = bTop ? g_nTopFill : g_nBottomFill;
    if (nWordLine >= 0) {
        nFill = WordRedWidth(dc, str, w, nWordLine, dPos + g_lyc.m_dOffset);
        if (bShow)
            DrawRed(dc, str, x, y, nFill, nTextHeight);
        return;
    }
    if (FillSlot(dc, str, x, y, w, nTextHeight, nFill, bTop ? g_nTopSeconds : g_nBottomSeconds, bShow,
                 g_bBottomTranslation))
        g_bTopCurrent = !bTop;
}
