// What moves on the main window while a song plays: a ring of dots at two places and a box of
// bars. Neither shows anything of the sound.
#pragma once

#include <windows.h>

class CDC;

// The dot animation: four phases, the last of which only clears.
constexpr int DOT_PHASES = 4;
constexpr int DOTS_PER_PHASE = 8;
struct DotPhase {
    COLORREF crFill;
    RECT boxes[DOTS_PER_PHASE];
};
extern const DotPhase kDotPhases[DOT_PHASES - 1];
inline int NextDotPhase(int nPhase) {
    return (nPhase + 1) % DOT_PHASES;
}

// Draws the phase's dots through dc, outlined with its pen; false for the phase that only
// clears, which the caller does by repainting.
bool DrawDotPhase(CDC& dc, int nPhase);
// The box around every dot of one place, 0 the left and 1 the right: what a repaint must cover
// to take the dots away.
RECT DotPlaceBounds(int nPlace);

// The bar display: 100 whole values below 100, the same for every call within one second.
constexpr int BAR_COUNT = 100;
void MakeBarValues(unsigned int nSeed, double values[BAR_COUNT]);
// Pen colour of bar i: cyan that darkens by steps of ten bars.
COLORREF BarColour(int i);
