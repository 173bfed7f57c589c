// Drives a running Sonello.exe from outside, as a user's hand would: finds its windows, presses
// its buttons, reads its labels and list boxes, and looks at the screen over the lyric band.
// Results go to standard output as UTF-8, one per line. Exit code: 0 done, 1 a check failed or
// timed out, 2 bad usage or no player. Run "sonello_driver help" for the commands.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "DriverScreen.h"
#include "DriverWindows.h"
#include "framework/Holders.h"
#include "res/resource.h"

namespace {

using namespace driver;

const UINT kTrayNotify = WM_APP + 1000;

// ---- commands -----------------------------------------------------------------------------

struct Args {
    std::vector<std::wstring> words;  // the command's own arguments
    std::wstring At(size_t i) const { return i < words.size() ? words[i] : std::wstring(); }
    int Int(size_t i, int dflt) const { return i < words.size() ? _wtoi(words[i].c_str()) : dflt; }
    DWORD Ms(size_t i, DWORD dflt) const { return static_cast<DWORD>(Int(i, static_cast<int>(dflt))); }
};

int CmdWindows(const PlayerWindows& w, const Args&) {
    for (const wchar_t* role : {L"main", L"list", L"band"}) {
        const HWND h = RoleOf(w, role);
        if (!h)
            continue;
        // Wine keeps the X11 window of a top-level window as a property of it.
        const HANDLE xid = ::GetPropW(h, L"__wine_x11_whole_window");
        Print(std::wstring(role) + L" " + Number(reinterpret_cast<INT_PTR>(h)) + L" " +
              Number(::IsWindowVisible(h) != FALSE) + L" " + RectText(h) + L" " +
              Number(reinterpret_cast<INT_PTR>(xid)));
    }
    return 0;
}

int CmdClick(const PlayerWindows& w, const Args& a) {
    const HWND control = ControlOf(w, a.At(0));
    if (!control)
        return Fail(L"no control " + a.At(0), 2);
    Click(control);
    return 0;
}

int CmdText(const PlayerWindows& w, const Args& a) {
    const HWND control = ControlOf(w, a.At(0));
    if (!control)
        return Fail(L"no control " + a.At(0), 2);
    Print(TextOf(control));
    return 0;
}

// Drags the position slider as a hand would: sets it, then tells the main window.
int CmdSeekBeforeEnd(const PlayerWindows& w, const Args& a) {
    const HWND slider = ::GetDlgItem(w.main, IDC_SEEK);
    if (!slider)
        return Fail(L"no position slider", 2);
    const LRESULT nEnd = ::SendMessageW(slider, TBM_GETRANGEMAX, 0, 0);
    const LRESULT nTo = nEnd > a.Int(0, 0) ? nEnd - a.Int(0, 0) : 0;
    ::SendMessageW(slider, TBM_SETPOS, TRUE, nTo);
    ::SendMessageW(w.main, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, nTo), reinterpret_cast<LPARAM>(slider));
    Print(Number(static_cast<DWORD>(nTo)));
    return 0;
}

int CmdWaitText(const PlayerWindows& w, const Args& a) {
    const HWND control = ControlOf(w, a.At(0));
    if (!control)
        return Fail(L"no control " + a.At(0), 2);
    const DWORD start = ::GetTickCount();
    std::wstring now;
    if (!PollUntil(a.Ms(2, 5000), [&] { return (now = TextOf(control)) == a.At(1); }))
        return Fail(L"control " + a.At(0) + L" reads \"" + now + L"\", not \"" + a.At(1) + L"\"");
    Print(Number(Elapsed(start)));
    return 0;
}

int CmdWaitChange(const PlayerWindows& w, const Args& a) {
    const HWND control = ControlOf(w, a.At(0));
    if (!control)
        return Fail(L"no control " + a.At(0), 2);
    const std::wstring before = TextOf(control);
    std::wstring now;
    if (!PollUntil(a.Ms(1, 5000), [&] { return (now = TextOf(control)) != before; }))
        return Fail(L"control " + a.At(0) + L" still reads \"" + before + L"\"");
    Print(now);
    return 0;
}

int PrintRows(HWND box) {
    const LRESULT sel = Send(box, LB_GETCURSEL, 0, 0);
    const std::vector<std::wstring> rows = RowsOf(box);
    for (size_t i = 0; i < rows.size(); ++i)
        Print((static_cast<LRESULT>(i) == sel ? L"* " : L"  ") + rows[i]);
    return 0;
}

int CmdLists(const PlayerWindows& w, const Args&) {
    return PrintRows(::GetDlgItem(w.list, IDC_LISTS));
}

int CmdSongs(const PlayerWindows& w, const Args&) {
    return PrintRows(::GetDlgItem(w.list, IDC_SONGS));
}

int CmdWaitSongs(const PlayerWindows& w, const Args& a) {
    const HWND box = ::GetDlgItem(w.list, IDC_SONGS);
    const DWORD start = ::GetTickCount();
    LRESULT count = 0;
    if (!PollUntil(a.Ms(1, 5000), [&] { return (count = Send(box, LB_GETCOUNT, 0, 0)) == a.Int(0, -1); }))
        return Fail(L"the songs box has " + Number(count) + L" rows, not " + a.At(0));
    Print(Number(Elapsed(start)));
    return 0;
}

int CmdSelectList(const PlayerWindows& w, const Args& a) {
    const HWND box = ::GetDlgItem(w.list, IDC_LISTS);
    const std::vector<std::wstring> rows = RowsOf(box);
    for (size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] == a.At(0)) {
            ChooseRow(box, static_cast<int>(i), LBN_SELCHANGE);
            return 0;
        }
    }
    return Fail(L"no list named " + a.At(0));
}

int CmdDblclickSong(const PlayerWindows& w, const Args& a) {
    const HWND box = ::GetDlgItem(w.list, IDC_SONGS);
    const int row = a.Int(0, -1);
    if (row < 0 || row >= Send(box, LB_GETCOUNT, 0, 0))
        return Fail(L"no song row " + a.At(0));
    ChooseRow(box, row, LBN_DBLCLK);
    return 0;
}

int WaitVisibility(const PlayerWindows& w, const Args& a, bool bWant, DWORD timeoutMs) {
    const HWND h = RoleOf(w, a.At(0));
    if (!h)
        return Fail(L"no window " + a.At(0), 2);
    const bool bDone = PollUntil(timeoutMs, [&] { return (::IsWindowVisible(h) != FALSE) == bWant; });
    Print(::IsWindowVisible(h) ? L"visible" : L"hidden");
    return bDone ? 0 : 1;
}

int CmdVisible(const PlayerWindows& w, const Args& a) {
    return WaitVisibility(w, a, true, 0);
}

int CmdWaitVisible(const PlayerWindows& w, const Args& a) {
    return WaitVisibility(w, a, true, a.Ms(1, 5000));
}

int CmdWaitHidden(const PlayerWindows& w, const Args& a) {
    return WaitVisibility(w, a, false, a.Ms(1, 5000));
}

int BandRed(const PlayerWindows& w, DWORD timeoutMs) {
    int red = 0;
    PollUntil(timeoutMs, [&] {
        Picture band;
        red = CaptureBand(w, &band) ? RedPixels(band) : 0;
        return red > 0;
    });
    Print(Number(red));
    return red > 0 ? 0 : 1;
}

int CmdBandRed(const PlayerWindows& w, const Args&) {
    return BandRed(w, 0);
}

int CmdWaitBandRed(const PlayerWindows& w, const Args& a) {
    return BandRed(w, a.Ms(0, 5000));
}

// Polls the band against the rendered text of a slot (arguments 0 and 1) until measure(band,
// glyphs) reaches dWant or the time is up; prints the value kept (the best, or the last).
template <typename Measure>
int MeasureBand(const PlayerWindows& w, const Args& a, double dWant, DWORD timeoutMs, bool bKeepBest, Measure measure) {
    double dValue = -1.0;
    Glyphs glyphs;
    bool bRendered = false;
    PollUntil(timeoutMs, [&] {
        Picture band;
        if (!CaptureBand(w, &band))
            return false;
        if (!bRendered && !(bRendered = RenderLine(a.At(1), a.At(0), band.width, &glyphs)))
            return false;
        const double d = measure(band, glyphs);
        dValue = bKeepBest && d < dValue ? dValue : d;
        return dValue >= dWant;
    });
    if (dValue < 0.0)
        return Fail(L"the band is not on the screen");
    wchar_t buf[32];
    std::swprintf(buf, 32, L"%.3f", dValue);
    Print(buf);
    return dValue >= dWant ? 0 : 1;
}

// The best match of a slot with a text while the time lasts.
int BandShows(const PlayerWindows& w, const Args& a, double dWant, DWORD timeoutMs) {
    return MeasureBand(w, a, dWant, timeoutMs, true, MatchLine);
}

int CmdBandShows(const PlayerWindows& w, const Args& a) {
    return BandShows(w, a, 0.0, 0);
}

int CmdWaitBandShows(const PlayerWindows& w, const Args& a) {
    return BandShows(w, a, _wtof(a.At(2).c_str()), a.Ms(3, 5000));
}

// How far red has come along a slot's text, as a share of the text's width.
double RedShare(const Picture& band, const Glyphs& glyphs) {
    int right = glyphs.x - 1;
    for (int y = glyphs.y; y < glyphs.y + glyphs.picture.height && y < band.height; ++y)
        for (int x = glyphs.x > 0 ? glyphs.x : 0; x < glyphs.x + glyphs.picture.width && x < band.width; ++x)
            if (IsBandRed(band.At(x, y)) && x > right)
                right = x;
    return static_cast<double>(right + 1 - glyphs.x) / (glyphs.picture.width > 0 ? glyphs.picture.width : 1);
}

// Waits until red has come along a slot's text as far as the share wanted.
int CmdWaitBandFill(const PlayerWindows& w, const Args& a) {
    return MeasureBand(w, a, _wtof(a.At(2).c_str()), a.Ms(3, 5000), false, RedShare);
}

// Asks the main window for nothing every 50 ms for the time given; prints the longest wait
// for an answer, and fails once one takes longer than the limit.
int CmdResponsive(const PlayerWindows& w, const Args& a) {
    const DWORD limitMs = a.Ms(1, 500);
    const DWORD start = ::GetTickCount();
    DWORD longest = 0;
    while (Elapsed(start) < a.Ms(0, 1000)) {
        const DWORD asked = ::GetTickCount();
        DWORD_PTR result = 0;
        const bool bAnswered = ::SendMessageTimeoutW(w.main, WM_NULL, 0, 0, SMTO_NORMAL, limitMs, &result) != 0;
        longest = Elapsed(asked) > longest ? Elapsed(asked) : longest;
        if (!bAnswered)
            return Fail(L"the main window gave no answer within " + Number(limitMs) + L" ms");
        ::Sleep(50);
    }
    Print(Number(longest));
    return 0;
}

int CmdActivate(const PlayerWindows& w, const Args& a) {
    const HWND h = RoleOf(w, a.At(0));
    if (!h)
        return Fail(L"no window " + a.At(0), 2);
    ::SetForegroundWindow(h);
    return PollUntil(3000, [&] { return ::GetForegroundWindow() == h; }) ? 0 : Fail(L"the window is not active");
}

int CmdClose(const PlayerWindows& w, const Args& a) {
    Click(::GetDlgItem(w.main, IDC_CLOSE));
    return WaitExit(w.pid, a.Ms(0, 10000));
}

int CmdTray(const PlayerWindows& w, const Args&) {
    Click(::GetDlgItem(w.main, IDC_MINIMIZE));
    return 0;
}

int CmdTrayClose(const PlayerWindows& w, const Args& a) {
    // A right click on the icon reaches the window as its callback message.
    ::PostMessageW(w.main, kTrayNotify, IDR_MAINFRAME, WM_RBUTTONDOWN);
    const HWND menu = WaitPopupMenu(w.pid, 5000);
    if (!menu)
        return Fail(L"the icon's menu did not open");
    // The menu loop reads the keyboard from the player's queue: move to the one item, take it.
    ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
    return WaitExit(w.pid, a.Ms(0, 10000));
}

int CmdWaitExit(const PlayerWindows& w, const Args& a) {
    return WaitExit(w.pid, a.Ms(0, 10000));
}

struct Command {
    const wchar_t* name;
    const wchar_t* args;
    const wchar_t* what;
    int (*run)(const PlayerWindows&, const Args&);
};

const Command kCommands[] = {
    {L"windows", L"", L"role, handle, visible, x y w h, X11 window of main, list, band", CmdWindows},
    {L"click", L"<control>", L"press a button: IDC_... from res/resource.h, or a number", CmdClick},
    {L"text", L"<control>", L"a control's text", CmdText},
    {L"seek-before-end", L"<ms>", L"drag the position slider to that many ms before the end; prints where",
     CmdSeekBeforeEnd},
    {L"wait-text", L"<control> <text> <ms>", L"until the text is exactly that; prints the ms taken", CmdWaitText},
    {L"wait-change", L"<control> <ms>", L"until the text differs from now; prints the new text", CmdWaitChange},
    {L"lists", L"", L"rows of the lists box, the selected one marked *", CmdLists},
    {L"songs", L"", L"rows of the songs box, the selected one marked *", CmdSongs},
    {L"wait-songs", L"<count> <ms>", L"until the songs box has that many rows", CmdWaitSongs},
    {L"select-list", L"<name>", L"click the list of that name", CmdSelectList},
    {L"dblclick-song", L"<row>", L"double-click a song", CmdDblclickSong},
    {L"visible", L"main|list|band", L"exit 0 when the window is visible", CmdVisible},
    {L"wait-visible", L"main|list|band <ms>", L"until the window is visible", CmdWaitVisible},
    {L"wait-hidden", L"main|list|band <ms>", L"until the window is hidden", CmdWaitHidden},
    {L"band-red", L"", L"red pixels on the screen over the band; exit 1 when none", CmdBandRed},
    {L"wait-band-red", L"<ms>", L"until red shows over the band", CmdWaitBandRed},
    {L"band-shows", L"top|bottom|message <text>", L"how well the screen over that slot matches the text (0..1)",
     CmdBandShows},
    {L"wait-band-shows", L"top|bottom|message <text> <score> <ms>", L"until the match reaches the score",
     CmdWaitBandShows},
    {L"wait-band-fill", L"top|bottom <text> <share> <ms>", L"until red covers that share of the text", CmdWaitBandFill},
    {L"responsive", L"<ms> <limit ms>", L"the main window answers within the limit all along; prints the longest",
     CmdResponsive},
    {L"activate", L"main|list|band", L"make the window the active one, as a click would", CmdActivate},
    {L"close", L"[ms]", L"press the close button, wait for the end; prints the exit code", CmdClose},
    {L"tray", L"", L"minimise to the notification area", CmdTray},
    {L"tray-close", L"[ms]", L"choose 关闭 from the icon's menu; waits as close does", CmdTrayClose},
    {L"wait-exit", L"[ms]", L"wait for the player to end; prints the exit code", CmdWaitExit},
};

int Usage() {
    std::wstring text = L"usage: sonello_driver <command> [arguments]";
    const auto line = [&](const std::wstring& call, const std::wstring& what) {
        text += L"\n  " + call + std::wstring(call.size() < 34 ? 34 - call.size() : 1, L' ') + what;
    };
    line(L"wait-main [ms]", L"wait for the player's three windows; prints its process id");
    line(L"tray-icons", L"icons in the notification area, then x y w h of each");
    for (const Command& c : kCommands)
        line(std::wstring(c.name) + (*c.args ? L" " : L"") + c.args, c.what);
    return Fail(text, 2);
}

int Run(const std::wstring& name, const Args& a) {
    if (name == L"tray-icons") {
        const std::vector<HWND> icons = TrayIcons();
        Print(Number(static_cast<long long>(icons.size())));
        for (HWND icon : icons)
            Print(RectText(icon));
        return 0;
    }
    if (name == L"wait-main") {
        const PlayerWindows w = WaitPlayer(a.Ms(0, 15000));
        if (!w.Complete())
            return Fail(L"no player windows (main " + Number(w.main != nullptr) + L", list " +
                        Number(w.list != nullptr) + L", band " + Number(w.band != nullptr) + L")");
        Print(Number(w.pid));
        return 0;
    }
    for (const Command& c : kCommands) {
        if (name != c.name)
            continue;
        const PlayerWindows w = WaitPlayer(3000);
        if (!w.main)
            return Fail(L"Sonello.exe's main window was not found", 2);
        return c.run(w, a);
    }
    return Usage();
}

}  // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const CLocalMemory argvMemory(argv);
    Args a;
    for (int i = 2; i < argc; ++i)
        a.words.push_back(argv[i]);
    const std::wstring name = argc > 1 ? argv[1] : L"";
    return Run(name, a);
}
