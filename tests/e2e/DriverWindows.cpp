#include "DriverWindows.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "framework/Holders.h"
#include "res/resource.h"

namespace driver {
namespace {

const int kMainMarker = IDC_PLAY;  // only the main window has it

// Every control of the player's dialogs by its name in res/resource.h.
struct NamedControl {
    const wchar_t* name;
    int id;
    int dialog;
};
const NamedControl kControls[] = {
#include "controls.inc"
};
const DWORD kSendTimeoutMs = 5000;
const DWORD kPollMs = 20;

}  // namespace

// ---- output -------------------------------------------------------------------------------

namespace {

std::string Utf8(const std::wstring& w) {
    if (w.empty())
        return std::string();
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), &s[0], n, nullptr, nullptr);
    return s;
}

}  // namespace

void Print(const std::wstring& line) {
    const std::string s = Utf8(line) + "\n";
    std::fwrite(s.data(), 1, s.size(), stdout);
    std::fflush(stdout);
}

int Fail(const std::wstring& why, int code) {
    const std::string s = "driver: " + Utf8(why) + "\n";
    std::fwrite(s.data(), 1, s.size(), stderr);
    std::fflush(stderr);
    return code;
}

std::wstring Number(long long n) {
    return std::to_wstring(n);
}

DWORD Elapsed(DWORD start) {
    return ::GetTickCount() - start;
}

// Polls until the condition holds or the time is up; returns the condition's last answer.
bool PollUntil(DWORD timeoutMs, const std::function<bool()>& condition) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (Elapsed(start) >= timeoutMs)
            return false;
        ::Sleep(kPollMs);
    }
}

// ---- finding the player -------------------------------------------------------------------

namespace {

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

std::wstring ImageNameOf(DWORD pid) {
    const CHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process)
        return std::wstring();
    wchar_t path[MAX_PATH] = {};
    DWORD n = MAX_PATH;
    if (!::QueryFullProcessImageNameW(process.Get(), 0, path, &n))
        return std::wstring();
    const std::wstring full(path, n);
    const size_t slash = full.find_last_of(L"\\/");
    return slash == std::wstring::npos ? full : full.substr(slash + 1);
}

BOOL CALLBACK FindMain(HWND hwnd, LPARAM lParam) {
    auto* found = reinterpret_cast<PlayerWindows*>(lParam);
    if (ClassOf(hwnd) != L"#32770" || !::GetDlgItem(hwnd, kMainMarker))
        return TRUE;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    // Test programs of the build make the same dialog; only the player's own counts.
    if (::lstrcmpiW(ImageNameOf(pid).c_str(), L"Sonello.exe") != 0)
        return TRUE;
    found->main = hwnd;
    found->pid = pid;
    return FALSE;
}

BOOL CALLBACK FindOwned(HWND hwnd, LPARAM lParam) {
    auto* found = reinterpret_cast<PlayerWindows*>(lParam);
    if (::GetWindow(hwnd, GW_OWNER) != found->main || ClassOf(hwnd) != L"#32770")
        return TRUE;
    if (::GetDlgItem(hwnd, IDC_LISTS))
        found->list = hwnd;
    else if (!::GetWindow(hwnd, GW_CHILD))  // the band has no controls at all
        found->band = hwnd;
    return TRUE;
}

PlayerWindows FindPlayer() {
    PlayerWindows w;
    ::EnumWindows(FindMain, reinterpret_cast<LPARAM>(&w));
    if (w.main)
        ::EnumWindows(FindOwned, reinterpret_cast<LPARAM>(&w));
    return w;
}

}  // namespace

PlayerWindows WaitPlayer(DWORD timeoutMs) {
    PlayerWindows w;
    PollUntil(timeoutMs, [&] { return (w = FindPlayer()).Complete(); });
    return w;
}

HWND RoleOf(const PlayerWindows& w, const std::wstring& role) {
    return role == L"list" ? w.list : role == L"band" ? w.band : role == L"main" ? w.main : nullptr;
}

// A control given by its name, "IDC_SHOWLIST", in the dialog that has it; or by a number, the
// main window's control of that number, else the song list's.
HWND ControlOf(const PlayerWindows& w, const std::wstring& control) {
    for (const NamedControl& c : kControls) {
        if (control == c.name)
            return ::GetDlgItem(c.dialog == IDD_PLAYLIST ? w.list : w.main, c.id);
    }
    if (control.empty() || control.find_first_not_of(L"0123456789") != std::wstring::npos)
        return nullptr;
    const int id = _wtoi(control.c_str());
    if (HWND h = ::GetDlgItem(w.main, id))
        return h;
    return w.list ? ::GetDlgItem(w.list, id) : nullptr;
}

// ---- talking to its windows ---------------------------------------------------------------

LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

// Asked with the wide calls: under Wine the narrow ones hand UTF-16 back across processes.
std::wstring TextOf(HWND hwnd) {
    const LRESULT n = Send(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> buf(static_cast<size_t>(n > 0 ? n : 0) + 64, L'\0');
    Send(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()));
    return buf.data();
}

std::vector<std::wstring> RowsOf(HWND box) {
    std::vector<std::wstring> rows;
    const LRESULT count = Send(box, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT n = Send(box, LB_GETTEXTLEN, i, 0);
        std::vector<wchar_t> buf(static_cast<size_t>(n > 0 ? n : 0) + 64, L'\0');
        Send(box, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buf.data()));
        rows.push_back(buf.data());
    }
    return rows;
}

// What a click on a push button or an owner-drawn button tells its dialog.
void Click(HWND control) {
    const int id = ::GetDlgCtrlID(control);
    ::PostMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

// What a click or a double-click on a list-box row does: select it, then tell the dialog.
void ChooseRow(HWND box, int row, WORD notification) {
    Send(box, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    const int id = ::GetDlgCtrlID(box);
    Send(::GetParent(box), WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(box));
}

std::wstring RectText(HWND hwnd) {
    RECT rc = {};
    ::GetWindowRect(hwnd, &rc);
    return Number(rc.left) + L" " + Number(rc.top) + L" " + Number(rc.right - rc.left) + L" " +
           Number(rc.bottom - rc.top);
}

int WaitExit(DWORD pid, DWORD timeoutMs) {
    const CHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process)
        return Fail(L"the player's process is gone before it could be watched");
    if (::WaitForSingleObject(process.Get(), timeoutMs) != WAIT_OBJECT_0)
        return Fail(L"the player did not end within " + Number(timeoutMs) + L" ms");
    DWORD code = 0;
    ::GetExitCodeProcess(process.Get(), &code);
    Print(Number(code));
    return 0;
}

// The icon's menu runs its own loop on the player's thread, in a window of the menu class.
HWND WaitPopupMenu(DWORD pid, DWORD timeoutMs) {
    HWND menu = nullptr;
    PollUntil(timeoutMs, [&] {
        HWND h = nullptr;
        while ((h = ::FindWindowExW(nullptr, h, L"#32768", nullptr)) != nullptr) {
            DWORD owner = 0;
            ::GetWindowThreadProcessId(h, &owner);
            if (owner == pid && ::IsWindowVisible(h)) {
                menu = h;
                return true;
            }
        }
        return false;
    });
    return menu;
}

namespace {

BOOL CALLBACK CollectIcon(HWND hwnd, LPARAM lParam) {
    if (ClassOf(hwnd) == L"__winex11_tray_icon" && ::IsWindowVisible(hwnd))
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

}  // namespace

// Without a notification area on the X display Wine shows the icons in a window of its own,
// one child window per icon.
std::vector<HWND> TrayIcons() {
    std::vector<HWND> icons;
    HWND tray = nullptr;
    while ((tray = ::FindWindowExW(nullptr, tray, L"__winex11_standalone_tray", nullptr)) != nullptr) {
        if (::IsWindowVisible(tray))
            ::EnumChildWindows(tray, CollectIcon, reinterpret_cast<LPARAM>(&icons));
    }
    return icons;
}

}  // namespace driver
