#include "sound/CMixerLine.h"

#include <cstdint>

#include "sound/AudioDriver.h"

CMixerLine::ValueWrittenHook CMixerLine::s_pfnValueWritten = nullptr;

UINT CMixerLine::PercentFromValue(DWORD dwValue, DWORD dwMaximum) {
    // An unreadable value (all bits set) or a zero maximum reads as silence, not as a huge percentage.
    if (dwValue == static_cast<DWORD>(-1) || dwMaximum == 0)
        return 0;
    return static_cast<UINT>(static_cast<uint32_t>(dwValue * 100u) / dwMaximum);
}

DWORD CMixerLine::ValueFromPercent(DWORD dwMaximum, int nPercent) {
    return static_cast<DWORD>(
        static_cast<int32_t>(static_cast<int64_t>(static_cast<int32_t>(dwMaximum)) * nPercent / 100));
}

CMixerHandle CMixerLine::LookUpControl(DWORD dwControlType) {
    m_dwComponentType = m_dwLineComponentType;
    LoadAudioDriver();
    CMixerHandle hMixer;
    if (::mixerOpen(&hMixer, 0, 0, 0, 0) != MMSYSERR_NOERROR)
        return CMixerHandle();

    MIXERLINEA line = {};
    line.cbStruct = sizeof(line);
    line.dwComponentType = m_dwComponentType;
    if (::mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(hMixer.Get()), &line, MIXER_GETLINEINFOF_COMPONENTTYPE) !=
        MMSYSERR_NOERROR)
        return CMixerHandle();
    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof(controls);
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = dwControlType;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(m_control);
    controls.pamxctrl = &m_control;
    if (::mixerGetLineControlsA(reinterpret_cast<HMIXEROBJ>(hMixer.Get()), &controls,
                                MIXER_GETLINECONTROLSF_ONEBYTYPE) != MMSYSERR_NOERROR)
        return CMixerHandle();
    return hMixer;
}

bool CMixerLine::ControlValue(HMIXER hMixer, const MIXERCONTROLA& control, DWORD* pdwValue, bool bWrite) {
    MIXERCONTROLDETAILS details = {};
    details.cbStruct = sizeof(details);
    details.dwControlID = control.dwControlID;
    details.cChannels = 1;  // one value for all channels
    details.cMultipleItems = 0;
    details.cbDetails = sizeof(*pdwValue);
    details.paDetails = pdwValue;
    HMIXEROBJ hObj = reinterpret_cast<HMIXEROBJ>(hMixer);
    const MMRESULT r =
        bWrite ? ::mixerSetControlDetails(hObj, &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE)
               : ::mixerGetControlDetailsA(hObj, &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
    return r == MMSYSERR_NOERROR;
}

DWORD CMixerLine::GetControlValue(HMIXER hMixer, const MIXERCONTROLA& control) {
    DWORD dwValue = 0;
    return ControlValue(hMixer, control, &dwValue, false) ? dwValue : static_cast<DWORD>(-1);
}

bool CMixerLine::SetControlValue(HMIXER hMixer, const MIXERCONTROLA& control, DWORD dwValue) const {
    if (!ControlValue(hMixer, control, &dwValue, true))
        return false;
    if (s_pfnValueWritten)
        s_pfnValueWritten(m_dwComponentType, control.dwControlType, dwValue);
    return true;
}

UINT CMixerLine::GetVolume() {
    const CMixerHandle hMixer = LookUpControl(MIXERCONTROL_CONTROLTYPE_VOLUME);
    if (!hMixer)
        return 0;
    return PercentFromValue(GetControlValue(hMixer.Get(), m_control), m_control.Bounds.dwMaximum);
}

bool CMixerLine::SetVolume(int nPercent) {
    const CMixerHandle hMixer = LookUpControl(MIXERCONTROL_CONTROLTYPE_VOLUME);
    if (!hMixer)
        return false;
    return SetControlValue(hMixer.Get(), m_control, ValueFromPercent(m_control.Bounds.dwMaximum, nPercent));
}

bool CMixerLine::GetMute() {
    const CMixerHandle hMixer = LookUpControl(MIXERCONTROL_CONTROLTYPE_MUTE);
    if (!hMixer)
        return false;
    const DWORD dwValue = GetControlValue(hMixer.Get(), m_control);
    // An unreadable switch counts as sound on.
    return dwValue != static_cast<DWORD>(-1) && dwValue != 0;
}

bool CMixerLine::SetMute(bool bMute) {
    const CMixerHandle hMixer = LookUpControl(MIXERCONTROL_CONTROLTYPE_MUTE);
    if (!hMixer)
        return false;
    return SetControlValue(hMixer.Get(), m_control, bMute ? 1 : 0);
}
