// Times process start to main window shown for the bare dialog program, the floor program (the
// platform work the player cannot avoid) and Sonello.exe, in alternating runs, and prints the
// medians and Sonello's ratios to the other two. Then runs the three again with their step
// times on and prints where each start goes.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "res/resource.h"
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
    if (pid == s->dwProcessId && ::IsWindowVisible(hWnd) && ::GetDlgItem(hWnd, IDC_PLAY)) {
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
        *pWhy = code == STILL_ACTIVE
                    ? "showed no main window"
                    : "ended with exit code " + std::to_string(code) + " before its main window showed";
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

// The middle half of the runs, to show how much the machine moved the figures.
void PrintRow(const char* pszName, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    std::printf("  %-22s %8.1f ms   (middle half %.1f-%.1f)\n", pszName, Median(v), v[v.size() / 4],
                v[std::min(v.size() - 1, v.size() * 3 / 4)]);
}

// The steps one program noted in its runs, in the order first seen.
struct Steps {
    std::vector<std::string> order;
    std::map<std::string, std::vector<double>> ends;     // ms after the process was created
    std::map<std::string, std::vector<double>> lengths;  // ms after the step before it
};

// Reads one run's "step<TAB>ms" lines. Steps of the warm-up thread are timed from the one
// before them on that thread.
void ReadSteps(const std::string& file, Steps* pSteps) {
    std::ifstream in(file);
    std::string line;
    std::map<bool, double> last;  // by "is a warm-up step"
    while (std::getline(in, line)) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        const std::string step = line.substr(0, tab);
        const double ms = std::atof(line.c_str() + tab + 1);
        const bool bWarm = step.compare(0, 7, "warm-up") == 0;
        if (!pSteps->ends.count(step))
            pSteps->order.push_back(step);
        pSteps->ends[step].push_back(ms);
        pSteps->lengths[step].push_back(ms - (last.count(bWarm) ? last[bWarm] : 0.0));
        last[bWarm] = ms;
    }
}

// Runs the three programs in turn with SONELLO_STARTUP_TIMES set and prints the medians of
// their common milestones, then of each step of Sonello's.
void PrintSteps(const std::vector<std::string>& programs, const std::string& dir, int runs) {
    const std::string file = dir + "\\startup-times.txt";
    ::SetEnvironmentVariableA("SONELLO_STARTUP_TIMES", file.c_str());
    std::vector<Steps> steps(3);
    for (int i = 0; i < runs; ++i) {
        for (size_t p = 0; p < steps.size(); ++p) {
            ::DeleteFileA(file.c_str());
            Timed(programs[p], dir);
            ReadSteps(file, &steps[p]);
        }
    }
    ::SetEnvironmentVariableA("SONELLO_STARTUP_TIMES", nullptr);
    ::DeleteFileA(file.c_str());
    const auto at = [&](size_t p, const char* pszStep) {
        const auto it = steps[p].ends.find(pszStep);
        return it == steps[p].ends.end() ? -1.0 : Median(it->second);
    };
    std::printf("where the start goes, medians of %d runs (ms after the process was created):\n", runs);
    std::printf("  %-34s %8s %8s %8s\n", "reached", "bare", "floor", "Sonello");
    for (const char* pszStep : {"InitInstance", "dialog created", "initialised"})
        std::printf("  %-34s %8.1f %8.1f %8.1f\n", pszStep, at(0, pszStep), at(1, pszStep), at(2, pszStep));
    const Steps& own = steps[2];
    std::printf("Sonello.exe's steps:\n");
    std::printf("  %-40s %8s %8s\n", "step", "ended", "took");
    for (const std::string& step : own.order)
        std::printf("  %-40s %8.1f %8.1f\n", step.c_str(), Median(own.ends.at(step)), Median(own.lengths.at(step)));
}

}  // namespace

int main(int argc, char** argv) {
    char self[MAX_PATH];
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string dir(self);
    dir = dir.substr(0, dir.find_last_of('\\'));
    const std::string sonello = dir + "\\Sonello.exe";
    char cwd[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, cwd);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    // Further programs named after the count, a saved build of the player say, join the
    // rotation: a change is best judged against its old self on the same load.
    std::vector<std::string> programs = {dir + "\\bench_baredialog.exe", dir + "\\bench_floordialog.exe", sonello};
    for (int i = 2; i < argc; ++i)
        programs.push_back(argv[i]);

    // One unmeasured run of each: the player's first makes MySongList.xml, which the floor
    // reads, and each warms the file cache.
    Timed(sonello, cwd);
    for (const std::string& program : programs)
        Timed(program, cwd);
    std::vector<std::vector<double>> times(programs.size());
    for (int i = 0; i < runs; ++i)
        for (size_t p = 0; p < programs.size(); ++p)
            times[p].push_back(Timed(programs[p], cwd));
    const double mb = Median(times[0]);
    const double mf = Median(times[1]);
    const double ms = Median(times[2]);
    std::printf("start to main window shown, median of %d alternating runs each:\n", runs);
    PrintRow("bare dialog program", times[0]);
    PrintRow("floor program", times[1]);
    PrintRow("Sonello.exe", times[2]);
    for (size_t p = 3; p < programs.size(); ++p)
        PrintRow(programs[p].substr(programs[p].find_last_of("\\/") + 1).c_str(), times[p]);
    std::printf("  Sonello / floor        %8.2f (target: at most 1.10)\n", mf > 0 ? ms / mf : 0.0);
    std::printf("  Sonello / bare         %8.2f (target: at most 1.50)\n", mb > 0 ? ms / mb : 0.0);
    std::fflush(stdout);
    PrintSteps(programs, cwd, runs);
    return 0;
}
