#include "sound/CStreamPlayer.h"

#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "sound/CCommandMailbox.h"
#include "sound/CMfDecoder.h"
#include "sound/CWaveOutput.h"

namespace {

constexpr DWORD kCommandTimeoutMs = 3000;
constexpr DWORD kCloseTimeoutMs = 3000;

// Far above any MCI device ID, so the two kinds of notice are never taken for each other.
LPARAM g_lLastPlay = 0x40000000;

}  // namespace

struct CStreamPlayer::Shared {
    explicit Shared(const CStringW& strSongPath)
        : strPath(strSongPath),
          hOpened(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          hWaveDone(::CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

    static DWORD WINAPI ThreadProc(LPVOID pParam);
    void Run();
    void Serve();
    void StartPlay(const CCommandMailbox::Letter& letter);
    DWORD Fill(BYTE* pDest, DWORD cbDest);
    DWORD PositionLocked() const;

    const CStringW strPath;
    CHandle hOpened, hWaveDone;
    CCommandMailbox mailbox;
    CWaveOutput output;
    std::atomic<bool> bOpened{false};
    DWORD dwLengthMs = 0;

    // Shared with the caller's thread, under the lock.
    mutable std::mutex lock;
    DWORD dwBaseMs = 0;  // the song position of the device's first sample since the last reset
    bool bPaused = false;
    DWORD dwPausedAtMs = 0;

    // The worker's own.
    CMfDecoder decoder;
    enum class State { Idle, Feeding, Draining, Ended } state = State::Idle;
    std::vector<BYTE> pending;  // decoded sound not yet in a buffer
    size_t nPendingPos = 0;
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
    bOpened = CMfDecoder::StartUp() && decoder.Open(strPath) &&
              output.Open(decoder.Format(), decoder.Rate(), decoder.BlockAlign(), hWaveDone.Get());
    dwLengthMs = decoder.LengthMs();
    ::SetEvent(hOpened.Get());
    if (bOpened)
        Serve();
    output.Close();
    decoder.Close();  // on the thread that made it, before COM goes
    if (SUCCEEDED(hrCom))
        ::CoUninitialize();
}

void CStreamPlayer::Shared::Serve() {
    const HANDLE waits[] = {mailbox.Arrived(), hWaveDone.Get()};
    const auto fill = [this](BYTE* pDest, DWORD cbDest) { return Fill(pDest, cbDest); };
    for (;;) {
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0) {
            unsigned nSerial = 0;
            const CCommandMailbox::Letter letter = mailbox.Take(&nSerial);
            if (letter.command == CCommandMailbox::Command::Quit)
                return;
            if (letter.command == CCommandMailbox::Command::Play) {
                StartPlay(letter);
                mailbox.Answer(nSerial);
            }
        }
        if (state == State::Feeding && !output.Feed(fill))
            state = State::Draining;  // the device went: end with what it has
        if (state == State::Draining && output.AllPlayed()) {
            state = State::Ended;
            ::PostMessageW(hNotify, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, lNotify);
        }
    }
}

void CStreamPlayer::Shared::StartPlay(const CCommandMailbox::Letter& letter) {
    hNotify = letter.hNotify;
    lNotify = letter.lNotify;
    {
        // Resumed where it was paused: the device goes on at the same sample.
        const std::lock_guard<std::mutex> held(lock);
        if (bPaused && letter.dwFromMs == dwPausedAtMs && (state == State::Feeding || state == State::Draining)) {
            output.Restart();
            bPaused = false;
            return;
        }
        output.Hold();
        output.Reset();
        dwBaseMs = letter.dwFromMs;
        bPaused = false;
    }
    output.Forget();
    pending.clear();
    nPendingPos = 0;
    // One that cannot go there ends at once, as a play from the end does.
    state = decoder.Seek(letter.dwFromMs) ? State::Feeding : State::Draining;
    if (state == State::Feeding && !output.Feed([this](BYTE* pDest, DWORD cbDest) { return Fill(pDest, cbDest); }))
        state = State::Draining;
    output.Restart();
}

DWORD CStreamPlayer::Shared::Fill(BYTE* pDest, DWORD cbDest) {
    DWORD cbFilled = 0;
    while (state == State::Feeding && cbFilled < cbDest) {
        if (nPendingPos < pending.size()) {
            const size_t cb = std::min<size_t>(cbDest - cbFilled, pending.size() - nPendingPos);
            std::memcpy(pDest + cbFilled, pending.data() + nPendingPos, cb);
            nPendingPos += cb;
            cbFilled += static_cast<DWORD>(cb);
            continue;
        }
        DWORD dwLateMs = MAXDWORD;
        nPendingPos = 0;
        if (!decoder.Read(pending, &dwLateMs)) {
            // The end, or as far as a damaged file decodes: what is queued plays out.
            pending.clear();
            state = State::Draining;
        } else if (dwLateMs != MAXDWORD) {
            const std::lock_guard<std::mutex> held(lock);
            dwBaseMs = dwLateMs;
        }
    }
    return cbFilled;
}

DWORD CStreamPlayer::Shared::PositionLocked() const {
    // A held device may still count the last samples it had under way as played.
    if (bPaused)
        return dwPausedAtMs;
    ULONGLONG ullPosition = static_cast<ULONGLONG>(dwBaseMs) + output.PlayedMs();
    if (dwLengthMs != 0)
        ullPosition = std::min<ULONGLONG>(ullPosition, dwLengthMs);
    return static_cast<DWORD>(std::min<ULONGLONG>(ullPosition, MAXDWORD));
}

CStreamPlayer::CStreamPlayer(std::shared_ptr<Shared> pShared, CHandle hThread)
    : m_pShared(std::move(pShared)), m_hThread(std::move(hThread)) {}

std::unique_ptr<CStreamPlayer> CStreamPlayer::Open(const CStringW& strPath) {
    auto pShared = std::make_shared<Shared>(strPath);
    if (!pShared->hOpened || !pShared->hWaveDone || !pShared->mailbox.IsReady())
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
    // Silent at once, even while the worker is still in the decoder.
    m_pShared->output.Reset();
    m_pShared->mailbox.Post({CCommandMailbox::Command::Quit});
    // A decoder stuck in a damaged file cannot be interrupted: its thread then keeps the
    // shared state alive and ends on its own, and the window goes on.
    ::WaitForSingleObject(m_hThread.Get(), kCloseTimeoutMs);
}

DWORD CStreamPlayer::Play(DWORD dwFromMs, HWND hNotify) {
    m_lPlay = ++g_lLastPlay;
    const unsigned nSerial = m_pShared->mailbox.Post({CCommandMailbox::Command::Play, dwFromMs, hNotify, m_lPlay});
    if (m_pShared->mailbox.WaitForAnswer(nSerial, kCommandTimeoutMs, m_hThread.Get()))
        return 0;
    m_lPlay = 0;
    return MCIERR_INTERNAL;
}

DWORD CStreamPlayer::Pause(DWORD /*dwKeep*/) {
    m_lPlay = 0;  // an end posted just before the pause no longer counts
    Shared& s = *m_pShared;
    const std::lock_guard<std::mutex> held(s.lock);
    s.output.Hold();
    s.dwPausedAtMs = s.PositionLocked();
    s.bPaused = true;
    return s.dwPausedAtMs;
}

bool CStreamPlayer::GetPosition(DWORD* pdwPosition) {
    const std::lock_guard<std::mutex> held(m_pShared->lock);
    *pdwPosition = m_pShared->PositionLocked();
    return true;
}

bool CStreamPlayer::GetLength(DWORD* pdwLength) {
    *pdwLength = m_pShared->dwLengthMs;
    return true;
}

bool CStreamPlayer::TakeEnd(LPARAM lParam, DWORD /*dwPostedAt*/) {
    if (m_lPlay == 0 || lParam != m_lPlay)
        return false;
    m_lPlay = 0;
    return true;
}
