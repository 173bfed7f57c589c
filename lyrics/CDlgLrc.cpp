#include "lyrics/CDlgLrc.h"

#include <windows.h>
#include <shlwapi.h>

#include "app/Globals.h"
#include "framework/CBrush.h"
#include "framework/CDC.h"
#include "framework/CFont.h"
#include "framework/CRect.h"
#include "lyrics/CLyc.h"
#include "lyrics/LrcBand.h"
#include "res/resource.h"

int g_nScreenWidth = 0;
int g_nScreenHeight = 0;
CString g_strTopLine;
CString g_strBottomLine;
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
CString s_strLyricsSong;
const UINT kLrcTickMs = 200;
const int kBandHeight = 100;
const int kTopY = 5;
const int kBottomY = 55;
const int kMessageY = 30;

// The background is keyed out, so white is what the desktop shows through.
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kRed = RGB(255, 0, 0);

const char kNoSong[] = "没有歌曲";
const char kSearching[] = "正在从网络搜索歌词.........";

// Puts back the object a selection replaced, so the DC is released as it was handed out.
class SelectScope {
public:
    SelectScope(CDC& dc, HGDIOBJ hObject) : m_dc(dc), m_hOld(dc.SelectObject(hObject)) {}
    ~SelectScope() {
        if (m_hOld)
            m_dc.SelectObject(m_hOld);
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

private:
    CDC& m_dc;
    HGDIOBJ m_hOld;
};

class LibraryScope {
public:
    explicit LibraryScope(const char* pszName) : m_hModule(::LoadLibraryA(pszName)) {}
    ~LibraryScope() {
        if (m_hModule)
            ::FreeLibrary(m_hModule);
    }
    LibraryScope(const LibraryScope&) = delete;
    LibraryScope& operator=(const LibraryScope&) = delete;
    HMODULE Get() const { return m_hModule; }

private:
    HMODULE m_hModule;
};

// Looked up at run time: systems before layered windows lack the call, and then the band
// simply stays opaque.
void KeyOutWhite(HWND hWnd) {
    using PFN_SET_LAYERED = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    LibraryScope user32("User32.DLL");
    if (!user32.Get())
        return;
    const FARPROC proc = ::GetProcAddress(user32.Get(), "SetLayeredWindowAttributes");
    if (!proc)
        return;
    const auto pfn = reinterpret_cast<PFN_SET_LAYERED>(reinterpret_cast<void (*)()>(proc));
    pfn(hWnd, kWhite, 0, LWA_COLORKEY);
}

int TextWidth(const CDC& dc, const CString& str) {
    return dc.GetTextExtent(str, str.GetLength()).cx;
}

void DrawCentred(CDC& dc, const CString& str) {
    dc.SetTextColor(kBlue);
    dc.TextOut(CentredX(g_nScreenWidth, TextWidth(dc, str)), kMessageY, str, str.GetLength());
}

// Overdraws the first pixels of a slot's text in red; returns whether the fill passed the text.
bool FillSlot(CDC& dc, const CString& str, int x, int y, int nWidth, int nTextHeight, int& nFill, int nSeconds) {
    const LrcFillTick tick = AdvanceFill(nFill, nWidth, nSeconds);
    if (!tick.bDraw)
        return false;
    CRect rc(x, y, x + tick.nRedWidth, nTextHeight + y);
    dc.SetTextColor(kRed);
    dc.DrawText(str, str.GetLength(), &rc, 0);
    nFill = tick.nFill;
    return tick.bHandOver;
}

}  // namespace

CDlgLrc::CDlgLrc(CWnd* pParent) : CDialog(IDD_LRC, pParent) {}

BOOL CDlgLrc::OnInitDialog() {
    CDialog::OnInitDialog();
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
            SelectScope selBrush(dc, brWhite);
            dc.Rectangle(rcClient.left, rcClient.top, rcClient.right, rcClient.bottom);
        }
        font.CreatePointFont(280, "宋体");
        SelectScope selFont(dc, font);
        TEXTMETRICA tm = {};
        dc.GetTextMetrics(&tm);

        const double dPos = g_nLrcPos / 1000.0;
        // A request that the main window took before any tick of ours saw it still gets its
        // lyrics: a song playing under another song's lyrics is looked up on the next tick.
        if (g_bStartSong || (g_bPlaying && g_strSongPath != s_strLyricsSong))
            LoadSongLyrics(dPos);

        if (!g_bPlaying) {
            DrawCentred(dc, kNoSong);
        } else if (!g_bLrcLoaded) {
            DrawCentred(dc, g_strLrcMessage);
        } else {
            // The range ignores the offset; the lookups apply it.
            const bool bInRange = g_lyc.m_dFirstTime <= dPos && dPos <= g_lyc.m_dLastTime;
            if (bInRange)
                UpdateSlots(dPos);
            DrawLyrics(dc, tm.tmHeight, bInRange);
        }
    }
    CDialog::OnTimer(nIDEvent);
}

CString CDlgLrc::LrcFilePath(const CString& strSongPath) {
    // Both searches walk GBK characters: a trail byte 0x5C is not a separator.
    const CString strName = strSongPath.Mid(strSongPath.ReverseFind('\\') + 1);
    const int nDot = strName.FindChar('.');
    return "Lrc\\" + (nDot < 0 ? CString() : strName.Left(nDot)) + ".lrc";
}

bool CDlgLrc::LrcFileExists(const CString& strSongPath) {
    if (!::PathFileExistsA("Lrc"))
        return false;
    return ::PathFileExistsA(LrcFilePath(strSongPath)) != FALSE;
}

// Runs on every tick while the start request is pending, each time from the position of then.
void CDlgLrc::LoadSongLyrics(double dPos) {
    s_strLyricsSong = g_strSongPath;
    if (!LrcFileExists(g_strSongPath)) {
        g_bLrcLoaded = false;
        g_strLrcMessage = kSearching;
        return;
    }
    g_lyc.Load(LrcFilePath(g_strSongPath));
    g_bLrcLoaded = true;
    g_nTopFill = g_nBottomFill = 0;
    g_bTopCurrent = true;
    g_strTopLine = g_lyc.GetCurrentLine(dPos);
    g_strBottomLine = g_lyc.GetNextLine();
}

// The current slot takes the song's current line only once that line is no longer the text
// waiting in the other slot: a fill that ran ahead hands over early, and this catches up.
void CDlgLrc::UpdateSlots(double dPos) {
    const CString strCurrent = g_lyc.GetCurrentLine(dPos);
    if (g_bTopCurrent) {
        if (strCurrent != g_strBottomLine) {
            g_strTopLine = strCurrent;
            g_strBottomLine = g_lyc.GetNextLine();
        }
        g_nTopSeconds = WholeSeconds(g_lyc.GetLineDuration(dPos));
    } else {
        if (strCurrent != g_strTopLine) {
            g_strBottomLine = strCurrent;
            g_strTopLine = g_lyc.GetNextLine();
        }
        g_nBottomSeconds = WholeSeconds(g_lyc.GetLineDuration(dPos));
    }
}

void CDlgLrc::DrawLyrics(CDC& dc, int nTextHeight, bool bInRange) {
    const int w1 = TextWidth(dc, g_strTopLine);
    const int w2 = TextWidth(dc, g_strBottomLine);
    const int x1 = TopSlotX(g_nScreenWidth, w1);
    const int x2 = BottomSlotX(g_nScreenWidth, w2);
    dc.SetTextColor(kBlue);
    dc.TextOut(x1, kTopY, g_strTopLine, g_strTopLine.GetLength());
    dc.TextOut(x2, kBottomY, g_strBottomLine, g_strBottomLine.GetLength());
    if (!bInRange)
        return;
    if (g_bTopCurrent) {
        if (FillSlot(dc, g_strTopLine, x1, kTopY, w1, nTextHeight, g_nTopFill, g_nTopSeconds))
            g_bTopCurrent = false;
    } else {
        if (FillSlot(dc, g_strBottomLine, x2, kBottomY, w2, nTextHeight, g_nBottomFill, g_nBottomSeconds))
            g_bTopCurrent = true;
    }
}
