// The player's keys. The media keys are held as hot keys while the player runs, each standing
// for a transport button; a key another program holds stays with it and still reaches an active
// window as WM_APPCOMMAND. With Ctrl, some keys act on the lyric band.
#pragma once

#include <windows.h>

class CDlgLrc;

// Hot-key IDs: Play/Pause, Next, Previous, Stop.
constexpr int HOTKEY_PLAY_PAUSE = 1;
constexpr int HOTKEY_NEXT = 2;
constexpr int HOTKEY_PREV = 3;
constexpr int HOTKEY_STOP = 4;
// Ctrl+Alt+U unlocks the lyric band, and locks it again; held only when no other program has it.
constexpr int HOTKEY_BAND_LOCK = 5;
constexpr UINT BAND_LOCK_KEY = 'U';
constexpr UINT BAND_LOCK_MODIFIERS = MOD_CONTROL | MOD_ALT;

void RegisterMediaKeys(HWND hWnd);
void UnregisterMediaKeys(HWND hWnd);
// False when another program holds the key: it stays with that program.
bool RegisterBandLockKey(HWND hWnd);

// The button a media key presses, by its virtual key or its WM_APPCOMMAND command; 0 for none.
// Play stands for Play/Pause.
int ButtonForMediaKey(UINT nVirtualKey);
int ButtonForAppCommand(UINT nCommand);

// Ctrl+Up and Ctrl+Down move the lyrics by this many seconds.
constexpr double LRC_SHIFT_STEP = 0.5;

// Ctrl+Up, Ctrl+Down and Ctrl+0 move the band's lyrics, Ctrl+L opens the choice among the
// network's matches, Ctrl+N switches the network search, Ctrl+T the translations; false for any
// other key.
bool PressLyricsKey(CDlgLrc& band, WPARAM nVirtualKey);
