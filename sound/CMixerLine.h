// The volume and mute of one line of the system mixer (mixer 0), as percentages and a switch.
// Each call opens the mixer, finds the line's control and closes it again: the user may change
// the line elsewhere at any time.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include "framework/Holders.h"

class CMixerLine {
public:
    explicit CMixerLine(DWORD dwLineComponentType) : m_dwLineComponentType(dwLineComponentType) {}

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

    DWORD m_dwComponentType = 0;
    MIXERCONTROLA m_control = {};

private:
    // Opens mixer 0 and finds the control of the given type on the line; empty on failure.
    CMixerHandle LookUpControl(DWORD dwControlType);
    static DWORD GetControlValue(HMIXER hMixer, const MIXERCONTROLA& control);
    bool SetControlValue(HMIXER hMixer, const MIXERCONTROLA& control, DWORD dwValue) const;
    static bool ControlValue(HMIXER hMixer, const MIXERCONTROLA& control, DWORD* pdwValue, bool bWrite);

    const DWORD m_dwLineComponentType;
};
