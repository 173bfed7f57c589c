// Times process start to main window shown, for Sonello.exe and for the bare dialog program,
// alternating runs of each, and prints the medians and their ratio.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/bench/BenchClock.h"

namespace {

struct Search {
    DWORD dwProcessId;
    HWND hFound;
};

BOOL CALLBACK FindShown(HWND hWnd, LPARAM lParam) {
    auto* s = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid == s->dwProcessId && ::IsWindowVisible(hWnd) && ::GetDlgItem(hWnd, 1004)) {
        s->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds from CreateProcess to the main window shown, or -1 with the reason in *pWhy.
double TimeToWindow(const std::string& exe, const std::string& dir, std::string* pWhy) {
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::string cmd = "\"" + exe + "\"";
    const double start = NowMs();
    if (!::CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) {
        *pWhy = "could not be started (error " + std::to_string(::GetLastError()) + ")";
        return -1;
    }
    Search s = {pi.dwProcessId, nullptr};
    double ms = -1;
    for (int i = 0; i < 20000 && !s.hFound; ++i) {
        ::EnumWindows(FindShown, reinterpret_cast<LPARAM>(&s));
        if (s.hFound) {
            ms = NowMs() - start;
            break;
        }
        ::Sleep(1);
    }
    if (s.hFound)
        ::PostMessageA(s.hFound, WM_COMMAND, IDCANCEL, 0);
    DWORD code = STILL_ACTIVE;
    if (!s.hFound && ::GetExitCodeProcess(pi.hProcess, &code))
        *pWhy = code == STILL_ACTIVE ? "showed no main window" : "ended with exit code " + std::to_string(code) +
                                                                     " before its main window showed";
    if (::WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return ms;
}

// A run whose window never showed is no time at all: it is run once more, said on stderr, and
// a second failure ends the benchmark rather than enter its medians.
double Timed(const std::string& exe, const std::string& dir) {
    std::string why;
    double ms = TimeToWindow(exe, dir, &why);
    if (ms < 0) {
        std::fprintf(stderr, "retry: %s %s; running it once more\n", exe.c_str(), why.c_str());
        ms = TimeToWindow(exe, dir, &why);
    }
    if (ms < 0) {
        std::fprintf(stderr, "bench_startup: %s %s, again\n", exe.c_str(), why.c_str());
        std::exit(1);
    }
    return ms;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    char self[MAX_PATH];
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string dir(self);
    dir = dir.substr(0, dir.find_last_of('\\'));
    const std::string sonello = dir + "\\Sonello.exe";
    const std::string bare = dir + "\\bench_baredialog.exe";
    char cwd[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, cwd);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;

    // One unmeasured run of each: the first makes MySongList.xml and warms the file cache.
    Timed(sonello, cwd);
    Timed(bare, cwd);
    std::vector<double> a;
    std::vector<double> b;
    for (int i = 0; i < runs; ++i) {
        a.push_back(Timed(sonello, cwd));
        b.push_back(Timed(bare, cwd));
    }
    const double ma = Median(a);
    const double mb = Median(b);
    std::printf("start to main window shown, median of %d runs each:\n", runs);
    std::printf("  Sonello.exe            %8.1f ms\n", ma);
    std::printf("  bare dialog program    %8.1f ms\n", mb);
    std::printf("  ratio                  %8.2f (target: at most 1.30)\n", mb > 0 ? ma / mb : 0.0);
    return 0;
}
