#include "app/StartupTimes.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "framework/Holders.h"

namespace StartupTimes {
namespace {

struct Entry {
    const char* pszStep;
    double dMs;
};

const int kMaxEntries = 64;
Entry g_entries[kMaxEntries];
std::atomic<int> g_nEntries{0};
std::atomic<bool> g_bWritten{false};

// The file to write, or empty; read once.
const char* Target() {
    static char s_szPath[MAX_PATH] = {};
    static const bool s_bRead = [] {
        const DWORD n = ::GetEnvironmentVariableA("SONELLO_STARTUP_TIMES", s_szPath, MAX_PATH);
        if (n == 0 || n >= MAX_PATH)
            s_szPath[0] = '\0';
        return true;
    }();
    (void)s_bRead;
    return s_szPath;
}

double MsSinceCreation() {
    FILETIME ftCreated, ftExit, ftKernel, ftUser, ftNow;
    ::GetProcessTimes(::GetCurrentProcess(), &ftCreated, &ftExit, &ftKernel, &ftUser);
    ::GetSystemTimePreciseAsFileTime(&ftNow);
    const auto ticks = [](const FILETIME& ft) {
        return static_cast<long long>((static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
    };
    return static_cast<double>(ticks(ftNow) - ticks(ftCreated)) / 10000.0;
}

}  // namespace

void Note(const char* pszStep) {
    if (!*Target())
        return;
    const double dMs = MsSinceCreation();
    const int i = g_nEntries.fetch_add(1);
    if (i < kMaxEntries)
        g_entries[i] = {pszStep, dMs};
}

void Write() {
    if (!*Target() || g_bWritten.exchange(true))
        return;
    const CFilePtr file(std::fopen(Target(), "w"));
    if (!file)
        return;
    const int n = g_nEntries.load() < kMaxEntries ? g_nEntries.load() : kMaxEntries;
    for (int i = 0; i < n; ++i)
        std::fprintf(file.Get(), "%s\t%.2f\n", g_entries[i].pszStep, g_entries[i].dMs);
}

}  // namespace StartupTimes
