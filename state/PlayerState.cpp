#include "state/PlayerState.h"

CStringW g_strSongPath;
bool g_bStartSong = false;
bool g_bPlaying = false;
int g_nPlayMode = PLAYMODE_ONCE;
bool g_bShowList = false;
CPlayList* g_pPlayList = nullptr;
CDlgLrc* g_pDlgLrc = nullptr;
bool g_bLrcShown = false;
DWORD g_nLrcPos = 0;
DWORD g_nSongLength = 0;
LONGLONG g_llLrcPosCounter = 0;
UINT g_nLrcPosStarts = 0;

void PublishLrcPos(DWORD dwPosition, LONGLONG llCounter, bool bStart) {
    g_nLrcPos = dwPosition;
    g_llLrcPosCounter = llCounter;
    if (bStart)
        ++g_nLrcPosStarts;
}

void ResetPlayerState() {
    g_strSongPath = NO_SONG_PATH;
    g_bStartSong = false;
    g_bPlaying = false;
    g_nPlayMode = PLAYMODE_ONCE;
    g_bShowList = false;
    g_pPlayList = nullptr;
    g_pDlgLrc = nullptr;
    g_bLrcShown = false;
    g_nLrcPos = 0;
    g_nSongLength = 0;
    g_llLrcPosCounter = 0;
    g_nLrcPosStarts = 0;
}
