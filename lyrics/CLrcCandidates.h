// The network's candidates for one song's lyrics, asked for on a worker thread: the search by
// title and artist, and by title alone when that finds nothing. The worker gets the song's names
// and length and hands back only its list; the window it tells may go before it ends.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "lyrics/LrclibApi.h"
#include "tags/SongTags.h"

// Posted to the window the question was asked for once the answer is in.
constexpr UINT WM_LRC_CANDIDATES = WM_APP + 31;

enum class LrcCandidatesState {
    Asking,
    Found,      // at least one candidate
    NoneFound,  // the service answered with none
    Offline,    // no connection, out of time, or an answer that is not the service's
};

class CLrcCandidates {
public:
    CLrcCandidates() = default;
    // Lets a worker still asking end on its own: it posts nothing afterwards.
    ~CLrcCandidates();
    CLrcCandidates(const CLrcCandidates&) = delete;
    CLrcCandidates& operator=(const CLrcCandidates&) = delete;

    // Asks anew; an earlier question still out is dropped.
    void Begin(HWND hNotify, const SongTags& tags, DWORD dwLengthMs);
    LrcCandidatesState State() const;
    // The candidates once Found, timed first and nearest the song's length first.
    const std::vector<LrcCandidate>& Candidates() const;

private:
    struct Job;
    static unsigned __stdcall RunJob(void* pJob);
    void Drop();

    std::shared_ptr<Job> m_job;
};
