// The driver's side of another process: finding a running Sonello.exe, sending to its windows and
// reading them back, and writing results. Kept apart from the commands so that looking at the
// screen can use the same windows and output.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace driver {

// ---- output -------------------------------------------------------------------------------

void Print(const std::wstring& line);
// Returns the exit code to give, so that a command can end with "return Fail(...)".
int Fail(const std::wstring& why, int code = 1);
std::wstring Number(long long n);
DWORD Elapsed(DWORD start);
bool PollUntil(DWORD timeoutMs, const std::function<bool()>& condition);

// ---- the player and its windows -----------------------------------------------------------

struct PlayerWindows {
    HWND main = nullptr;
    HWND list = nullptr;
    HWND band = nullptr;
    DWORD pid = 0;
    bool Complete() const { return main && list && band; }
};

PlayerWindows WaitPlayer(DWORD timeoutMs);
HWND RoleOf(const PlayerWindows& w, const std::wstring& role);
HWND ControlOf(const PlayerWindows& w, const std::wstring& control);

LRESULT Send(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
std::wstring TextOf(HWND hwnd);
std::vector<std::wstring> RowsOf(HWND box);
void Click(HWND control);
void ChooseRow(HWND box, int row, WORD notification);
std::wstring RectText(HWND hwnd);
int WaitExit(DWORD pid, DWORD timeoutMs);
HWND WaitPopupMenu(DWORD pid, DWORD timeoutMs);
std::vector<HWND> TrayIcons();

}  // namespace driver
