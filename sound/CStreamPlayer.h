// A song decoded by Media Foundation on a worker thread and played on the wave-out device: the
// formats Windows' MCI devices do not read (FLAC, AAC in MP4, Ogg Vorbis, Opus) and the files
// those devices refuse. It answers as an MCI device does: play from a position with the end
// posted as MM_MCINOTIFY, pause, position and length in ms.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/CStringW.h"
#include "framework/Holders.h"
#include "sound/CPlayEngine.h"

class CStreamPlayer : public CPlayEngine {
public:
    // Long enough for the first use, which loads the decoders; a file that makes the decoder
    // hang is refused after it instead of holding the window.
    static constexpr DWORD kOpenTimeoutMs = 5000;

    // Opens the song and a wave-out device for its sound; nullptr when it cannot be decoded,
    // no device takes its sound, or the decoder has not answered in time.
    static std::unique_ptr<CStreamPlayer> Open(const CStringW& strPath);
    // Stops the sound and ends the worker with its buffers, device and decoder.
    ~CStreamPlayer() override;
    CStreamPlayer(const CStreamPlayer&) = delete;
    CStreamPlayer& operator=(const CStreamPlayer&) = delete;

    // Waits a bounded time for the worker to start the play; a play resumed at the position
    // Pause gave goes on at the same sample. The end is posted with a number of this play's own.
    DWORD Play(DWORD dwFromMs, HWND hNotify) override;
    // Holds the device at the sample being heard.
    DWORD Pause(DWORD dwKeep) override;
    // Where the sound heard is: the samples the device has played since the play began.
    bool GetPosition(DWORD* pdwPosition) override;
    bool GetLength(DWORD* pdwLength) override;
    bool TakeEnd(LPARAM lParam, DWORD dwPostedAt) override;

private:
    struct Shared;
    CStreamPlayer(std::shared_ptr<Shared> pShared, CHandle hThread);

    std::shared_ptr<Shared> m_pShared;  // the worker holds it too, and may outlive this object
    CHandle m_hThread;
    LPARAM m_lPlay = 0;  // the number the current play's end comes with; 0 when none may end
};
