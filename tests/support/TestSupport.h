// Helpers shared by the test suites: paths, scratch folders, sound files, message pumping.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "framework/CStringW.h"

// A file or folder beside the tests in the source tree, as Wine sees it.
std::string TestDataPath(const std::string& relative);
// A file made by the build (the MP3 tone).
std::string BuildDataPath(const std::string& relative);

// A fresh, empty folder under the temp folder; removed with everything in it when it goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "\\" + name; }

private:
    std::string m_path;
};

// The ANSI text in UTF-16.
std::wstring Widen(const std::string& str);

// Makes the process's current directory the given one while it lives.
class CurrentDirScope {
public:
    explicit CurrentDirScope(const std::string& dir);
    ~CurrentDirScope();

private:
    char m_old[MAX_PATH] = {};
};

// A drop as Explorer makes it, the paths in UTF-16; the window frees it with DragFinish.
HDROP MakeWideDrop(const std::vector<std::wstring>& paths);

// A 16-bit mono PCM tone of the given length.
void WriteWav(const std::string& path, int nMilliseconds, int nFrequency = 440);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

// Dispatches this thread's messages for the given time.
void PumpMessages(DWORD dwMilliseconds);
// Dispatches messages until the condition holds or the time is up; returns the condition.
bool PumpUntil(const std::function<bool()>& condition, DWORD dwTimeoutMs);
// Waits, dispatching nothing, until the end of a play (MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL)
// stands first among the notices queued for hWnd; the other notices before it are dropped, as
// the player ignores them.
bool WaitUntilEndQueued(HWND hWnd, DWORD dwTimeoutMs);

// CPU time this thread has used, in milliseconds: a bound on work that other processes on a
// busy machine cannot push over, unlike the wall clock.
DWORD ThreadCpuMilliseconds();

// A failing comparison of UTF-16 texts shows them as UTF-8, as the terminal reads it.
void PrintTo(const CStringW& str, std::ostream* os);
