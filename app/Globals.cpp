#include "app/Globals.h"

CString g_strSongPath;
bool g_bStartSong = false;
bool g_bPlaying = false;
int g_nPlayMode = PLAYMODE_ONCE;
bool g_bShowList = false;
CPlayList* g_pPlayList = nullptr;
CDlgLrc* g_pDlgLrc = nullptr;
bool g_bLrcShown = false;
DWORD g_nLrcPos = 0;
DWORD g_nSongLength = 0;
