// The player state that the three windows share. One GUI thread reads and writes all of it.
#pragma once

#include <windows.h>

#include "framework/CStringW.h"

class CPlayList;
class CDlgLrc;

extern CStringW g_strSongPath;  // the current song, whole in every script; the path label shows it
extern bool g_bStartSong;       // open and play g_strSongPath from its start at the next one-second tick
extern bool g_bPlaying;         // told to play and not paused, stopped or ended since
extern int g_nPlayMode;         // 0 stop at the end, 1 repeat the song, 2 repeat the list
extern bool g_bShowList;        // the song-list window is wanted; every main-window tick shows it
extern CPlayList* g_pPlayList;  // owned by the main window
extern CDlgLrc* g_pDlgLrc;      // owned by the main window
extern bool g_bLrcShown;
extern DWORD g_nLrcPos;      // playing position in ms for the lyric band
extern DWORD g_nSongLength;  // length in ms of the song playing, as the device gives it; 0 when unknown
// When g_nLrcPos was read, in QueryPerformanceCounter counts: the band carries the position
// forward from that moment.
extern LONGLONG g_llLrcPosCounter;
// Goes up each time the device starts playing from a position of its own (a new song, a seek,
// a resume), with g_nLrcPos read right then: the band starts from that reading instead of
// easing toward it.
extern UINT g_nLrcPosStarts;

// Play modes.
constexpr int PLAYMODE_ONCE = 0;
constexpr int PLAYMODE_REPEAT_SONG = 1;
constexpr int PLAYMODE_REPEAT_LIST = 2;

// The path label's text while no song is chosen.
inline constexpr wchar_t NO_SONG_PATH[] = L"当前没有选中歌曲";

// Publishes a reading of the device position for the lyric band, taken at counter llCounter;
// bStart for the first reading after the device started from a position of its own.
void PublishLrcPos(DWORD dwPosition, LONGLONG llCounter, bool bStart);
// Sent by the band to the main window at each frame it draws: read the device position now and
// publish it, so the band learns of the device's steps within a frame, not a 200 ms tick later.
constexpr UINT WM_LRC_READPOS = WM_APP + 2;
// Sent by the band to the main window for a command of its menu that stands for a lyric key:
// WPARAM the key pressed with Ctrl. The main window does what the key does.
constexpr UINT WM_LRC_KEY = WM_APP + 20;

// Puts every variable above back to its start value. The window pointers are only forgotten:
// their owner deletes the windows.
void ResetPlayerState();
