#include "sound/CStreamPlayer.h"

#include <mmsystem.h>
#include <mfapi.h>
#include <mferror.h>
#include <mfidl.h>
#include <mfreadwrite.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "sound/AudioDriver.h"

namespace {

// Four quarter-seconds queued: a second of sound rides out a busy machine, and the worker
// wakes four times a second.
constexpr size_t kBufferCount = 4;
constexpr DWORD kBufferMs = 250;
constexpr DWORD kCommandTimeoutMs = 3000;
constexpr DWORD kCloseTimeoutMs = 3000;
// A decoder that keeps answering with no sound is taken to have ended.
constexpr int kMaxEmptyReads = 64;
constexpr LONGLONG kTicksPerMs = 10000;  // Media Foundation counts time in 100 ns

enum { kCommandNone, kCommandPlay, kCommandQuit };

INIT_ONCE g_mfStarted = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK StartMediaFoundation(PINIT_ONCE /*pOnce*/, PVOID /*pParam*/, PVOID* /*ppContext*/) {
    // The Windows editions without media (N, KN) have no Media Foundation: a delay-loaded call
    // into it would raise, so its libraries are loaded here first, and kept for the process.
    if (!::LoadLibraryW(L"mfplat.dll") || !::LoadLibraryW(L"mfreadwrite.dll"))
        return FALSE;
    // Once for the process: the platform's work queues then stay until it ends.
    return SUCCEEDED(::MFStartup(MF_VERSION, MFSTARTUP_FULL));
}

HANDLE NewEvent(bool bManualReset) {
    return ::CreateEventW(nullptr, bManualReset, FALSE, nullptr);
}

}  // namespace

struct CStreamPlayer::Shared {
    explicit Shared(const CStringW& strSongPath)
        : strPath(strSongPath),
          hOpened(NewEvent(true)),
          hCommand(NewEvent(false)),
          hAnswer(NewEvent(false)),
          hWaveDone(NewEvent(false)) {}

    static DWORD WINAPI ThreadProc(LPVOID pParam);
    void Run();
    bool OpenSource();
    bool OpenDevice();
    void CloseDevice();
    void Serve();
    void StartPlay(DWORD dwFromMs, HWND hNotify, LPARAM lNotify);
    void Feed();
    DWORD Fill(BYTE* pDest, DWORD cbDest);
    bool ReadMore();
    bool AllBuffersDone() const;
    DWORD PositionLocked() const;

    const CStringW strPath;
    CHandle hOpened, hCommand, hAnswer, hWaveDone;
    std::atomic<bool> bOpened{false};
    DWORD dwLengthMs = 0;
    std::vector<BYTE> format;  // the device's WAVEFORMATEX (or WAVEFORMATEXTENSIBLE)
    DWORD nRate = 0;
    WORD nBlockAlign = 0;

    // Shared with the caller's thread, under the lock.
    mutable std::mutex lock;
    HWAVEOUT hWaveOut = nullptr;
    DWORD dwBaseMs = 0;  // the song position of the device's first sample since the last reset
    bool bPaused = false;
    DWORD dwPausedAtMs = 0;
    int nCommand = kCommandNone;
    unsigned nCommandSerial = 0;
    unsigned nAnsweredSerial = 0;
    DWORD dwPlayFromMs = 0;
    HWND hNotifyNext = nullptr;
    LPARAM lNotifyNext = 0;

    // The worker's own.
    CComPtr<IMFSourceReader> pReader;
    std::vector<std::vector<BYTE>> buffers;
    std::vector<WAVEHDR> headers;
    std::vector<bool> queued;
    size_t nNext = 0;
    enum class State { Idle, Feeding, Draining, Ended } state = State::Idle;
    std::vector<BYTE> pending;  // decoded sound not yet in a buffer
    size_t nPendingPos = 0;
    bool bFresh = true;      // nothing read since the open
    bool bSkipping = false;  // after a seek: drop what the decoder gives before the target
    LONGLONG llTarget = 0;
    HWND hNotify = nullptr;
    LPARAM lNotify = 0;
};

DWORD WINAPI CStreamPlayer::Shared::ThreadProc(LPVOID pParam) {
    auto* pHeld = static_cast<std::shared_ptr<Shared>*>(pParam);
    const std::shared_ptr<Shared> pShared = std::move(*pHeld);
    delete pHeld;
    pShared->Run();
    return 0;
}

void CStreamPlayer::Shared::Run() {
    const HRESULT hrCom = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    const bool bStarted = ::InitOnceExecuteOnce(&g_mfStarted, StartMediaFoundation, nullptr, nullptr);
    bOpened = bStarted && OpenSource() && OpenDevice();
    ::SetEvent(hOpened.Get());
    if (bOpened)
        Serve();
    CloseDevice();
    pReader.Release();  // on the thread that made it, before COM goes
    if (SUCCEEDED(hrCom))
        ::CoUninitialize();
}

bool CStreamPlayer::Shared::OpenSource() {
    if (FAILED(::MFCreateSourceReaderFromURL(strPath, nullptr, &pReader)))
        return false;
    pReader->SetStreamSelection(MF_SOURCE_READER_ALL_STREAMS, FALSE);
    if (FAILED(pReader->SetStreamSelection(MF_SOURCE_READER_FIRST_AUDIO_STREAM, TRUE)))
        return false;  // no sound in it: a video alone, or an M4A with no audio track
    // PCM at the source's own rate and channels; the reader puts the decoder in. 16 bits where
    // the decoder gives them, else its own PCM, else floats: wave-out plays all three.
    const struct {
        const GUID* pSubtype;
        UINT32 nBits;
    } kWanted[] = {{&MFAudioFormat_PCM, 16}, {&MFAudioFormat_PCM, 0}, {&MFAudioFormat_Float, 0}};
    bool bSet = false;
    for (const auto& wanted : kWanted) {
        CComPtr<IMFMediaType> pWanted;
        if (FAILED(::MFCreateMediaType(&pWanted)))
            return false;
        pWanted->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio);
        pWanted->SetGUID(MF_MT_SUBTYPE, *wanted.pSubtype);
        if (wanted.nBits)
            pWanted->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, wanted.nBits);
        bSet = SUCCEEDED(pReader->SetCurrentMediaType(MF_SOURCE_READER_FIRST_AUDIO_STREAM, nullptr, pWanted.Get()));
        if (bSet)
            break;
    }
    if (!bSet)
        return false;
    CComPtr<IMFMediaType> pGot;
    if (FAILED(pReader->GetCurrentMediaType(MF_SOURCE_READER_FIRST_AUDIO_STREAM, &pGot)))
        return false;
    WAVEFORMATEX* pFormat = nullptr;
    UINT32 cbFormat = 0;
    if (FAILED(
            ::MFCreateWaveFormatExFromMFMediaType(pGot.Get(), &pFormat, &cbFormat, MFWaveFormatExConvertFlag_Normal)))
        return false;
    format.assign(reinterpret_cast<const BYTE*>(pFormat), reinterpret_cast<const BYTE*>(pFormat) + cbFormat);
    nRate = pFormat->nSamplesPerSec;
    nBlockAlign = pFormat->nBlockAlign;
    const WORD nChannels = pFormat->nChannels;
    ::CoTaskMemFree(pFormat);
    if (nRate == 0 || nBlockAlign == 0 || nChannels == 0)
        return false;

    PROPVARIANT duration;
    ::PropVariantInit(&duration);
    if (SUCCEEDED(pReader->GetPresentationAttribute(MF_SOURCE_READER_MEDIASOURCE, MF_PD_DURATION, &duration)) &&
        duration.vt == VT_UI8)
        dwLengthMs = static_cast<DWORD>(std::min<ULONGLONG>(duration.uhVal.QuadPart / kTicksPerMs, MAXDWORD));
    ::PropVariantClear(&duration);
    return true;
}

bool CStreamPlayer::Shared::OpenDevice() {
    LoadAudioDriver();
    HWAVEOUT h = nullptr;
    if (::waveOutOpen(&h, WAVE_MAPPER, reinterpret_cast<const WAVEFORMATEX*>(format.data()),
                      reinterpret_cast<DWORD_PTR>(hWaveDone.Get()), 0, CALLBACK_EVENT) != MMSYSERR_NOERROR)
        return false;
    {
        const std::lock_guard<std::mutex> held(lock);
        hWaveOut = h;
    }
    // Held until the first play has filled every buffer.
    ::waveOutPause(h);
    const DWORD cbBuffer = std::max<DWORD>(nBlockAlign, nRate * kBufferMs / 1000 * nBlockAlign);
    buffers.assign(kBufferCount, std::vector<BYTE>(cbBuffer));
    headers.assign(kBufferCount, WAVEHDR{});
    queued.assign(kBufferCount, false);
    for (size_t i = 0; i < kBufferCount; ++i) {
        headers[i].lpData = reinterpret_cast<LPSTR>(buffers[i].data());
        headers[i].dwBufferLength = cbBuffer;
        if (::waveOutPrepareHeader(h, &headers[i], sizeof(WAVEHDR)) != MMSYSERR_NOERROR)
            return false;
    }
    return true;
}

void CStreamPlayer::Shared::CloseDevice() {
    HWAVEOUT h = nullptr;
    {
        const std::lock_guard<std::mutex> held(lock);
        h = hWaveOut;
        if (h)
            ::waveOutReset(h);  // every buffer comes back done
    }
    if (!h)
        return;
    for (WAVEHDR& header : headers)
        if (header.dwFlags & WHDR_PREPARED)
            ::waveOutUnprepareHeader(h, &header, sizeof(WAVEHDR));
    const std::lock_guard<std::mutex> held(lock);
    ::waveOutClose(h);
    hWaveOut = nullptr;
}

void CStreamPlayer::Shared::Serve() {
    const HANDLE waits[] = {hCommand.Get(), hWaveDone.Get()};
    for (;;) {
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
            int nTaken;
            unsigned nSerial;
            DWORD dwFrom;
            HWND hTo;
            LPARAM lTo;
            {
                const std::lock_guard<std::mutex> held(lock);
                nTaken = std::exchange(nCommand, kCommandNone);
                nSerial = nCommandSerial;
                dwFrom = dwPlayFromMs;
                hTo = hNotifyNext;
                lTo = lNotifyNext;
            }
            if (nTaken == kCommandQuit)
                return;
            if (nTaken == kCommandPlay) {
                StartPlay(dwFrom, hTo, lTo);
                {
                    const std::lock_guard<std::mutex> held(lock);
                    nAnsweredSerial = nSerial;
                }
                ::SetEvent(hAnswer.Get());
            }
        }
        if (state == State::Feeding)
            Feed();
        if (state == State::Draining && AllBuffersDone()) {
            state = State::Ended;
            ::PostMessageW(hNotify, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, lNotify);
        }
    }
}

void CStreamPlayer::Shared::StartPlay(DWORD dwFromMs, HWND hTo, LPARAM lTo) {
    hNotify = hTo;
    lNotify = lTo;
    {
        // Resumed where it was paused: the device goes on at the same sample.
        const std::lock_guard<std::mutex> held(lock);
        if (bPaused && dwFromMs == dwPausedAtMs && (state == State::Feeding || state == State::Draining)) {
            ::waveOutRestart(hWaveOut);
            bPaused = false;
            return;
        }
        ::waveOutPause(hWaveOut);
        ::waveOutReset(hWaveOut);
        dwBaseMs = dwFromMs;
        bPaused = false;
    }
    std::fill(queued.begin(), queued.end(), false);
    pending.clear();
    nPendingPos = 0;
    llTarget = dwFromMs * kTicksPerMs;
    bSkipping = true;
    state = State::Feeding;
    // A fresh reader stands at the start already: a source that cannot seek still plays.
    if (!bFresh || dwFromMs != 0) {
        PROPVARIANT position;
        ::PropVariantInit(&position);
        position.vt = VT_I8;
        position.hVal.QuadPart = llTarget;
        // One that cannot go there ends at once, as a play from the end does.
        if (FAILED(pReader->SetCurrentPosition(GUID_NULL, position)))
            state = State::Draining;
    }
    bFresh = false;
    Feed();
    const std::lock_guard<std::mutex> held(lock);
    ::waveOutRestart(hWaveOut);
}

void CStreamPlayer::Shared::Feed() {
    while (state == State::Feeding) {
        WAVEHDR& header = headers[nNext];
        if (queued[nNext] && !(header.dwFlags & WHDR_DONE))
            return;  // every buffer is queued
        queued[nNext] = false;
        const DWORD cbFilled = Fill(buffers[nNext].data(), static_cast<DWORD>(buffers[nNext].size()));
        if (cbFilled == 0)
            return;
        header.dwBufferLength = cbFilled;
        header.dwFlags &= ~WHDR_DONE;
        if (::waveOutWrite(hWaveOut, &header, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
            state = State::Draining;  // the device went: end with what it has
            return;
        }
        queued[nNext] = true;
        nNext = (nNext + 1) % kBufferCount;
    }
}

DWORD CStreamPlayer::Shared::Fill(BYTE* pDest, DWORD cbDest) {
    DWORD cbFilled = 0;
    while (cbFilled < cbDest) {
        if (nPendingPos < pending.size()) {
            const size_t cb = std::min<size_t>(cbDest - cbFilled, pending.size() - nPendingPos);
            std::memcpy(pDest + cbFilled, pending.data() + nPendingPos, cb);
            nPendingPos += cb;
            cbFilled += static_cast<DWORD>(cb);
        } else if (!ReadMore()) {
            // The end, or as far as a damaged file decodes: what is queued plays out.
            state = State::Draining;
            break;
        }
    }
    return cbFilled;
}

bool CStreamPlayer::Shared::ReadMore() {
    int nEmpty = 0;
    for (;;) {
        DWORD dwFlags = 0;
        LONGLONG llTime = 0;
        CComPtr<IMFSample> pSample;
        if (FAILED(pReader->ReadSample(MF_SOURCE_READER_FIRST_AUDIO_STREAM, 0, nullptr, &dwFlags, &llTime, &pSample)) ||
            (dwFlags & (MF_SOURCE_READERF_ERROR | MF_SOURCE_READERF_ENDOFSTREAM)))
            return false;
        if (dwFlags & MF_SOURCE_READERF_CURRENTMEDIATYPECHANGED)
            return false;  // the device was opened for the old format
        if (!pSample) {
            if (++nEmpty == kMaxEmptyReads)
                return false;
            continue;
        }
        CComPtr<IMFMediaBuffer> pBuffer;
        if (FAILED(pSample->ConvertToContiguousBuffer(&pBuffer)))
            return false;
        BYTE* pData = nullptr;
        DWORD cbData = 0;
        if (FAILED(pBuffer->Lock(&pData, nullptr, &cbData)))
            return false;
        DWORD cbSkip = 0;
        if (bSkipping && cbData > 0) {
            if (llTime < llTarget) {
                // A seek lands on a frame before the target: the samples up to it are dropped.
                const LONGLONG llFrames = (llTarget - llTime) * nRate / (1000 * kTicksPerMs);
                cbSkip = static_cast<DWORD>(std::min<LONGLONG>(llFrames * nBlockAlign, cbData));
            } else if (llTime > llTarget) {
                const std::lock_guard<std::mutex> held(lock);
                dwBaseMs = static_cast<DWORD>(llTime / kTicksPerMs);
            }
            bSkipping = cbSkip == cbData;  // the whole sample lay before the target
        }
        pending.assign(pData + cbSkip, pData + cbData);
        nPendingPos = 0;
        pBuffer->Unlock();
        if (!pending.empty())
            return true;
        if (cbData == 0 && ++nEmpty == kMaxEmptyReads)
            return false;
    }
}

bool CStreamPlayer::Shared::AllBuffersDone() const {
    for (size_t i = 0; i < kBufferCount; ++i)
        if (queued[i] && !(headers[i].dwFlags & WHDR_DONE))
            return false;
    return true;
}

DWORD CStreamPlayer::Shared::PositionLocked() const {
    if (!hWaveOut)
        return dwBaseMs;
    MMTIME time = {};
    time.wType = TIME_SAMPLES;
    if (::waveOutGetPosition(hWaveOut, &time, sizeof(time)) != MMSYSERR_NOERROR)
        return dwBaseMs;
    ULONGLONG ullPlayedMs = 0;
    switch (time.wType) {
    case TIME_SAMPLES:
        ullPlayedMs = static_cast<ULONGLONG>(time.u.sample) * 1000 / nRate;
        break;
    case TIME_BYTES:
        ullPlayedMs = static_cast<ULONGLONG>(time.u.cb) / nBlockAlign * 1000 / nRate;
        break;
    case TIME_MS:
        ullPlayedMs = time.u.ms;
        break;
    default:
        break;
    }
    ULONGLONG ullPosition = dwBaseMs + ullPlayedMs;
    if (dwLengthMs != 0)
        ullPosition = std::min<ULONGLONG>(ullPosition, dwLengthMs);
    return static_cast<DWORD>(std::min<ULONGLONG>(ullPosition, MAXDWORD));
}

CStreamPlayer::CStreamPlayer(std::shared_ptr<Shared> pShared, CHandle hThread)
    : m_pShared(std::move(pShared)), m_hThread(std::move(hThread)) {}

std::unique_ptr<CStreamPlayer> CStreamPlayer::Open(const CStringW& strPath) {
    auto pShared = std::make_shared<Shared>(strPath);
    if (!pShared->hOpened || !pShared->hCommand || !pShared->hAnswer || !pShared->hWaveDone)
        return nullptr;
    auto* pHeld = new std::shared_ptr<Shared>(pShared);
    CHandle hThread(::CreateThread(nullptr, 0, &Shared::ThreadProc, pHeld, 0, nullptr));
    if (!hThread) {
        delete pHeld;
        return nullptr;
    }
    const HANDLE waits[] = {pShared->hOpened.Get(), hThread.Get()};
    ::WaitForMultipleObjects(2, waits, FALSE, kOpenTimeoutMs);
    std::unique_ptr<CStreamPlayer> pPlayer(new CStreamPlayer(pShared, std::move(hThread)));
    if (::WaitForSingleObject(pShared->hOpened.Get(), 0) != WAIT_OBJECT_0 || !pShared->bOpened)
        return nullptr;  // the worker is told to end as this player goes
    return pPlayer;
}

CStreamPlayer::~CStreamPlayer() {
    {
        const std::lock_guard<std::mutex> held(m_pShared->lock);
        m_pShared->nCommand = kCommandQuit;
        ++m_pShared->nCommandSerial;
        // Silent at once, even while the worker is still in the decoder.
        if (m_pShared->hWaveOut)
            ::waveOutReset(m_pShared->hWaveOut);
    }
    ::SetEvent(m_pShared->hCommand.Get());
    // A decoder stuck in a damaged file cannot be interrupted: its thread then keeps the
    // shared state alive and ends on its own, and the window goes on.
    ::WaitForSingleObject(m_hThread.Get(), kCloseTimeoutMs);
}

bool CStreamPlayer::Play(DWORD dwFromMs, HWND hNotify, LPARAM lNotify) {
    Shared& s = *m_pShared;
    unsigned nSerial;
    {
        const std::lock_guard<std::mutex> held(s.lock);
        s.nCommand = kCommandPlay;
        nSerial = ++s.nCommandSerial;
        s.dwPlayFromMs = dwFromMs;
        s.hNotifyNext = hNotify;
        s.lNotifyNext = lNotify;
    }
    ::SetEvent(s.hCommand.Get());
    const ULONGLONG ullDeadline = ::GetTickCount64() + kCommandTimeoutMs;
    for (;;) {
        {
            const std::lock_guard<std::mutex> held(s.lock);
            if (s.nAnsweredSerial == nSerial)
                return true;
        }
        const ULONGLONG ullNow = ::GetTickCount64();
        if (ullNow >= ullDeadline)
            return false;
        const HANDLE waits[] = {s.hAnswer.Get(), m_hThread.Get()};
        if (::WaitForMultipleObjects(2, waits, FALSE, static_cast<DWORD>(ullDeadline - ullNow)) == WAIT_OBJECT_0 + 1)
            return false;  // the worker has gone
    }
}

DWORD CStreamPlayer::Pause() {
    Shared& s = *m_pShared;
    const std::lock_guard<std::mutex> held(s.lock);
    if (s.hWaveOut)
        ::waveOutPause(s.hWaveOut);
    s.dwPausedAtMs = s.PositionLocked();
    s.bPaused = true;
    return s.dwPausedAtMs;
}

DWORD CStreamPlayer::GetPosition() const {
    const std::lock_guard<std::mutex> held(m_pShared->lock);
    return m_pShared->PositionLocked();
}

DWORD CStreamPlayer::GetLength() const {
    return m_pShared->dwLengthMs;
}
