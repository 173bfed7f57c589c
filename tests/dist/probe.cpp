// Reads the release as Windows' shell does; prints name=value lines in UTF-8, exit 1 on failure.
//   link <file.lnk>       target and working directory (also expanded) through IShellLinkW
//   version <file.exe>    the fixed file version and each language block's texts
//   manifest <file.exe>   the embedded application manifest
//   run <command line>    expands its variables and runs it, as Windows runs a registered command
//   hold-desktop          connects to the desktop, prints "holding" and stays until killed
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/Holders.h"

namespace {

void Print(const std::wstring& name, const std::wstring& value) {
    const std::wstring line = name + L"=" + value + L"\n";
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), &bytes[0], n, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

int Link(const wchar_t* path) {
    const CComInit com;
    CComPtr<IShellLinkW> link;
    CComPtr<IPersistFile> file;
    wchar_t target[MAX_PATH] = L"", folder[MAX_PATH] = L"", expanded[MAX_PATH] = L"";
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link))) ||
        FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) ||
        FAILED(file->Load(path, STGM_READ)) || FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
        FAILED(link->GetWorkingDirectory(folder, MAX_PATH)) || !::ExpandEnvironmentStringsW(folder, expanded, MAX_PATH))
        return 1;
    Print(L"target", target);
    Print(L"workdir", folder);
    Print(L"workdir-expanded", expanded);
    return 0;
}

int Version(const wchar_t* path) {
    DWORD ignored = 0;
    std::vector<char> data(::GetFileVersionInfoSizeW(path, &ignored));
    void* value = nullptr;
    UINT length = 0;
    if (data.empty() || !::GetFileVersionInfoW(path, 0, static_cast<DWORD>(data.size()), data.data()) ||
        !::VerQueryValueW(data.data(), L"\\", &value, &length))
        return 1;
    const VS_FIXEDFILEINFO* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    Print(L"fixed", std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                        std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                        std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                        std::to_wstring(LOWORD(fixed->dwFileVersionLS)));
    if (!::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length))
        return 1;
    const WORD* pairs = static_cast<const WORD*>(value);
    for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) {
        wchar_t block[16];
        swprintf(block, 16, L"%04x%04x", pairs[i], pairs[i + 1]);
        for (const wchar_t* name : {L"ProductName", L"FileDescription", L"FileVersion", L"CompanyName"}) {
            const std::wstring query = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + name;
            if (::VerQueryValueW(data.data(), query.c_str(), &value, &length))
                Print(std::wstring(block) + L"/" + name, static_cast<const wchar_t*>(value));
        }
    }
    return 0;
}

int Manifest(const wchar_t* path) {
    const CLibrary module(::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module)
        return 1;
    const HRSRC found = ::FindResourceW(module.Get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (found)
        std::fwrite(::LockResource(::LoadResource(module.Get(), found)), 1, ::SizeofResource(module.Get(), found),
                    stdout);
    return found ? 0 : 1;
}

int Run(const std::wstring& command) {
    wchar_t line[4096] = L"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::ExpandEnvironmentStringsW(command.c_str(), line, 4096) ||
        !::CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    const CHandle running(process.hProcess), thread(process.hThread);
    ::WaitForSingleObject(running.Get(), INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(running.Get(), &code);
    return static_cast<int>(code);
}

// Wine starts the desktop process for the first program that needs one, handing it that
// program's error output, and ends it once the last such program has gone: a runner reading a
// program's errors through a pipe would wait for as long as the desktop lives. Held from here,
// with no error output, the desktop has none to keep.
int HoldDesktop() {
    ::GetDesktopWindow();
    std::puts("holding");
    std::fflush(stdout);
    ::Sleep(INFINITE);
    return 0;
}

}  // namespace

int main() {
    _setmode(_fileno(stdout), _O_BINARY);
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const CLocalMemory argvMemory(argv);
    const std::wstring command = argc >= 2 ? argv[1] : L"";
    const std::wstring path = argc >= 3 ? argv[2] : L"";
    if (command == L"link")
        return Link(path.c_str());
    if (command == L"version")
        return Version(path.c_str());
    if (command == L"manifest")
        return Manifest(path.c_str());
    if (command == L"run")
        return Run(path);
    if (command == L"hold-desktop")
        return HoldDesktop();
    std::fputs("usage: sonello_release_probe link|version|manifest <file> | run <command line> | hold-desktop\n",
               stderr);
    return 2;
}
