// The band's search for the lyrics of songs that have none: for each song that starts without a
// lyric file, once a run, a worker thread asks the lyrics service and keeps a synced answer as
// the song's lyric file, then tells the band's window. The worker touches no shared player state;
// it gets the song's path, its lyric file's path and its length, and hands back only how the
// search ended. Off while the file "Lrc\不联网" exists.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/CStringW.h"

// Posted to the window a search was begun for when one has ended.
constexpr UINT WM_LRC_SEARCHED = WM_APP + 1;

enum class LrcSearchState {
    Searching,     // under way, or about to start when the song plays
    Found,         // a lyric file was written
    Instrumental,  // the service says the song has no words
    NotFound,      // nothing kept: no answer, no synced lyrics, or the search is off
};

class CLrcSearch {
public:
    CLrcSearch() = default;
    // Ends the searches under way: none of them posts or starts a file afterwards, and one
    // writing its file is waited for.
    ~CLrcSearch();
    CLrcSearch(const CLrcSearch&) = delete;
    CLrcSearch& operator=(const CLrcSearch&) = delete;

    static bool IsEnabled();
    // Switches the search off (making the file) or on (removing it); returns whether it is on.
    static bool Toggle();

    // Starts the search for a song playing without a lyric file, unless the search is off or
    // the song was searched before in this run. strLrcPath: where its lyric file belongs, full.
    void Begin(HWND hNotify, const CStringW& strSongPath, const CStringW& strLrcPath, DWORD dwLengthMs);
    // How it stands for a song; a song not searched yet is Searching while the search is on.
    LrcSearchState StateOf(const CStringW& strSongPath) const;
    // The songs whose searches have ended since the last call, oldest first.
    std::vector<CStringW> TakeFinished();

private:
    struct Job;
    static unsigned __stdcall RunJob(void* pJob);

    std::map<CStringW, LrcSearchState> m_mapState;
    std::vector<std::shared_ptr<Job>> m_jobs;
};
