#include "sound/AudioDriver.h"

#include <windows.h>
#include <mmsystem.h>

#include "framework/Holders.h"

namespace {

INIT_ONCE g_loaded = INIT_ONCE_STATIC_INIT;
AudioDriverHook g_pfnLoading = nullptr;

BOOL CALLBACK Load(PINIT_ONCE /*pOnce*/, PVOID /*pParam*/, PVOID* /*ppContext*/) {
    // The first open of a mixer enumerates the devices, and with them loads the driver; the
    // first read of a control starts the thread that serves them. Reading changes nothing.
    if (g_pfnLoading)
        g_pfnLoading();
    CMixerHandle hMixer;
    if (::mixerOpen(&hMixer, 0, 0, 0, 0) != MMSYSERR_NOERROR)
        return TRUE;  // no device: later uses fail as they would anyway
    const auto hObj = reinterpret_cast<HMIXEROBJ>(hMixer.Get());
    MIXERLINEA line = {};
    line.cbStruct = sizeof(line);
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    MIXERCONTROLA control = {};
    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof(controls);
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof(control);
    controls.pamxctrl = &control;
    if (::mixerGetLineInfoA(hObj, &line, MIXER_GETLINEINFOF_COMPONENTTYPE) == MMSYSERR_NOERROR) {
        controls.dwLineID = line.dwLineID;
        if (::mixerGetLineControlsA(hObj, &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE) == MMSYSERR_NOERROR) {
            DWORD dwValue = 0;
            MIXERCONTROLDETAILS details = {};
            details.cbStruct = sizeof(details);
            details.dwControlID = control.dwControlID;
            details.cChannels = 1;
            details.cbDetails = sizeof(dwValue);
            details.paDetails = &dwValue;
            ::mixerGetControlDetailsA(hObj, &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
        }
    }
    return TRUE;
}

}  // namespace

void SetAudioDriverLoadingHook(AudioDriverHook pfn) {
    g_pfnLoading = pfn;
}

void LoadAudioDriver() {
    ::InitOnceExecuteOnce(&g_loaded, Load, nullptr, nullptr);
}
