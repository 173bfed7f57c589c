// The window's shape: its background picture without the pixels of one key colour.
#pragma once

#include <windows.h>

#include <vector>

// One rectangle per run of non-key pixels of each row, top to bottom, left to right.
// pixel(x, y) gives the colour of the picture's pixel.
template <typename PixelAt>
std::vector<RECT> KeyColourRuns(PixelAt pixel, int nWidth, int nHeight, COLORREF crKey) {
    std::vector<RECT> runs;
    for (int y = 0; y < nHeight; ++y) {
        int start = 0;
        for (int x = 0; x < nWidth; ++x) {
            if (pixel(x, y) != crKey)
                continue;
            if (start != x)
                runs.push_back({start, y, x, y + 1});
            start = x + 1;
        }
        if (start != nWidth)
            runs.push_back({start, y, nWidth, y + 1});
    }
    return runs;
}

// A region in hWnd's window coordinates: the frame outside the client area, and the picture's
// non-key pixels laid over the client area from its top-left corner. Nullptr when the picture's
// pixels cannot be read or the region cannot be made; otherwise the caller owns the region.
HRGN CreateKeyedRegion(HWND hWnd, HBITMAP hPicture, COLORREF crKey);
