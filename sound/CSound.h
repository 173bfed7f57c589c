// The one song the player plays, and the mixer's wave-out volume and mute. A song plays on the
// MCI device of its extension, or, for the formats those devices do not read and the files they
// refuse, through Media Foundation on the wave-out device; callers see one device either way.
// The state is class-wide and public, as the main window reads it.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include "framework/CStringW.h"
#include "sound/CMixerLine.h"

class CSound : public CMixerLine {
public:
    // The mixer line to act on; the player always uses the wave-out source line.
    explicit CSound(DWORD dwLineComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT);
    virtual ~CSound();

    enum class OpenResult {
        Done,       // opened, or nothing plays the extension: m_bOpened tells which
        EmptyPath,  // the device is left as it was; m_bOpened reads false
        Refused,    // neither engine could open it, or a .wav whose header the device cannot play
    };
    static OpenResult Open(const CStringW& strPath);
    static void Close();
    // Plays from m_seek.dwTo; the end comes to hNotify as MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL.
    static DWORD PlayFromResume(HWND hNotify);
    // True once for the end of the play under way, told by a successful MM_MCINOTIFY posted at
    // dwPostedAt (its message time); false for one posted before the song was closed, replaced,
    // paused or played again.
    static bool TakeEnd(LPARAM lParam, DWORD dwPostedAt);
    // Keeps the device's position as the resume point, then stops it.
    static void Pause();
    // The device's position and the song's length in ms; false when the device gives no answer
    // (none open, a failed open).
    static bool GetPosition(DWORD* pdwPosition);
    static bool GetLength(DWORD* pdwLength);
    // Text after the last '.' of the whole path; the whole path when it has none.
    static CStringW GetExtension(const CStringW& strPath);
    // Same length and equal after lower-casing ASCII letters.
    static bool IsSameNoCase(CStringW a, CStringW b);
    // True when the open song plays through Media Foundation; for tests and the benchmark.
    static bool IsStreaming();

    static MCIDEVICEID m_wDeviceID;
    static MCI_SEEK_PARMS m_seek;
    static BOOL m_bOpened;
};

extern CSound theSound;
