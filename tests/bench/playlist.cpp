// Times the song-list store and window on a 10,000-song list in the current directory.
// Every store operation parses and saves the whole file, so these grow with the list.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "playlist/CPlayList.h"
#include "playlist/CSongListStore.h"
#include "tests/bench/BenchClock.h"

namespace {

const int kListSongs = 10000;
const int kDropFiles = 100;
const int kRuns = 5;

// Runs f kRuns times; prints and returns the median.
double Time(const char* pszWhat, const std::function<void()>& f) {
    std::vector<double> ms;
    for (int i = 0; i < kRuns; ++i) {
        const double start = NowMs();
        f();
        ms.push_back(NowMs() - start);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s median %8.1f ms   min %8.1f ms   max %8.1f ms\n", pszWhat, ms[kRuns / 2], ms.front(),
                ms.back());
    std::fflush(stdout);
    return ms[kRuns / 2];
}

CString SongPath(int i) {
    CString str;
    str.Format("D:\\音乐\\专辑%d\\第%05d首歌.mp3", i / 12, i);
    return str;
}

HDROP MakeDrop(int nFirst, int nCount) {
    std::string files;
    for (int i = 0; i < nCount; ++i) {
        files += SongPath(nFirst + i).Str();
        files += '\0';
    }
    files += '\0';
    const HGLOBAL hGlobal = ::GlobalAlloc(GHND, sizeof(DROPFILES) + files.size());
    auto* pDrop = static_cast<DROPFILES*>(::GlobalLock(hGlobal));
    pDrop->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(pDrop) + sizeof(DROPFILES), files.data(), files.size());
    ::GlobalUnlock(hGlobal);
    return static_cast<HDROP>(hGlobal);
}

}  // namespace

int main() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    // A message box would wait for a click that never comes.
    CSongListStore::SetMessageFn([](HWND, const char* pszText, const char*) {
        std::fprintf(stderr, "store message: %s\n", pszText);
    });
    ::DeleteFileA(CSongListStore::kFileName);

    CSongListStore store(nullptr);
    std::vector<CString> names, songs;
    store.LoadAll(names, songs);
    std::vector<CString> paths;
    for (int i = 0; i < kListSongs; ++i)
        paths.push_back(SongPath(i));
    double start = NowMs();
    store.AddSongs(paths, "默认");
    std::printf("built a list of %d songs in %.1f ms; file %lu bytes\n", kListSongs, NowMs() - start,
                [] {
                    WIN32_FILE_ATTRIBUTE_DATA fad = {};
                    ::GetFileAttributesExA(CSongListStore::kFileName, GetFileExInfoStandard, &fad);
                    return fad.nFileSizeLow;
                }());

    start = NowMs();
    CPlayList dlg;
    dlg.Create(IDD_PLAYLIST, nullptr);
    std::printf("window created (LoadAll included) in %.1f ms\n", NowMs() - start);

    Time("store LoadAll", [&] { store.LoadAll(names, songs); });
    Time("window LoadAll (store + both boxes)", [&] { dlg.LoadAll(); });
    Time("window ShowListSongs", [&] { dlg.ShowListSongs("默认"); });
    int nNext = kListSongs;
    Time("one AddSong", [&] { dlg.AddSong(SongPath(nNext++), "默认"); });
    Time("drop of 100 files through OnDropFiles", [&] {
        const HDROP hDrop = MakeDrop(nNext, kDropFiles);
        nNext += kDropFiles;
        dlg.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop));
    });
    Time("100 files one AddSong each (unbatched)", [&] {
        for (int i = 0; i < kDropFiles; ++i) {
            const CString strPath = SongPath(nNext++);
            if (dlg.AddSong(strPath, "默认"))
                dlg.m_lbSongs.AddString(strPath);
        }
    });

    store.ListSongs("默认", songs);
    const int nExpected = kListSongs + kRuns + 2 * kRuns * kDropFiles;
    // The single AddSong runs go to the store only, as the window's own calls come after its box.
    std::printf("list now holds %zu songs (expected %d); songs box %d rows (expected %d)\n", songs.size(), nExpected,
                dlg.m_lbSongs.GetCount(), nExpected - kRuns);
    return static_cast<int>(songs.size()) == nExpected && dlg.m_lbSongs.GetCount() == nExpected - kRuns ? 0 : 1;
}
