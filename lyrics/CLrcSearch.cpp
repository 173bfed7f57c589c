#include "lyrics/CLrcSearch.h"

#include <process.h>

#include <mutex>
#include <utility>

#include "framework/Holders.h"
#include "lyrics/CHttpGet.h"
#include "lyrics/CLrcSwitch.h"
#include "lyrics/LrcOffsetTag.h"
#include "lyrics/LrclibApi.h"
#include "tags/SongTags.h"
#include "lyrics/LrcService.h"

namespace {

const char kOffSwitch[] = "Lrc\\不联网";
// How long closing the player waits for searches that are writing their files; the others end
// with the process.
const DWORD kShutdownWaitMs = 2000;

// Written under a temporary name beside it and then renamed: the band never reads half a file,
// and a file that is there by then is never replaced.
bool WriteNewFile(const CStringW& strPath, const std::string& bytes) {
    return ReplaceFileWith(strPath, bytes, false);
}

}  // namespace

// Shared by the band's thread and the worker: whichever lets go last frees it.
struct CLrcSearch::Job {
    Job(HWND hWnd, CStringW strSong, CStringW strLrc, DWORD dwLength)
        : hNotify(hWnd),
          strSongPath(std::move(strSong)),
          strLrcPath(std::move(strLrc)),
          dwLengthMs(dwLength),
          strBaseUrl(LrcServiceUrl()),
          http(LrcServiceAgent(), LRC_CONNECT_MS, LRC_REQUEST_MS, LRCLIB_MAX_ANSWER) {}

    LrcSearchState Run();
    // False once cancelled; otherwise closing the player waits for the file to be written.
    bool BeginWriting() {
        std::lock_guard<std::mutex> lock(mutex);
        bWriting = !bCancelled;
        return bWriting;
    }

    // Fixed before the worker starts.
    const HWND hNotify;
    const CStringW strSongPath;
    const CStringW strLrcPath;
    const DWORD dwLengthMs;
    const std::wstring strBaseUrl;
    CHttpGet http;     // cancelled from the band's thread
    CHandle hThread;   // the band's thread only
    std::mutex mutex;  // guards what follows
    bool bCancelled = false;
    bool bWriting = false;
    bool bDone = false;
    LrcSearchState result = LrcSearchState::NotFound;
};

LrcSearchState CLrcSearch::Job::Run() {
    const SongTags tags = DescribeSong(strSongPath);
    DWORD dwStatus = 0;
    std::string strBody;
    LrcAnswer answer;
    const std::string strGet = LrclibGetPath(tags, dwLengthMs);
    if (!strGet.empty()) {
        const CHttpGet::Result result = http.Get(strBaseUrl, strGet, &dwStatus, &strBody);
        // No way through, or out of time: a second question would fare no better.
        if (result == CHttpGet::FAILED || result == CHttpGet::CANCELLED)
            return LrcSearchState::NotFound;
        if (result == CHttpGet::OK && dwStatus == 200)
            answer = ReadLrclibRecord(strBody);
    }
    if (answer.kind != LrcAnswerKind::Synced && answer.kind != LrcAnswerKind::Instrumental) {
        const std::string strSearch = LrclibSearchPath(tags);
        if (!strSearch.empty() && http.Get(strBaseUrl, strSearch, &dwStatus, &strBody) == CHttpGet::OK &&
            dwStatus == 200) {
            LrcAnswer found = ReadLrclibSearch(strBody, dwLengthMs);
            if (found.kind == LrcAnswerKind::Synced || found.kind == LrcAnswerKind::Instrumental)
                answer = std::move(found);
        }
    }
    if (answer.kind == LrcAnswerKind::Instrumental)
        return LrcSearchState::Instrumental;
    if (answer.kind != LrcAnswerKind::Synced || !BeginWriting())
        return LrcSearchState::NotFound;
    return WriteNewFile(strLrcPath, LrcFileText(answer, tags)) ? LrcSearchState::Found : LrcSearchState::NotFound;
}

unsigned __stdcall CLrcSearch::RunJob(void* pJob) {
    const std::unique_ptr<std::shared_ptr<Job>> owner(static_cast<std::shared_ptr<Job>*>(pJob));
    Job& job = **owner;
    const LrcSearchState result = job.Run();
    std::lock_guard<std::mutex> lock(job.mutex);
    job.result = result;
    job.bDone = true;
    // Under the lock: once the band has cancelled, its window may be gone.
    if (!job.bCancelled)
        ::PostMessageA(job.hNotify, WM_LRC_SEARCHED, 0, 0);
    return 0;
}

CLrcSearch::~CLrcSearch() {
    std::vector<HANDLE> writers;
    for (const auto& job : m_jobs) {
        {
            std::lock_guard<std::mutex> lock(job->mutex);
            job->bCancelled = true;
            if (job->bWriting && !job->bDone)
                writers.push_back(job->hThread.Get());
        }
        // Under Wine a call already waiting on the network is not ended by this, only the next.
        job->http.Cancel();
    }
    // A search still asking is not waited for; one writing is, so that no half-written
    // temporary file is left behind.
    const ULONGLONG ullDeadline = ::GetTickCount64() + kShutdownWaitMs;
    for (const HANDLE hThread : writers) {
        const ULONGLONG ullNow = ::GetTickCount64();
        ::WaitForSingleObject(hThread, ullNow < ullDeadline ? static_cast<DWORD>(ullDeadline - ullNow) : 0);
    }
}

bool CLrcSearch::IsEnabled() {
    return CLrcSwitch(kOffSwitch).IsOn();
}

bool CLrcSearch::Toggle() {
    return CLrcSwitch(kOffSwitch).Toggle();
}

void CLrcSearch::Begin(HWND hNotify, const CStringW& strSongPath, const CStringW& strLrcPath, DWORD dwLengthMs) {
    if (m_mapState.count(strSongPath) || !IsEnabled())
        return;
    const auto job = std::make_shared<Job>(hNotify, strSongPath, strLrcPath, dwLengthMs);
    auto* pOwner = new std::shared_ptr<Job>(job);
    const uintptr_t hThread = ::_beginthreadex(nullptr, 0, &CLrcSearch::RunJob, pOwner, 0, nullptr);
    if (!hThread) {
        delete pOwner;
        m_mapState[strSongPath] = LrcSearchState::NotFound;
        return;
    }
    job->hThread.Reset(reinterpret_cast<HANDLE>(hThread));
    m_jobs.push_back(job);
    m_mapState[strSongPath] = LrcSearchState::Searching;
}

LrcSearchState CLrcSearch::StateOf(const CStringW& strSongPath) const {
    const auto it = m_mapState.find(strSongPath);
    if (it != m_mapState.end())
        return it->second;
    return IsEnabled() ? LrcSearchState::Searching : LrcSearchState::NotFound;
}

std::vector<CStringW> CLrcSearch::TakeFinished() {
    std::vector<CStringW> finished;
    std::vector<std::shared_ptr<Job>> running;
    for (auto& job : m_jobs) {
        bool bDone = false;
        LrcSearchState result = LrcSearchState::NotFound;
        {
            std::lock_guard<std::mutex> lock(job->mutex);
            bDone = job->bDone;
            result = job->result;
        }
        if (bDone) {
            m_mapState[job->strSongPath] = result;
            finished.push_back(job->strSongPath);
        } else {
            running.push_back(std::move(job));
        }
    }
    m_jobs.swap(running);
    return finished;
}
