#include "sound/CWaveOutput.h"

#include <algorithm>

#include "sound/AudioDriver.h"

namespace {

// Four quarter-seconds queued: a second of sound rides out a busy machine, and the worker
// wakes four times a second.
constexpr size_t kBufferCount = 4;
constexpr DWORD kBufferMs = 250;

}  // namespace

bool CWaveOutput::Open(const std::vector<BYTE>& format, DWORD nRate, WORD nBlockAlign, HANDLE hDone) {
    LoadAudioDriver();
    HWAVEOUT h = nullptr;
    if (::waveOutOpen(&h, WAVE_MAPPER, reinterpret_cast<const WAVEFORMATEX*>(format.data()),
                      reinterpret_cast<DWORD_PTR>(hDone), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR)
        return false;
    {
        const std::lock_guard<std::mutex> held(m_lock);
        m_hWaveOut = h;
        m_nRate = nRate;
        m_nBlockAlign = nBlockAlign;
    }
    // Held until the first play has filled every buffer.
    ::waveOutPause(h);
    const DWORD cbBuffer = std::max<DWORD>(nBlockAlign, nRate * kBufferMs / 1000 * nBlockAlign);
    m_buffers.assign(kBufferCount, std::vector<BYTE>(cbBuffer));
    m_headers.assign(kBufferCount, WAVEHDR{});
    m_queued.assign(kBufferCount, false);
    for (size_t i = 0; i < kBufferCount; ++i) {
        m_headers[i].lpData = reinterpret_cast<LPSTR>(m_buffers[i].data());
        m_headers[i].dwBufferLength = cbBuffer;
        if (::waveOutPrepareHeader(h, &m_headers[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
            return false;
    }
    return true;
}

void CWaveOutput::Close() {
    HWAVEOUT h = nullptr;
    {
        const std::lock_guard<std::mutex> held(m_lock);
        h = m_hWaveOut;
        if (h)
            ::waveOutReset(h);  // every buffer comes back done
    }
    if (!h)
        return;
    for (WAVEHDR& header : m_headers)
        if (header.dwFlags & WHDR_PREPARED)
            ::waveOutUnprepareHeader(h, &header, sizeof(WAVEHDR));
    const std::lock_guard<std::mutex> held(m_lock);
    ::waveOutClose(h);
    m_hWaveOut = nullptr;
}

void CWaveOutput::Hold() {
    const std::lock_guard<std::mutex> held(m_lock);
    if (m_hWaveOut)
        ::waveOutPause(m_hWaveOut);
}

void CWaveOutput::Restart() {
    const std::lock_guard<std::mutex> held(m_lock);
    if (m_hWaveOut)
        ::waveOutRestart(m_hWaveOut);
}

void CWaveOutput::Reset() {
    const std::lock_guard<std::mutex> held(m_lock);
    if (m_hWaveOut)
        ::waveOutReset(m_hWaveOut);
}

DWORD CWaveOutput::PlayedMs() const {
    const std::lock_guard<std::mutex> held(m_lock);
    MMTIME time = {};
    time.wType = TIME_SAMPLES;
    if (!m_hWaveOut || ::waveOutGetPosition(m_hWaveOut, &time, sizeof(time)) != MMSYSERR_NOERROR)
        return 0;
    ULONGLONG ullMs = 0;
    switch (time.wType) {
    case TIME_SAMPLES:
        ullMs = static_cast<ULONGLONG>(time.u.sample) * 1000 / m_nRate;
        break;
    case TIME_BYTES:
        ullMs = static_cast<ULONGLONG>(time.u.cb) / m_nBlockAlign * 1000 / m_nRate;
        break;
    case TIME_MS:
        ullMs = time.u.ms;
        break;
    default:
        break;
    }
    return static_cast<DWORD>(std::min<ULONGLONG>(ullMs, MAXDWORD));
}

bool CWaveOutput::Feed(const std::function<DWORD(BYTE* pDest, DWORD cbDest)>& fill) {
    for (;;) {
        WAVEHDR& header = m_headers[m_nNext];
        if (m_queued[m_nNext] && !(header.dwFlags & WHDR_DONE))
            return true;  // every buffer is queued
        m_queued[m_nNext] = false;
        const DWORD cbFilled = fill(m_buffers[m_nNext].data(), static_cast<DWORD>(m_buffers[m_nNext].size()));
        if (cbFilled == 0)
            return true;
        header.dwBufferLength = cbFilled;
        header.dwFlags &= ~WHDR_DONE;
        const std::lock_guard<std::mutex> held(m_lock);
        if (::waveOutWrite(m_hWaveOut, &header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
            return false;
        m_queued[m_nNext] = true;
        m_nNext = (m_nNext + 1) % kBufferCount;
    }
}

void CWaveOutput::Forget() {
    std::fill(m_queued.begin(), m_queued.end(), false);
}

bool CWaveOutput::AllPlayed() const {
    for (size_t i = 0; i < m_queued.size(); ++i)
        if (m_queued[i] && !(m_headers[i].dwFlags & WHDR_DONE))
            return false;
    return true;
}
