#include "sound/CSound.h"

#include <cstring>
#include <cwchar>
#include <memory>
#include <utility>

#include "sound/CMciEngine.h"
#include "sound/CStreamPlayer.h"
#include "sound/SongFormats.h"
#include "sound/WaveHeader.h"

MCIDEVICEID CSound::m_wDeviceID = 0;
MCI_SEEK_PARMS CSound::m_seek = {};
BOOL CSound::m_bOpened = FALSE;

namespace {

// Made before theSound, so it is still there when theSound's destructor closes it.
std::unique_ptr<CPlayEngine> g_pEngine;

// An MP4 file starts with its "ftyp" box.
bool IsMp4File(const CStringW& strPath) {
    const CFileHandle hFile(
        ::CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    char head[8] = {};
    DWORD cbRead = 0;
    return hFile && ::ReadFile(hFile.Get(), head, sizeof(head), &cbRead, nullptr) && cbRead == sizeof(head) &&
           std::memcmp(head + 4, "ftyp", 4) == 0;
}

std::unique_ptr<CPlayEngine> OpenEngine(const CStringW& strPath, const wchar_t* pszType) {
    if (!pszType) {
        // .alac names an Apple Lossless song, which lives in an MP4 file.
        if (IsSameExtension(SongExtension(strPath), L"alac") && !IsMp4File(strPath))
            return nullptr;
        return CStreamPlayer::Open(strPath);
    }
    // A damaged header would take the process down inside the device: refused as MCI refuses.
    if (std::wcscmp(pszType, L"waveaudio") == 0 && !IsPlayableWaveFile(strPath))
        return nullptr;
    if (std::unique_ptr<CPlayEngine> pMci = CMciEngine::Open(strPath, pszType))
        return pMci;
    // DirectShow on Windows 10 and 11 refuses some MP3s (variable rates, large pictures) that
    // Media Foundation reads; MIDI and CD audio have no second way.
    if (std::wcscmp(pszType, L"mpegvideo") == 0 || std::wcscmp(pszType, L"waveaudio") == 0)
        return CStreamPlayer::Open(strPath);
    return nullptr;
}

}  // namespace

CSound theSound;

CSound::CSound(DWORD dwLineComponentType) : CMixerLine(dwLineComponentType) {}

CSound::~CSound() {
    // An mpegvideo device left open crashes the process on its way out.
    Close();
}

CStringW CSound::GetExtension(const CStringW& strPath) {
    return SongExtension(strPath);
}

bool CSound::IsSameNoCase(CStringW a, CStringW b) {
    return IsSameExtension(std::move(a), std::move(b));
}

bool CSound::IsStreaming() {
    return g_pEngine && g_pEngine->DeviceID() == 0;
}

CSound::OpenResult CSound::Open(const CStringW& strPath) {
    if (strPath.IsEmpty()) {
        m_bOpened = FALSE;
        return OpenResult::EmptyPath;
    }
    Close();
    const wchar_t* pszType = MciDeviceTypeFor(strPath);
    if (!pszType && !IsStreamExtension(strPath))
        return OpenResult::Done;
    g_pEngine = OpenEngine(strPath, pszType);
    if (!g_pEngine)
        return OpenResult::Refused;
    m_wDeviceID = g_pEngine->DeviceID();
    m_bOpened = TRUE;
    return OpenResult::Done;
}

void CSound::Close() {
    g_pEngine.reset();
    m_seek.dwCallback = 0;
    m_seek.dwTo = 0;
    m_wDeviceID = 0;
    m_bOpened = FALSE;
}

DWORD CSound::PlayFromResume(HWND hNotify) {
    return g_pEngine ? g_pEngine->Play(m_seek.dwTo, hNotify) : static_cast<DWORD>(MCIERR_INVALID_DEVICE_ID);
}

bool CSound::TakeEnd(LPARAM lParam, DWORD dwPostedAt) {
    return g_pEngine && g_pEngine->TakeEnd(lParam, dwPostedAt);
}

void CSound::Pause() {
    if (g_pEngine)
        m_seek.dwTo = g_pEngine->Pause(m_seek.dwTo);
}

bool CSound::GetPosition(DWORD* pdwPosition) {
    return g_pEngine && g_pEngine->GetPosition(pdwPosition);
}

bool CSound::GetLength(DWORD* pdwLength) {
    return g_pEngine && g_pEngine->GetLength(pdwLength);
}
