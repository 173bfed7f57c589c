// The main window's arithmetic, kept apart from the window so tests can call it directly.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/CString.h"

// Elapsed time as minutes and seconds, each at least two digits: 6 000 000 ms reads 100:00.
CString FormatElapsed(DWORD dwMilliseconds);

// The row Previous or Next moves to in a box of nCount rows with nSel selected, wrapping
// around; -1 when there is nothing to move (no rows, no selection). One row stays put.
int StepSelection(int nCount, int nSel, bool bNext);

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

// The dot animation: four phases, the last of which only clears.
constexpr int DOT_PHASES = 4;
constexpr int DOTS_PER_PHASE = 8;
struct DotPhase {
    COLORREF crFill;
    RECT boxes[DOTS_PER_PHASE];
};
extern const DotPhase kDotPhases[DOT_PHASES - 1];
inline int NextDotPhase(int nPhase) { return (nPhase + 1) % DOT_PHASES; }

// The bar display: 100 whole values below 100, the same for every call within one second.
constexpr int BAR_COUNT = 100;
void MakeBarValues(unsigned int nSeed, double values[BAR_COUNT]);
// Pen colour of bar i: cyan that darkens by steps of ten bars.
COLORREF BarColour(int i);
