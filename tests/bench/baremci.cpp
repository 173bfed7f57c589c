// The yardstick for the band's cost: a program that only opens a song on the MCI device its
// extension names, as the player does, plays it and waits, with no window and no drawing.
//   bench_baremci <song> <seconds>
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_baremci <song> <seconds>\n");
        return 2;
    }
    const wchar_t* pszExt = std::wcsrchr(argv[1], L'.');
    MCI_OPEN_PARMSW open = {};
    open.lpstrDeviceType = pszExt && _wcsicmp(pszExt, L".wav") == 0 ? L"waveaudio" : L"mpegvideo";
    open.lpstrElementName = argv[1];
    if (::mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open)) != 0) {
        std::fprintf(stderr, "bench_baremci: the device refused %ls\n", argv[1]);
        return 1;
    }
    MCI_PLAY_PARMS play = {};
    ::mciSendCommandW(open.wDeviceID, MCI_PLAY, 0, reinterpret_cast<DWORD_PTR>(&play));
    std::printf("playing\n");
    std::fflush(stdout);
    ::Sleep(static_cast<DWORD>(_wtoi(argv[2])) * 1000);
    ::mciSendCommandW(open.wDeviceID, MCI_CLOSE, 0, 0);
    ::LocalFree(argv);
    return 0;
}
