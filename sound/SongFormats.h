// Which sound files the player takes and what plays each, told by the extension alone: the
// song list filters dropped files by it and the sound engine picks a device by it. No device here.
#pragma once

#include "framework/CStringW.h"

// Text after the last '.' of the whole path; the whole path when it has none.
CStringW SongExtension(const CStringW& strPath);
// Same length and equal after lower-casing ASCII letters.
bool IsSameExtension(CStringW a, CStringW b);
// The MCI device type for a path's extension, or nullptr when no MCI device plays it.
const wchar_t* MciDeviceTypeFor(const CStringW& strPath);
// The extensions Media Foundation plays (FLAC, M4A/AAC/ALAC, Ogg, Opus).
bool IsStreamExtension(const CStringW& strPath);
// What a song list takes: every extension something plays, but "rmi".
bool IsSongListFile(const CStringW& strPath);
