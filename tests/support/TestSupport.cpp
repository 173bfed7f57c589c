#include "support/TestSupport.h"

#include <mmsystem.h>

#include <shlobj.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "framework/Holders.h"

std::string TestDataPath(const std::string& relative) {
    return std::string(SONELLO_TEST_DATA) + "/" + relative;
}

std::string BuildDataPath(const std::string& relative) {
    return std::string(SONELLO_BUILD_DATA) + "/" + relative;
}

namespace {

// Wide throughout: tests make files whose names the ANSI code page cannot spell.
void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    // Closed before the folder goes, which Windows refuses while a search is open in it.
    if (const CFindHandle found(::FindFirstFileW((dir + L"\\*").c_str(), &fd)); found) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring full = dir + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full);
            } else {
                ::SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(full.c_str());
            }
        } while (::FindNextFileW(found.Get(), &fd));
    }
    ::SetFileAttributesW(dir.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryW(dir.c_str());
}

}  // namespace

ScratchDir::ScratchDir() {
    static int s_nCounter = 0;
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    char name[MAX_PATH];
    std::snprintf(name, sizeof(name), "%ssonello_%lu_%lu_%d", temp, ::GetCurrentProcessId(), ::GetTickCount(),
                  ++s_nCounter);
    m_path = name;
    ::CreateDirectoryA(m_path.c_str(), nullptr);
}

ScratchDir::~ScratchDir() {
    RemoveTree(Widen(m_path));
}

std::wstring Widen(const std::string& str) {
    const int nChars = ::MultiByteToWideChar(CP_ACP, 0, str.data(), static_cast<int>(str.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(nChars), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, str.data(), static_cast<int>(str.size()), &wide[0], nChars);
    return wide;
}

CurrentDirScope::CurrentDirScope(const std::string& dir) {
    ::GetCurrentDirectoryA(MAX_PATH, m_old);
    ::SetCurrentDirectoryA(dir.c_str());
}

CurrentDirScope::~CurrentDirScope() {
    ::SetCurrentDirectoryA(m_old);
}

HDROP MakeWideDrop(const std::vector<std::wstring>& paths) {
    size_t nChars = 1;
    for (const std::wstring& path : paths)
        nChars += path.size() + 1;
    const HGLOBAL hGlobal = ::GlobalAlloc(GHND, sizeof(DROPFILES) + nChars * sizeof(wchar_t));
    auto* pDrop = static_cast<DROPFILES*>(::GlobalLock(hGlobal));
    pDrop->pFiles = sizeof(DROPFILES);
    pDrop->fWide = TRUE;
    auto* pszNext = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(pDrop) + sizeof(DROPFILES));
    for (const std::wstring& path : paths) {
        std::memcpy(pszNext, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        pszNext += path.size() + 1;
    }
    ::GlobalUnlock(hGlobal);
    return static_cast<HDROP>(hGlobal);
}

void WriteWav(const std::string& path, int nMilliseconds, int nFrequency) {
    const uint32_t rate = 22050;
    const uint32_t samples = static_cast<uint32_t>(static_cast<uint64_t>(rate) * nMilliseconds / 1000);
    std::vector<int16_t> pcm(samples);
    for (uint32_t i = 0; i < samples; ++i)
        pcm[i] = static_cast<int16_t>(8000 * std::sin(2 * 3.14159265358979 * nFrequency * i / rate));
    const uint32_t dataBytes = samples * 2;
    std::string out;
    auto put32 = [&](uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&](uint16_t v) { out.append(reinterpret_cast<const char*>(&v), 2); };
    out += "RIFF";
    put32(36 + dataBytes);
    out += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(rate);
    put32(rate * 2);
    put16(2);
    put16(16);
    out += "data";
    put32(dataBytes);
    out.append(reinterpret_cast<const char*>(pcm.data()), dataBytes);
    WriteFileBytes(path, out);
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    const CFilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f)
        return bytes;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof(buf), f.Get())) > 0)
        bytes.append(buf, n);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    const CFilePtr f(std::fopen(path.c_str(), "wb"));
    if (f)
        std::fwrite(bytes.data(), 1, bytes.size(), f.Get());
}

void PumpMessages(DWORD dwMilliseconds) {
    PumpUntil([] { return false; }, dwMilliseconds);
}

bool PumpUntil(const std::function<bool()>& condition, DWORD dwTimeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (condition())
            return true;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= dwTimeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, (dwTimeoutMs - elapsed) < 10 ? (dwTimeoutMs - elapsed) : 10,
                                    QS_ALLINPUT);
    }
}

bool WaitUntilEndQueued(HWND hWnd, DWORD dwTimeoutMs) {
    const ULONGLONG ullEnd = ::GetTickCount64() + dwTimeoutMs;
    for (;;) {
        MSG msg;
        if (::PeekMessageA(&msg, hWnd, MM_MCINOTIFY, MM_MCINOTIFY, PM_NOREMOVE)) {
            if (msg.wParam == MCI_NOTIFY_SUCCESSFUL)
                return true;
            ::PeekMessageA(&msg, hWnd, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE);
            continue;
        }
        if (::GetTickCount64() > ullEnd)
            return false;
        ::Sleep(10);
    }
}

DWORD ThreadCpuMilliseconds() {
    FILETIME created, exited, kernel, user;
    if (!::GetThreadTimes(::GetCurrentThread(), &created, &exited, &kernel, &user))
        return 0;
    const auto ticks = [](const FILETIME& ft) {
        return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    };
    return static_cast<DWORD>((ticks(kernel) + ticks(user)) / 10000);
}

void PrintTo(const CStringW& str, std::ostream* os) {
    *os << '"' << str.ToUtf8() << '"';
}
