#include "sound/CSound.h"

#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>

#include "sound/AudioDriver.h"
#include "sound/CStreamPlayer.h"
#include "sound/WaveHeader.h"

MCIDEVICEID CSound::m_wDeviceID = 0;
MCI_SEEK_PARMS CSound::m_seek = {};
BOOL CSound::m_bOpened = FALSE;
CSound::ValueWrittenHook CSound::s_pfnValueWritten = nullptr;

namespace {

// Made before theSound, so it is still there when theSound's destructor closes it.
std::unique_ptr<CStreamPlayer> g_pStream;
// The lParam of the stream's end notice for the current play; 0 when no play may end. Far
// above any MCI device ID, so the two kinds of notice are never taken for each other.
LPARAM g_lStreamNotice = 0;
LPARAM g_lLastStreamNotice = 0x40000000;

}  // namespace

CSound theSound;

namespace {

struct ExtensionRow {
    const wchar_t* pszExtension;
    const wchar_t* pszDeviceType;  // nullptr: played through Media Foundation, which no MCI device of Windows reads
};

// Tested top to bottom; "cad" (not "cda") goes to the CD device as the player always did.
const ExtensionRow kExtensions[] = {
    {L"mp3", L"mpegvideo"}, {L"aif", L"mpegvideo"},  {L"asf", L"mpegvideo"}, {L"asx", L"mpegvideo"},
    {L"wma", L"mpegvideo"}, {L"mpeg", L"mpegvideo"}, {L"mpg", L"mpegvideo"}, {L"snd", L"mpegvideo"},
    {L"wmv", L"mpegvideo"}, {L"wav", L"waveaudio"},  {L"mid", L"sequencer"}, {L"rmi", L"sequencer"},
    {L"cad", L"CDAudio"},   {L"flac", nullptr},      {L"m4a", nullptr},      {L"aac", nullptr},
    {L"ogg", nullptr},      {L"oga", nullptr},       {L"opus", nullptr},     {L"alac", nullptr},
};

const ExtensionRow* RowFor(const CStringW& strPath) {
    const CStringW strExt = CSound::GetExtension(strPath);
    for (const ExtensionRow& row : kExtensions)
        if (CSound::IsSameNoCase(strExt, row.pszExtension))
            return &row;
    return nullptr;
}

// An MP4 file starts with its "ftyp" box.
bool IsMp4File(const CStringW& strPath) {
    const CFileHandle hFile(
        ::CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    char head[8] = {};
    DWORD cbRead = 0;
    return hFile && ::ReadFile(hFile.Get(), head, sizeof(head), &cbRead, nullptr) && cbRead == sizeof(head) &&
           std::memcmp(head + 4, "ftyp", 4) == 0;
}

}  // namespace

CSound::CSound(DWORD dwLineComponentType) : m_dwLineComponentType(dwLineComponentType) {}

CSound::~CSound() {
    // An mpegvideo device left open crashes the process on its way out.
    Close();
}

CStringW CSound::GetExtension(const CStringW& strPath) {
    const int i = strPath.ReverseFind(L'.');
    return strPath.Right(strPath.GetLength() - i - 1);
}

bool CSound::IsSameNoCase(CStringW a, CStringW b) {
    if (a.GetLength() != b.GetLength())
        return false;
    return a.MakeLower() == b.MakeLower();
}

const wchar_t* CSound::DeviceTypeFor(const CStringW& strPath) {
    const ExtensionRow* pRow = RowFor(strPath);
    return pRow ? pRow->pszDeviceType : nullptr;
}

bool CSound::IsStreamExtension(const CStringW& strPath) {
    const ExtensionRow* pRow = RowFor(strPath);
    return pRow && !pRow->pszDeviceType;
}

bool CSound::IsStreaming() {
    return g_pStream != nullptr;
}

namespace {

// Keeps the driver of a device type loaded for the rest of the process. Closing the last device
// unloads it, and the driver's play thread may still be returning from the end notification:
// under Wine that thread then runs in unmapped code and takes the player with it.
void PinDriverOf(const wchar_t* pszType) {
    wchar_t szDriver[MAX_PATH] = {};
    DWORD cb = sizeof(szDriver);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\MCI32", pszType,
                       RRF_RT_REG_SZ, nullptr, szDriver, &cb) != ERROR_SUCCESS)
        return;
    HMODULE hDriver = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, szDriver, &hDriver);
}

}  // namespace

CSound::OpenResult CSound::Open(const CStringW& strPath) {
    if (strPath.IsEmpty()) {
        m_bOpened = FALSE;
        return OpenResult::EmptyPath;
    }
    Close();
    const wchar_t* pszType = DeviceTypeFor(strPath);
    if (!pszType) {
        if (!IsStreamExtension(strPath))
            return OpenResult::Done;
        // .alac names an Apple Lossless song, which lives in an MP4 file.
        if (IsSameNoCase(GetExtension(strPath), L"alac") && !IsMp4File(strPath))
            return OpenResult::Refused;
        return OpenStream(strPath) ? OpenResult::Done : OpenResult::Refused;
    }
    // A damaged header would take the process down inside the device: refused as MCI refuses.
    if (std::wcscmp(pszType, L"waveaudio") == 0 && !IsPlayableWaveFile(strPath))
        return OpenResult::Refused;

    LoadAudioDriver();
    // Opened wide: the path keeps every character of its name.
    MCI_OPEN_PARMSW open = {};
    open.lpstrDeviceType = pszType;
    open.lpstrElementName = strPath;
    if (::mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_NOTIFY,
                          reinterpret_cast<DWORD_PTR>(&open)) == 0) {
        m_wDeviceID = open.wDeviceID;
        m_bOpened = TRUE;
        PinDriverOf(pszType);
        return OpenResult::Done;
    }
    // DirectShow on Windows 10 and 11 refuses some MP3s (variable rates, large pictures) that
    // Media Foundation reads; MIDI and CD audio have no second way.
    const bool bSecondWay = std::wcscmp(pszType, L"mpegvideo") == 0 || std::wcscmp(pszType, L"waveaudio") == 0;
    return bSecondWay && OpenStream(strPath) ? OpenResult::Done : OpenResult::Refused;
}

bool CSound::OpenStream(const CStringW& strPath) {
    g_pStream = CStreamPlayer::Open(strPath);
    m_bOpened = g_pStream != nullptr;
    return m_bOpened;
}

void CSound::Close() {
    g_pStream.reset();
    g_lStreamNotice = 0;
    if (m_wDeviceID != 0)
        ::mciSendCommandA(m_wDeviceID, MCI_CLOSE, 0, 0);
    m_seek.dwCallback = 0;
    m_seek.dwTo = 0;
    m_wDeviceID = 0;
    m_bOpened = FALSE;
}

DWORD CSound::PlayFromResume(HWND hNotify) {
    if (g_pStream) {
        g_lStreamNotice = ++g_lLastStreamNotice;
        if (g_pStream->Play(m_seek.dwTo, hNotify, g_lStreamNotice))
            return 0;
        g_lStreamNotice = 0;
        return MCIERR_INTERNAL;
    }
    ::mciSendCommandA(m_wDeviceID, MCI_SEEK, MCI_TO, reinterpret_cast<DWORD_PTR>(&m_seek));
    // The play names its start too: some mpegvideo drivers rewind on stop and refuse the seek.
    MCI_PLAY_PARMS play = {};
    play.dwCallback = reinterpret_cast<DWORD_PTR>(hNotify);
    play.dwFrom = m_seek.dwTo;
    return ::mciSendCommandA(m_wDeviceID, MCI_PLAY, MCI_NOTIFY | MCI_FROM, reinterpret_cast<DWORD_PTR>(&play));
}

bool CSound::IsCurrentNotice(LPARAM lParam) {
    if (g_pStream)
        return g_lStreamNotice != 0 && lParam == g_lStreamNotice;
    // The device names itself in its notices.
    return m_wDeviceID != 0 && static_cast<MCIDEVICEID>(lParam) == m_wDeviceID;
}

void CSound::Pause() {
    if (g_pStream) {
        g_lStreamNotice = 0;  // an end posted just before the pause no longer counts
        m_seek.dwTo = g_pStream->Pause();
        return;
    }
    DWORD dwPosition = 0;
    if (Status(MCI_STATUS_POSITION, MCI_WAIT, &dwPosition))
        m_seek.dwTo = dwPosition;
    ::mciSendCommandA(m_wDeviceID, MCI_STOP, 0, 0);
}

bool CSound::GetPosition(DWORD* pdwPosition) {
    if (g_pStream) {
        *pdwPosition = g_pStream->GetPosition();
        return true;
    }
    return Status(MCI_STATUS_POSITION, 0, pdwPosition);
}

bool CSound::GetLength(DWORD* pdwLength) {
    if (g_pStream) {
        *pdwLength = g_pStream->GetLength();
        return true;
    }
    return Status(MCI_STATUS_LENGTH, 0, pdwLength);
}

bool CSound::Status(DWORD dwItem, DWORD dwFlags, DWORD* pdwValue) {
    MCI_STATUS_PARMS status = {};
    status.dwItem = dwItem;
    const DWORD_PTR pParams = reinterpret_cast<DWORD_PTR>(&status);
    if (::mciSendCommandA(m_wDeviceID, MCI_STATUS, MCI_STATUS_ITEM | dwFlags, pParams) != 0)
        return false;
    *pdwValue = static_cast<DWORD>(status.dwReturn);
    return true;
}

UINT CSound::PercentFromValue(DWORD dwValue, DWORD dwMaximum) {
    // An unreadable value (all bits set) or a zero maximum reads as silence, not as a huge percentage.
    if (dwValue == static_cast<DWORD>(-1) || dwMaximum == 0)
        return 0;
    return static_cast<UINT>(static_cast<uint32_t>(dwValue * 100u) / dwMaximum);
}

DWORD CSound::ValueFromPercent(DWORD dwMaximum, int nPercent) {
    return static_cast<DWORD>(
        static_cast<int32_t>(static_cast<int64_t>(static_cast<int32_t>(dwMaximum)) * nPercent / 100));
}

CMixerHandle CSound::LookUpControl(DWORD dwControlType) {
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

bool CSound::ControlValue(HMIXER hMixer, const MIXERCONTROLA& control, DWORD* pdwValue, bool bWrite) {
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

DWORD CSound::GetControlValue(HMIXER hMixer, const MIXERCONTROLA& control) {
    DWORD dwValue = 0;
    return ControlValue(hMixer, control, &dwValue, false) ? dwValue : static_cast<DWORD>(-1);
}

bool CSound::SetControlValue(HMIXER hMixer, const MIXERCONTROLA& control, DWORD dwValue) const {
    if (!ControlValue(hMixer, control, &dwValue, true))
        return false;
    if (s_pfnValueWritten)
        s_pfnValueWritten(m_dwComponentType, control.dwControlType, dwValue);
    return true;
}

UINT CSound::GetVolume() {
    const CMixerHandle hMixer = LookUpControl(MIXERCONTROL_CONTROLTYPE_VOLUME);
    if (!hMixer)
        return 0;
    return PercentFromValue(GetControlValue(hMixer.Get(), m_control), m_control.Bounds.dwMaximum);
}

bool CSound::SetVolume(int nPercent) {
    const CMixerHandle hMixer = LookUpControl(MIXERCONTROL_CONTROLTYPE_VOLUME);
    if (!hMixer)
        return false;
    return SetControlValue(hMixer.Get(), m_control, ValueFromPercent(m_control.Bounds.dwMaximum, nPercent));
}

bool CSound::GetMute() {
    const CMixerHandle hMixer = LookUpControl(MIXERCONTROL_CONTROLTYPE_MUTE);
    if (!hMixer)
        return false;
    const DWORD dwValue = GetControlValue(hMixer.Get(), m_control);
    // An unreadable switch counts as sound on.
    return dwValue != static_cast<DWORD>(-1) && dwValue != 0;
}

bool CSound::SetMute(bool bMute) {
    const CMixerHandle hMixer = LookUpControl(MIXERCONTROL_CONTROLTYPE_MUTE);
    if (!hMixer)
        return false;
    return SetControlValue(hMixer.Get(), m_control, bMute ? 1 : 0);
}
