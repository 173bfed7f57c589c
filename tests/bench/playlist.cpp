// Times the player, the song-list store and the song-list window on long lists in the current
// directory: 10,000 and 200,000 songs, each size in a process of its own so that its peak
// memory is its own. Every store operation parses and saves the whole file, so these grow with
// the list; what matters is that they grow no faster than it.
//   bench_playlist            both sizes
//   bench_playlist 200000     one size
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/Holders.h"
#include "playlist/CPlayList.h"
#include "playlist/CSongListStore.h"
#include "tests/bench/BenchClock.h"

namespace {

const int kDefaultSizes[] = {10000, 200000};
const int kDropFiles = 100;
// The unbatched case saves once per song: beyond this size it would run for minutes.
const int kUnbatchedUpTo = 10000;

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

void PrintTimes(const char* pszWhat, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("  %-46s median %8.1f ms   min %8.1f ms   max %8.1f ms\n", pszWhat, Median(ms), ms.front(), ms.back());
    std::fflush(stdout);
}

// Runs f nRuns times and prints the median.
void Time(const char* pszWhat, int nRuns, const std::function<void()>& f) {
    std::vector<double> ms;
    for (int i = 0; i < nRuns; ++i) {
        const double start = NowMs();
        f();
        ms.push_back(NowMs() - start);
    }
    PrintTimes(pszWhat, ms);
}

// About 130 bytes a song in the file, as in a real library of long names.
CString SongPathGbk(int i) {
    CString str;
    str.Format("D:\\音乐\\华语流行\\歌手%03d\\专辑%04d - 夜空中最亮的星\\%06d - 第%d首 这是一首名字很长的歌.mp3",
               i % 500, i / 12, i, i % 12 + 1);
    return str;
}

CStringW SongPath(int i) {
    return CStringW::FromGbk(SongPathGbk(i).Str());
}

std::string Utf8(const CString& str) {
    const int nWide = ::MultiByteToWideChar(CP_ACP, 0, str.GetString(), str.GetLength(), nullptr, 0);
    std::wstring wide(static_cast<size_t>(nWide), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, str.GetString(), str.GetLength(), &wide[0], nWide);
    const int nBytes = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(nBytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), nWide, &bytes[0], nBytes, nullptr, nullptr);
    return bytes;
}

// Writes the file as the store would leave it, without a DOM and a thousand songs at a time:
// building it whole would count the builder's memory in this process's peak.
size_t WriteList(int nSongs) {
    const CFileHandle file(
        ::CreateFileA(CSongListStore::kFileName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    size_t nTotal = 0;
    std::string xml = u8"<歌曲列表><列表1><列表名字>默认</列表名字>";
    for (int i = 0; i <= nSongs; ++i) {
        if (i == nSongs)
            xml += u8"</列表1><列表2><列表名字>其他</列表名字><歌曲路径>D:\\a.mp3</歌曲路径></列表2></歌曲列表>\n";
        else
            xml += u8"<歌曲路径>" + Utf8(SongPathGbk(i)) + u8"</歌曲路径>";
        if (i % 1000 == 999 || i == nSongs) {
            DWORD dwWritten = 0;
            ::WriteFile(file.Get(), xml.data(), static_cast<DWORD>(xml.size()), &dwWritten, nullptr);
            nTotal += xml.size();
            xml.clear();
        }
    }
    return nTotal;
}

HDROP MakeDrop(int nFirst, int nCount) {
    std::string files;
    for (int i = 0; i < nCount; ++i) {
        files += SongPathGbk(nFirst + i).Str();
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

double PeakMegabytes(HANDLE hProcess) {
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof(pmc);
    if (!::GetProcessMemoryInfo(hProcess, &pmc, sizeof(pmc)))
        return -1;
    return static_cast<double>(pmc.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

struct Search {
    DWORD dwProcessId;
    int nMarker;
    bool bVisible;
    HWND hFound;
};

BOOL CALLBACK FindWindowOf(HWND hWnd, LPARAM lParam) {
    auto* s = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid == s->dwProcessId && (!s->bVisible || ::IsWindowVisible(hWnd)) && ::GetDlgItem(hWnd, s->nMarker)) {
        s->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindWindowOf(DWORD dwProcessId, int nMarker, bool bVisible) {
    Search s = {dwProcessId, nMarker, bVisible, nullptr};
    ::EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&s));
    return s.hFound;
}

struct PlayerRun {
    double dStartMs = -1;
    double dNewListMs = -1;
    double dPeakMb = -1;
};

// Sonello.exe in this folder: start to main window shown, then one 新建列表 pressed in its song
// list, then its peak memory.
PlayerRun RunPlayer(const std::string& exe) {
    PlayerRun run;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::string cmd = "\"" + exe + "\"";
    const double start = NowMs();
    if (!::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return run;
    const CHandle process(pi.hProcess), thread(pi.hThread);
    HWND hMain = nullptr;
    for (int i = 0; i < 120000 && !hMain; ++i) {
        hMain = FindWindowOf(pi.dwProcessId, IDC_PLAY, true);
        if (!hMain)
            ::Sleep(1);
    }
    if (hMain) {
        run.dStartMs = NowMs() - start;
        const HWND hList = FindWindowOf(pi.dwProcessId, IDC_NEWLIST, false);
        DWORD_PTR dwResult = 0;
        const double startEdit = NowMs();
        if (hList && ::SendMessageTimeoutA(hList, WM_COMMAND, MAKEWPARAM(IDC_NEWLIST, BN_CLICKED),
                                           reinterpret_cast<LPARAM>(::GetDlgItem(hList, IDC_NEWLIST)), SMTO_NORMAL,
                                           120000, &dwResult))
            run.dNewListMs = NowMs() - startEdit;
        run.dPeakMb = PeakMegabytes(process.Get());
        ::PostMessageA(hMain, WM_COMMAND, IDCANCEL, 0);
    }
    if (::WaitForSingleObject(process.Get(), 30000) != WAIT_OBJECT_0)
        ::TerminateProcess(process.Get(), 1);
    return run;
}

// Sonello.exe beside this program, nRuns times on the list written.
void MeasurePlayer(int nRuns) {
    char self[MAX_PATH];
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string exe(self);
    exe = exe.substr(0, exe.find_last_of('\\')) + "\\Sonello.exe";
    std::vector<double> startMs, newListMs, peakMb;
    for (int i = 0; i < nRuns; ++i) {
        const PlayerRun run = RunPlayer(exe);
        startMs.push_back(run.dStartMs);
        newListMs.push_back(run.dNewListMs);
        peakMb.push_back(run.dPeakMb);
    }
    PrintTimes("Sonello.exe: start to main window shown", startMs);
    PrintTimes("Sonello.exe: one new list (OnNewList)", newListMs);
    std::printf("  %-46s median %8.1f MB\n", "Sonello.exe: peak memory (working set)", Median(peakMb));
}

int RunSize(int nSongs) {
    // A message box would wait for a click that never comes.
    CSongListStore::SetMessageFn(
        [](HWND, const char* pszText, const char*) { std::fprintf(stderr, "store message: %s\n", pszText); });
    const int nRuns = nSongs > kUnbatchedUpTo ? 3 : 5;
    std::printf("%d songs: file %.1f MB\n", nSongs, static_cast<double>(WriteList(nSongs)) / (1024.0 * 1024.0));

    MeasurePlayer(nRuns);
    WriteList(nSongs);

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    CSongListStore store(nullptr);
    std::vector<CString> names;
    std::vector<CStringW> songs;
    double start = NowMs();
    CPlayList dlg;
    dlg.Create(IDD_PLAYLIST, nullptr);
    std::printf("  %-46s %8.1f ms\n", "window created (LoadAll included)", NowMs() - start);

    Time("store LoadAll", nRuns, [&] { store.LoadAll(names, songs); });
    std::vector<CStringW>().swap(songs);  // the window keeps its own copy in its box
    Time("window LoadAll (store + both boxes)", nRuns, [&] { dlg.LoadAll(); });
    Time("window ShowListSongs", nRuns, [&] { dlg.ShowListSongs("默认"); });
    Time("new list through OnNewList", nRuns, [&] {
        dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_NEWLIST, BN_CLICKED),
                        reinterpret_cast<LPARAM>(dlg.GetDlgItem(IDC_NEWLIST)));
    });
    int nNext = nSongs;
    Time("one AddSong", nRuns, [&] { dlg.AddSong(SongPath(nNext++), "默认"); });
    Time("drop of 100 files through OnDropFiles", nRuns, [&] {
        const HDROP hDrop = MakeDrop(nNext, kDropFiles);
        nNext += kDropFiles;
        dlg.SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(hDrop));
    });
    int nUnbatched = 0;
    if (nSongs <= kUnbatchedUpTo) {
        Time("100 files one AddSong each (unbatched)", nRuns, [&] {
            for (int i = 0; i < kDropFiles; ++i) {
                const CStringW strPath = SongPath(nNext++);
                if (dlg.AddSong(strPath, "默认"))
                    dlg.m_lbSongs.AddString(strPath);
            }
        });
        nUnbatched = nRuns * kDropFiles;
    }
    std::printf("  %-46s %8.1f MB\n", "this process: peak memory (working set)", PeakMegabytes(::GetCurrentProcess()));

    store.ListSongs("默认", songs);
    const int nExpected = nSongs + nRuns + nRuns * kDropFiles + nUnbatched;
    // The single AddSong runs go to the store only, as the window's own calls come after its box.
    std::printf("  list now holds %zu songs (expected %d); songs box %d rows (expected %d)\n", songs.size(), nExpected,
                dlg.m_lbSongs.GetCount(), nExpected - nRuns);
    return static_cast<int>(songs.size()) == nExpected && dlg.m_lbSongs.GetCount() == nExpected - nRuns ? 0 : 1;
}

// Each size in a fresh process of this program.
int RunEachSize() {
    char self[MAX_PATH];
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    int nResult = 0;
    for (int nSongs : kDefaultSizes) {
        std::string cmd = "\"" + std::string(self) + "\" " + std::to_string(nSongs);
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (!::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
            return 1;
        const CHandle process(pi.hProcess), thread(pi.hThread);
        ::WaitForSingleObject(process.Get(), INFINITE);
        DWORD dwExit = 1;
        ::GetExitCodeProcess(process.Get(), &dwExit);
        nResult |= static_cast<int>(dwExit);
    }
    return nResult;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1)
        return RunSize(std::max(1, std::atoi(argv[1])));
    return RunEachSize();
}
