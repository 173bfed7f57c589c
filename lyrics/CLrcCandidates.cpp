#include "lyrics/CLrcCandidates.h"

#include <process.h>

#include <mutex>
#include <utility>

#include "framework/Holders.h"
#include "lyrics/CHttpGet.h"
#include "lyrics/LrcService.h"

// Shared by the window's thread and the worker: whichever lets go last frees it.
struct CLrcCandidates::Job {
    Job(HWND hWnd, SongTags songTags, DWORD dwLength)
        : hNotify(hWnd),
          tags(std::move(songTags)),
          dwLengthMs(dwLength),
          strBaseUrl(LrcServiceUrl()),
          http(LrcServiceAgent(), LRC_CONNECT_MS, LRC_REQUEST_MS, LRCLIB_MAX_ANSWER) {}

    LrcCandidatesState Ask(std::vector<LrcCandidate>& found);

    const HWND hNotify;
    const SongTags tags;
    const DWORD dwLengthMs;
    const std::wstring strBaseUrl;
    CHttpGet http;     // cancelled from the window's thread
    std::mutex mutex;  // guards what follows
    bool bCancelled = false;
    LrcCandidatesState state = LrcCandidatesState::Asking;
    std::vector<LrcCandidate> candidates;
};

LrcCandidatesState CLrcCandidates::Job::Ask(std::vector<LrcCandidate>& found) {
    SongTags asked = tags;
    for (int nTry = 0; nTry < 2; ++nTry) {
        const std::string strPath = LrclibSearchPath(asked);
        if (strPath.empty())
            return LrcCandidatesState::NoneFound;
        DWORD dwStatus = 0;
        std::string strBody;
        if (http.Get(strBaseUrl, strPath, &dwStatus, &strBody) != CHttpGet::OK || dwStatus != 200)
            return LrcCandidatesState::Offline;
        bool bReadable = false;
        found = ReadLrclibCandidates(strBody, dwLengthMs, &bReadable);
        if (!bReadable)
            return LrcCandidatesState::Offline;
        // Another artist's recording of the song is still a candidate.
        if (!found.empty() || asked.strArtist.empty())
            break;
        asked.strArtist.clear();
    }
    return found.empty() ? LrcCandidatesState::NoneFound : LrcCandidatesState::Found;
}

unsigned __stdcall CLrcCandidates::RunJob(void* pJob) {
    const std::unique_ptr<std::shared_ptr<Job>> owner(static_cast<std::shared_ptr<Job>*>(pJob));
    Job& job = **owner;
    std::vector<LrcCandidate> found;
    const LrcCandidatesState state = job.Ask(found);
    std::lock_guard<std::mutex> lock(job.mutex);
    job.state = state;
    job.candidates = std::move(found);
    // Under the lock: once dropped, the window may be gone.
    if (!job.bCancelled)
        ::PostMessageA(job.hNotify, WM_LRC_CANDIDATES, 0, 0);
    return 0;
}

CLrcCandidates::~CLrcCandidates() {
    Drop();
}

void CLrcCandidates::Drop() {
    if (!m_job)
        return;
    {
        std::lock_guard<std::mutex> lock(m_job->mutex);
        m_job->bCancelled = true;
    }
    m_job->http.Cancel();
    m_job.reset();
}

void CLrcCandidates::Begin(HWND hNotify, const SongTags& tags, DWORD dwLengthMs) {
    Drop();
    const auto job = std::make_shared<Job>(hNotify, tags, dwLengthMs);
    auto* pOwner = new std::shared_ptr<Job>(job);
    const uintptr_t hThread = ::_beginthreadex(nullptr, 0, &CLrcCandidates::RunJob, pOwner, 0, nullptr);
    if (!hThread) {
        delete pOwner;
        job->state = LrcCandidatesState::Offline;
        m_job = job;
        ::PostMessageA(hNotify, WM_LRC_CANDIDATES, 0, 0);
        return;
    }
    // The thread ends on its own; nothing waits for it.
    ::CloseHandle(reinterpret_cast<HANDLE>(hThread));
    m_job = job;
}

LrcCandidatesState CLrcCandidates::State() const {
    if (!m_job)
        return LrcCandidatesState::Asking;
    std::lock_guard<std::mutex> lock(m_job->mutex);
    return m_job->state;
}

const std::vector<LrcCandidate>& CLrcCandidates::Candidates() const {
    static const std::vector<LrcCandidate> s_none;
    if (!m_job || State() != LrcCandidatesState::Found)
        return s_none;
    // Written once by the worker before the state leaves Asking, and never again.
    return m_job->candidates;
}
