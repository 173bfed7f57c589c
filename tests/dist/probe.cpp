// Reads, as Windows' shell does, what the release leaves for a user to see. Prints name=value
// lines in UTF-8; exit 1 when the file cannot be read, 2 on bad usage.
//   sonello_release_probe link <file.lnk>      target, arguments, working directory (also expanded), icon
//   sonello_release_probe version <file.exe>   the fixed version and each language block's texts
//   sonello_release_probe manifest <file.exe>  the embedded application manifest
//   sonello_release_probe run <command line>   expands its variables and runs it, as Windows runs a
//                                              registered command; exits with its exit code
//   sonello_release_probe hold-desktop         connects to the desktop, says "holding", stays until killed
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Print(const std::wstring& name, const std::wstring& value) {
    const std::wstring line = name + L"=" + value + L"\n";
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), &bytes[0], n, nullptr, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

class ComScope {
public:
    ComScope() : m_ok(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~ComScope() {
        if (m_ok)
            ::CoUninitialize();
    }

private:
    bool m_ok;
};

template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (p)
            p->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T* p = nullptr;
};

int Link(const wchar_t* path) {
    ComScope com;
    ComRef<IShellLinkW> link;
    ComRef<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link.p))) ||
        FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file.p->Load(path, STGM_READ)))
        return 1;
    wchar_t text[1024] = L"";
    link.p->GetPath(text, 1024, nullptr, SLGP_RAWPATH);
    Print(L"target", text);
    text[0] = 0;
    link.p->GetArguments(text, 1024);
    Print(L"arguments", text);
    text[0] = 0;
    link.p->GetWorkingDirectory(text, 1024);
    Print(L"workdir", text);
    wchar_t expanded[1024] = L"";
    ::ExpandEnvironmentStringsW(text, expanded, 1024);
    Print(L"workdir-expanded", expanded);
    int icon = 0;
    text[0] = 0;
    link.p->GetIconLocation(text, 1024, &icon);
    Print(L"icon", std::wstring(text) + L"," + std::to_wstring(icon));
    return 0;
}

int Version(const wchar_t* path) {
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path, &ignored);
    std::vector<char> data(size);
    if (!size || !::GetFileVersionInfoW(path, 0, size, data.data()))
        return 1;
    void* value = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(data.data(), L"\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
        const VS_FIXEDFILEINFO* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        Print(L"fixed", std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionMS)) +
                            L"." + std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                            std::to_wstring(LOWORD(fixed->dwFileVersionLS)));
    }
    if (!::VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length))
        return 0;
    const WORD* pairs = static_cast<const WORD*>(value);
    for (UINT i = 0; i + 1 < length / sizeof(WORD); i += 2) {
        wchar_t block[16];
        swprintf(block, 16, L"%04x%04x", pairs[i], pairs[i + 1]);
        for (const wchar_t* name : {L"ProductName", L"FileDescription", L"FileVersion", L"ProductVersion",
                                    L"CompanyName", L"OriginalFilename"}) {
            const std::wstring query = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + name;
            if (::VerQueryValueW(data.data(), query.c_str(), &value, &length))
                Print(std::wstring(block) + L"/" + name, static_cast<const wchar_t*>(value));
        }
    }
    return 0;
}

int Manifest(const wchar_t* path) {
    const HMODULE module = ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module)
        return 1;
    int code = 1;
    if (const HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
        std::fwrite(bytes, 1, ::SizeofResource(module, found), stdout);
        code = 0;
    }
    ::FreeLibrary(module);
    return code;
}

int Run(const std::wstring& command) {
    wchar_t line[4096] = L"";
    if (!::ExpandEnvironmentStringsW(command.c_str(), line, 4096))
        return 1;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 1;
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
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
    const std::wstring command = argc >= 2 ? argv[1] : L"";
    const std::wstring path = argc >= 3 ? argv[2] : L"";
    ::LocalFree(argv);
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
