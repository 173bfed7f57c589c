// A song decoded by Media Foundation's source reader on a worker thread and played on the
// wave-out device: the formats Windows' MCI devices do not read (FLAC, AAC in MP4, Ogg Vorbis,
// Opus) and the files those devices refuse. It answers as an MCI device does: play from a
// position with the end posted as MM_MCINOTIFY, pause, position and length in ms.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/CStringW.h"
#include "framework/Holders.h"

class CStreamPlayer {
public:
    // Long enough for the first use, which loads the decoders; a file that makes the decoder
    // hang is refused after it instead of holding the window.
    static constexpr DWORD kOpenTimeoutMs = 5000;

    // Opens the song and a wave-out device for its sound; nullptr when it cannot be decoded,
    // no device takes its sound, or the decoder has not answered in time.
    static std::unique_ptr<CStreamPlayer> Open(const CStringW& strPath);
    // Stops the sound and ends the worker with its buffers, device and decoder.
    ~CStreamPlayer();
    CStreamPlayer(const CStreamPlayer&) = delete;
    CStreamPlayer& operator=(const CStreamPlayer&) = delete;

    // Plays from dwFromMs, waiting a bounded time for the worker to start it; a play resumed at the position Pause gave
    // goes on at the same sample. The end of the song is posted to hNotify as MM_MCINOTIFY with MCI_NOTIFY_SUCCESSFUL
    // and lNotify; a play that is paused, replaced or closed posts nothing.
    bool Play(DWORD dwFromMs, HWND hNotify, LPARAM lNotify);
    // Holds the device at the sample being heard and returns its position in ms.
    DWORD Pause();
    // Where the sound heard is, in ms: the samples the device has played since the play began.
    DWORD GetPosition() const;
    // The source's duration in ms; 0 when it does not say.
    DWORD GetLength() const;

private:
    struct Shared;
    CStreamPlayer(std::shared_ptr<Shared> pShared, CHandle hThread);

    std::shared_ptr<Shared> m_pShared;  // the worker holds it too, and may outlive this object
    CHandle m_hThread;
};
