#include "app/PlayingDecorations.h"

#include <cstdlib>

#include "framework/CBrush.h"
#include "framework/CDC.h"
#include "framework/Holders.h"

// Laid out as the two rings of four dots each phase lights.
// clang-format off
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
// clang-format on

bool DrawDotPhase(CDC& dc, int nPhase) {
    if (nPhase < 0 || nPhase >= DOT_PHASES - 1)
        return false;
    const DotPhase& phase = kDotPhases[nPhase];
    CBrush brush(phase.crFill);
    CSelectScope select(dc, brush);
    for (const RECT& box : phase.boxes)
        dc.Ellipse(box.left, box.top, box.right, box.bottom);
    return true;
}

RECT DotPlaceBounds(int nPlace) {
    RECT rc = kDotPhases[0].boxes[nPlace * 4];
    for (const DotPhase& phase : kDotPhases)
        for (int i = nPlace * 4; i < nPlace * 4 + 4; ++i)
            ::UnionRect(&rc, &rc, &phase.boxes[i]);
    return rc;
}

void MakeBarValues(unsigned int nSeed, double values[BAR_COUNT]) {
    std::srand(nSeed);
    for (int i = 0; i < BAR_COUNT; ++i)
        values[i] = std::rand() % 100;
}

COLORREF BarColour(int i) {
    const int g = (i / 10 + 1) * 10;
    return RGB(0, 255 - g, 255 - g);
}
