// The lyric band against the sound device. The real main window plays a word-timed song in this
// process with the band shown, as a user would have it, while a second thread every 10 ms reads
// the device position and takes the band off the screen (what the user sees, not what was
// drawn), each stamped with the performance counter. MCI answers only the thread that opened
// the device, so the position is asked for on the player's thread, between its own messages.
//
//   bench_band lyrics <file.lrc> <song seconds>
//       writes the word-timed lyrics of a song that long
//   bench_band edge <song> <song seconds> <seconds>
//       writes the song's lyrics as Lrc\<name>.lrc, plays it and samples that many seconds;
//       with SONELLO_BENCH_SAMPLES naming a file, every sample is written there
//   bench_band alone <song> <seconds>
//       plays the song through the main window with the band's timers stopped, for that long:
//       the player with a band that costs nothing, for the CPU figures
//   bench_band floor push|place <calls>
//       one tile of the band pushed with a 4-pixel strip dirty, or a SetWindowPos that changes
//       nothing, that many times: the process's CPU a call (tests/bench/band/Floor.h)
//
// The red edge is the rightmost red pixel of the slot that shows red; which lyric line stands
// in that slot is found by matching the slot's ink against each line drawn in the band's font.
// The edge stands for a song position: the moment that line's fill reaches it, by the fill's own
// rule (each word's share of its time), taking the middle of the moments that leave that same
// pixel the rightmost red one (a gap between characters shows no red). No red at all while the
// device is in a line means the band has not begun it: the edge stands before its first ink.
//
// The device gives its position in steps: "waveaudio" under Wine in buffers of a third of a
// second, "mpegvideo" nearly every millisecond. The device position of a moment is therefore
// its last step carried forward at the song's speed to that moment; a step is taken to have
// happened halfway between the samples around it when it is larger than the time between them,
// at the sample that saw it otherwise.
//
// The parts are in tests/bench/band/: the lyrics, the band's pixels, the sampling and the figures.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/CSonelloDlg.h"
#include "framework/Holders.h"
#include "lyrics/CDlgLrc.h"
#include "res/resource.h"
#include "sound/CSound.h"
#include "state/PlayerState.h"
#include "tests/bench/BenchClock.h"
#include "tests/bench/band/Floor.h"
#include "tests/bench/band/Lyrics.h"
#include "tests/bench/band/Report.h"
#include "tests/bench/band/Sampling.h"
#include "tests/bench/band/Screen.h"

namespace band {
namespace {

// The main window, made as the player makes it, with the song requested as a double-click does.
bool OpenPlayer(CSonelloDlg& dlg, const CStringW& strSong) {
    if (!dlg.Create(IDD_SONELLO_DIALOG, nullptr) || !g_pDlgLrc) {
        std::fprintf(stderr, "bench_band: the main window could not be made\n");
        return false;
    }
    g_strSongPath = strSong;
    g_bStartSong = true;
    return true;
}

int Alone(const wchar_t* pszSong, int nSeconds) {
    CSonelloDlg dlg;
    if (!OpenPlayer(dlg, pszSong))
        return 1;
    for (UINT_PTR id = 1; id <= 16; ++id)
        ::KillTimer(g_pDlgLrc->m_hWnd, id);
    const double dStart = NowMs();
    double dPlaying = 0;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        if (!dPlaying && g_bPlaying) {
            dPlaying = NowMs();
            std::printf("playing\n");
            std::fflush(stdout);
        }
        if (dPlaying ? NowMs() - dPlaying > nSeconds * 1000.0 : NowMs() - dStart > 10000)
            break;
    }
    dlg.DestroyWindow();
    CSound::Close();
    return dPlaying ? 0 : 1;
}

int Edge(const wchar_t* pszSong, int nSongSeconds, int nSeconds) {
    const CStringW strSong(pszSong);
    ::CreateDirectoryW(L"Lrc", nullptr);
    Run run;
    const std::vector<Line> lines = MakeLines(nSongSeconds);
    run.pLines = &lines;
    // The player looks for Lrc\ + the song's name up to its first dot + .lrc.
    const CStringW strName = strSong.Mid(strSong.ReverseFind(L'\\') + 1);
    const CStringW strLyrics = L"Lrc\\" + strName.Left(strName.Find(L'.')) + L".lrc";
    if (lines.empty() || strName.Find(L'.') < 0 || !WriteLyrics(strLyrics, lines)) {
        std::fprintf(stderr, "bench_band: could not write the lyrics of %ls\n", pszSong);
        return 1;
    }
    for (const Line& line : lines)
        run.shapes.push_back(ShapeOf(line));

    CSonelloDlg dlg;
    if (!OpenPlayer(dlg, strSong))
        return 1;
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_SHOWLRC, BN_CLICKED), 0);
    run.hBand = g_pDlgLrc->m_hWnd;
    run.dSeconds = nSeconds;
    run.dwMainThread = ::GetCurrentThreadId();

    WNDCLASSW wc = {};
    wc.lpfnWndProc = DeviceWindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"SonelloBenchDevice";
    ::RegisterClassW(&wc);
    run.hDeviceWindow =
        ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);

    CHandle hSampler;
    const double dWaitStart = NowMs();
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
        if (!hSampler && g_bPlaying && CSound::m_bOpened) {
            run.wDevice = CSound::m_wDeviceID;
            hSampler.Reset(::CreateThread(nullptr, 0, Sampler, &run, 0, nullptr));
        }
        if (!hSampler && NowMs() - dWaitStart > 10000) {
            std::fprintf(stderr, "bench_band: %ls did not start playing\n", pszSong);
            return 1;
        }
    }
    ::WaitForSingleObject(hSampler.Get(), INFINITE);
    ::DestroyWindow(run.hDeviceWindow);
    dlg.DestroyWindow();
    CSound::Close();
    char szName[MAX_PATH];
    ::WideCharToMultiByte(CP_UTF8, 0, strName, -1, szName, MAX_PATH, nullptr, nullptr);
    Report(run, szName);
    return 0;
}

}  // namespace
}  // namespace band

int main() {
    int argc = 0;
    LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    const CLocalMemory argvMemory(argv);
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const int nSongSeconds = argc > 3 ? _wtoi(argv[3]) : 0;
    if (command == L"lyrics" && argc == 4 && nSongSeconds > 0)
        return band::WriteLyrics(argv[2], band::MakeLines(nSongSeconds)) ? 0 : 1;
    if (command == L"edge" && argc == 5 && nSongSeconds > 0 && _wtoi(argv[4]) > 0)
        return band::Edge(argv[2], nSongSeconds, _wtoi(argv[4]));
    if (command == L"alone" && argc == 4 && nSongSeconds > 0)
        return band::Alone(argv[2], nSongSeconds);
    if (command == L"floor" && argc == 4 && _wtoi(argv[3]) > 0)
        return band::Floor(argv[2], _wtoi(argv[3]));
    std::fprintf(stderr,
                 "usage: bench_band lyrics <file.lrc> <song seconds> | edge <song> <song seconds> <seconds> | "
                 "alone <song> <seconds> | floor push|place <calls>\n");
    return 2;
}
