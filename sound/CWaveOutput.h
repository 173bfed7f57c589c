// The wave-out device a decoded song plays on, with its ring of buffers. The worker fills and
// queues the buffers; any thread may hold, restart, silence it or ask how much it has played.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <functional>
#include <mutex>
#include <vector>

class CWaveOutput {
public:
    CWaveOutput() = default;
    CWaveOutput(const CWaveOutput&) = delete;
    CWaveOutput& operator=(const CWaveOutput&) = delete;
    ~CWaveOutput() { Close(); }

    // Opens the device held (paused) with its buffers; hDone is set as each buffer is played.
    bool Open(const std::vector<BYTE>& format, DWORD nRate, WORD nBlockAlign, HANDLE hDone);
    void Close();

    void Hold();
    void Restart();
    // Silent at once, every buffer back as played, the count of played samples back to 0.
    void Reset();
    // The sound played since the last reset, in ms.
    DWORD PlayedMs() const;

    // The worker's side. Fills and queues each free buffer with what fill gives (bytes written,
    // 0 when it has nothing more); false when the device refused a buffer.
    bool Feed(const std::function<DWORD(BYTE* pDest, DWORD cbDest)>& fill);
    // Forgets what was queued before a Reset.
    void Forget();
    bool AllPlayed() const;

private:
    mutable std::mutex m_lock;  // over m_hWaveOut, which other threads use
    HWAVEOUT m_hWaveOut = nullptr;
    DWORD m_nRate = 0;
    WORD m_nBlockAlign = 0;
    // The worker's own.
    std::vector<std::vector<BYTE>> m_buffers;
    std::vector<WAVEHDR> m_headers;
    std::vector<bool> m_queued;
    size_t m_nNext = 0;
};
