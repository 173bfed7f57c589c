#include "tests/bench/band/Floor.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "framework/CDC.h"
#include "framework/CBitmap.h"
#include "framework/Holders.h"
#include "lyrics/CBandPane.h"

namespace band {
namespace {

const int kTileHeight = 60;

double ProcessCpuSeconds() {
    FILETIME ftCreation, ftExit, ftKernel, ftUser;
    ::GetProcessTimes(::GetCurrentProcess(), &ftCreation, &ftExit, &ftKernel, &ftUser);
    const auto seconds = [](const FILETIME& ft) {
        return static_cast<double>((static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime) / 1e7;
    };
    return seconds(ftKernel) + seconds(ftUser);
}

// Whatever the updates make Wine post is handled, as the band's own loop would.
void Drain() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageW(&msg);
}

}  // namespace

int Floor(const wchar_t* pszKind, int nCalls) {
    const std::wstring kind = pszKind;
    CClientDC screen(nullptr);
    CDC mem;
    mem.CreateCompatibleDC(screen);
    uint32_t* pBits = nullptr;
    CBitmap dib;
    if (!dib.CreateTopDownDib(CBandPane::kTileWidth, kTileHeight, &pBits))
        return 1;
    std::memset(pBits, 0x80, static_cast<size_t>(CBandPane::kTileWidth) * kTileHeight * 4);
    const CSelectScope selDib(mem, dib);

    // The band's owner: a window that never shows.
    const HWND hOwner = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HWND hTile = nullptr;
    CBandPane pane;
    pane.Create(hOwner, [&hTile](HWND h) { hTile = h; });
    const RECT rcPart = {0, 0, CBandPane::kTileWidth, kTileHeight};
    const POINT ptOrigin = {100, 600};
    pane.Show(mem, ptOrigin, rcPart, rcPart);
    Drain();
    if (!hTile)
        return 1;

    const double dStart = ProcessCpuSeconds();
    for (int i = 0; i < nCalls; ++i) {
        if (kind == L"push") {
            // The strip a moving edge dirties in a frame.
            const int x = i % (CBandPane::kTileWidth - 4);
            pane.Show(mem, ptOrigin, rcPart, {x, 0, x + 4, kTileHeight});
        } else {
            ::SetWindowPos(hTile, nullptr, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        }
        Drain();
    }
    const double dUs = (ProcessCpuSeconds() - dStart) / nCalls * 1e6;
    std::printf("%ls: %.0f us of the process a call over %d calls\n", pszKind, dUs, nCalls);
    ::DestroyWindow(hOwner);
    return 0;
}

}  // namespace band
