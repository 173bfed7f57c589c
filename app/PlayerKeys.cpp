#include "app/PlayerKeys.h"

#include "lyrics/CDlgLrc.h"
#include "res/resource.h"

namespace {

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

}  // namespace

void RegisterMediaKeys(HWND hWnd) {
    for (const auto& key : kMediaKeys)
        ::RegisterHotKey(hWnd, key.nHotKey, MOD_NOREPEAT, key.nVirtualKey);
}

void UnregisterMediaKeys(HWND hWnd) {
    for (const auto& key : kMediaKeys)
        ::UnregisterHotKey(hWnd, key.nHotKey);
    ::UnregisterHotKey(hWnd, HOTKEY_BAND_LOCK);
}

bool RegisterBandLockKey(HWND hWnd) {
    return ::RegisterHotKey(hWnd, HOTKEY_BAND_LOCK, BAND_LOCK_MODIFIERS | MOD_NOREPEAT, BAND_LOCK_KEY) != FALSE;
}

int ButtonForMediaKey(UINT nVirtualKey) {
    for (const auto& key : kMediaKeys)
        if (key.nVirtualKey == nVirtualKey)
            return key.nButton;
    return 0;
}

int ButtonForAppCommand(UINT nCommand) {
    for (const auto& key : kMediaKeys)
        if (key.nAppCommand == nCommand)
            return key.nButton;
    return 0;
}

bool PressLyricsKey(CDlgLrc& band, WPARAM nVirtualKey) {
    switch (nVirtualKey) {
    case VK_UP:
        band.ShiftLyrics(LRC_SHIFT_STEP);
        return true;
    case VK_DOWN:
        band.ShiftLyrics(-LRC_SHIFT_STEP);
        return true;
    case '0':
    case VK_NUMPAD0:
        band.ResetLyricsShift();
        return true;
    case 'L':
        band.ChooseLyrics();
        return true;
    case 'N':
        band.ToggleLyricsSearch();
        return true;
    case 'T':
        band.ToggleTranslations();
        return true;
    default:
        return false;
    }
}
