// What plays the one open song: an MCI device (CMciEngine) or Media Foundation on the wave-out
// device (CStreamPlayer). CSound holds one and asks it everything the same way.
#pragma once

#include <windows.h>

class CPlayEngine {
public:
    virtual ~CPlayEngine() = default;

    // Plays from dwFromMs; the end comes to hNotify as MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL.
    // 0, or an MCI error code when nothing plays.
    virtual DWORD Play(DWORD dwFromMs, HWND hNotify) = 0;
    // Stops the sound where it is and returns that position; dwKeep when the device cannot say.
    virtual DWORD Pause(DWORD dwKeep) = 0;
    // Position and length in ms; false when the device gives no answer.
    virtual bool GetPosition(DWORD* pdwPosition) = 0;
    virtual bool GetLength(DWORD* pdwLength) = 0;
    // True once for the end of the play under way; false for a successful notice posted before
    // that play was paused, played again from elsewhere or replaced. dwPostedAt: the notice's
    // message time.
    virtual bool TakeEnd(LPARAM lParam, DWORD dwPostedAt) = 0;
    // The MCI device's ID; 0 when no MCI device plays.
    virtual MCIDEVICEID DeviceID() const { return 0; }
};
