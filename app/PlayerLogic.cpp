#include "app/PlayerLogic.h"

#include <cstdlib>

CString FormatElapsed(DWORD dwMilliseconds) {
    const DWORD s = dwMilliseconds / 1000;
    const int m = static_cast<int>(s / 60);
    const int r = static_cast<int>(s % 60);
    CString str;
    if (m < 10)
        str.Format(r < 10 ? "0%d:0%d" : "0%d:%d", m, r);
    else
        str.Format(r < 10 ? "%d:0%d" : "%d:%d", m, r);
    return str;
}

int StepSelection(int nCount, int nSel, bool bNext) {
    if (nCount <= 0 || nSel < 0)
        return -1;
    if (nCount == 1)
        return nSel;
    if (bNext)
        return nSel + 1 == nCount ? 0 : nSel + 1;
    return nSel == 0 ? nCount - 1 : nSel - 1;
}

const DotPhase kDotPhases[DOT_PHASES - 1] = {
    {RGB(255, 100, 100),
     {{65, 175, 75, 185}, {141, 175, 151, 185}, {103, 137, 113, 147}, {103, 213, 113, 223},
      {360, 175, 370, 185}, {436, 175, 446, 185}, {398, 137, 408, 147}, {398, 213, 408, 223}}},
    {RGB(100, 255, 100),
     {{78, 162, 88, 172}, {115, 149, 125, 159}, {128, 188, 138, 198}, {91, 201, 101, 211},
      {373, 162, 383, 172}, {410, 149, 420, 159}, {423, 188, 433, 198}, {386, 201, 396, 211}}},
    {RGB(100, 100, 255),
     {{91, 149, 101, 159}, {128, 162, 138, 172}, {115, 201, 125, 211}, {78, 188, 88, 198},
      {386, 149, 396, 159}, {423, 162, 433, 172}, {410, 201, 420, 211}, {373, 188, 383, 198}}},
};

void MakeBarValues(unsigned int nSeed, double values[BAR_COUNT]) {
    std::srand(nSeed);
    for (int i = 0; i < BAR_COUNT; ++i)
        values[i] = std::rand() % 100;
}

COLORREF BarColour(int i) {
    const int g = (i / 10 + 1) * 10;
    return RGB(0, 255 - g, 255 - g);
}
