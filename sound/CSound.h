// The one song the player plays, and the mixer's wave-out volume and mute. A song plays on the
// MCI device of its extension, or, for the formats those devices do not read and the files they
// refuse, through Media Foundation on the wave-out device (CStreamPlayer); callers see one
// device either way. The state is class-wide and public; every MCI command goes through here.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include "framework/CStringW.h"
#include "framework/Holders.h"

class CSound {
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
    // False for a notice that no longer speaks for the song playing: one posted before the song
    // was closed, replaced, paused or played again.
    static bool IsCurrentNotice(LPARAM lParam);
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
    // The MCI device type for a path's extension, or nullptr when none plays it.
    static const wchar_t* DeviceTypeFor(const CStringW& strPath);
    // The extensions Media Foundation plays (FLAC, M4A/AAC/ALAC, Ogg, Opus).
    static bool IsStreamExtension(const CStringW& strPath);
    // True when the open song plays through Media Foundation; for tests and the benchmark.
    static bool IsStreaming();

    UINT GetVolume();
    bool SetVolume(int nPercent);
    bool GetMute();
    bool SetMute(bool bMute);

    // Volume arithmetic between a control's raw value and a percentage.
    static UINT PercentFromValue(DWORD dwValue, DWORD dwMaximum);
    static DWORD ValueFromPercent(DWORD dwMaximum, int nPercent);

    // Told of every value written to a mixer control. Wine's wave-out line takes writes but
    // reads back 0, so tests watch the values here; the product leaves it empty.
    using ValueWrittenHook = void (*)(DWORD dwComponentType, DWORD dwControlType, DWORD dwValue);
    static ValueWrittenHook s_pfnValueWritten;

    static MCIDEVICEID m_wDeviceID;
    static MCI_SEEK_PARMS m_seek;
    static BOOL m_bOpened;

    DWORD m_dwComponentType = 0;
    MIXERCONTROLA m_control = {};

private:
    static bool OpenStream(const CStringW& strPath);
    // One MCI_STATUS item of the open device.
    static bool Status(DWORD dwItem, DWORD dwFlags, DWORD* pdwValue);
    // Opens mixer 0 and finds the control of the given type on the line; empty on failure.
    CMixerHandle LookUpControl(DWORD dwControlType);
    static DWORD GetControlValue(HMIXER hMixer, const MIXERCONTROLA& control);
    bool SetControlValue(HMIXER hMixer, const MIXERCONTROLA& control, DWORD dwValue) const;
    static bool ControlValue(HMIXER hMixer, const MIXERCONTROLA& control, DWORD* pdwValue, bool bWrite);

    const DWORD m_dwLineComponentType;
};

extern CSound theSound;
