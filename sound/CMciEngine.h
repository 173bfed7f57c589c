// A song open on an MCI device ("mpegvideo", "waveaudio", "sequencer", "CDAudio").
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <memory>

#include "framework/CStringW.h"
#include "sound/CPlayEngine.h"

class CMciEngine : public CPlayEngine {
public:
    // Opens the file on the device type; nullptr when the device refuses it.
    static std::unique_ptr<CMciEngine> Open(const CStringW& strPath, const wchar_t* pszDeviceType);
    ~CMciEngine() override;
    CMciEngine(const CMciEngine&) = delete;
    CMciEngine& operator=(const CMciEngine&) = delete;

    DWORD Play(DWORD dwFromMs, HWND hNotify) override;
    DWORD Pause(DWORD dwKeep) override;
    bool GetPosition(DWORD* pdwPosition) override;
    bool GetLength(DWORD* pdwLength) override;
    bool TakeEnd(LPARAM lParam, DWORD dwPostedAt) override;
    MCIDEVICEID DeviceID() const override { return m_wDeviceID; }

private:
    explicit CMciEngine(MCIDEVICEID wDeviceID) : m_wDeviceID(wDeviceID) {}
    bool Status(DWORD dwItem, DWORD dwFlags, DWORD* pdwValue) const;

    const MCIDEVICEID m_wDeviceID;
    bool m_bPlaying = false;  // a play was started and has not been stopped or taken as ended
    DWORD m_dwPlayedAt = 0;   // the tick count when the device took that play
};
