#include "sound/CMciEngine.h"

#include <cwchar>

#include "sound/AudioDriver.h"

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

std::unique_ptr<CMciEngine> CMciEngine::Open(const CStringW& strPath, const wchar_t* pszDeviceType) {
    LoadAudioDriver();
    // Opened wide: the path keeps every character of its name.
    MCI_OPEN_PARMSW open = {};
    open.lpstrDeviceType = pszDeviceType;
    open.lpstrElementName = strPath;
    if (::mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_NOTIFY,
                          reinterpret_cast<DWORD_PTR>(&open)) != 0)
        return nullptr;
    PinDriverOf(pszDeviceType);
    return std::unique_ptr<CMciEngine>(new CMciEngine(open.wDeviceID));
}

CMciEngine::~CMciEngine() {
    ::mciSendCommandA(m_wDeviceID, MCI_CLOSE, 0, 0);
}

DWORD CMciEngine::Play(DWORD dwFromMs, HWND hNotify) {
    MCI_SEEK_PARMS seek = {};
    seek.dwTo = dwFromMs;
    ::mciSendCommandA(m_wDeviceID, MCI_SEEK, MCI_TO, reinterpret_cast<DWORD_PTR>(&seek));
    // The play names its start too: some mpegvideo drivers rewind on stop and refuse the seek.
    MCI_PLAY_PARMS play = {};
    play.dwCallback = reinterpret_cast<DWORD_PTR>(hNotify);
    play.dwFrom = dwFromMs;
    const DWORD dwResult =
        ::mciSendCommandA(m_wDeviceID, MCI_PLAY, MCI_NOTIFY | MCI_FROM, reinterpret_cast<DWORD_PTR>(&play));
    m_bPlaying = dwResult == 0;
    m_dwPlayedAt = ::GetTickCount();
    return dwResult;
}

DWORD CMciEngine::Pause(DWORD dwKeep) {
    DWORD dwPosition = dwKeep;
    Status(MCI_STATUS_POSITION, MCI_WAIT, &dwPosition);
    m_bPlaying = false;
    ::mciSendCommandA(m_wDeviceID, MCI_STOP, 0, 0);
    return dwPosition;
}

bool CMciEngine::GetPosition(DWORD* pdwPosition) {
    return Status(MCI_STATUS_POSITION, 0, pdwPosition);
}

bool CMciEngine::GetLength(DWORD* pdwLength) {
    return Status(MCI_STATUS_LENGTH, 0, pdwLength);
}

bool CMciEngine::TakeEnd(LPARAM /*lParam*/, DWORD dwPostedAt) {
    // Drivers fill the notice's device field each their own way (Wine's "mpegvideo" names no
    // device), so the notice is judged by when it came and by the device itself. A driver ends
    // an old play before it starts a new one: a notice posted after the play was taken is its
    // end. One posted before is an earlier play's, unless the device has stopped since.
    if (!m_bPlaying)
        return false;
    if (static_cast<LONG>(dwPostedAt - m_dwPlayedAt) <= 0) {
        DWORD dwMode = 0;
        if (!Status(MCI_STATUS_MODE, MCI_WAIT, &dwMode) || dwMode == MCI_MODE_PLAY || dwMode == MCI_MODE_SEEK)
            return false;
    }
    m_bPlaying = false;
    return true;
}

bool CMciEngine::Status(DWORD dwItem, DWORD dwFlags, DWORD* pdwValue) const {
    MCI_STATUS_PARMS status = {};
    status.dwItem = dwItem;
    if (::mciSendCommandA(m_wDeviceID, MCI_STATUS, MCI_STATUS_ITEM | dwFlags, reinterpret_cast<DWORD_PTR>(&status)) !=
        0)
        return false;
    *pdwValue = static_cast<DWORD>(status.dwReturn);
    return true;
}
