// The lyric band's arithmetic, apart from any window: where texts stand and how the fill moves.
// All divisions are of whole numbers, truncated toward zero.
#pragma once

#include <vector>

#include "lyrics/CLyc.h"

// A message, centred on the band: (W - w) / 2.
int CentredX(int nBandWidth, int nTextWidth);
// The top slot is centred on a quarter of the band, the bottom slot on three quarters.
int TopSlotX(int nBandWidth, int nTextWidth);
int BottomSlotX(int nBandWidth, int nTextWidth);

// A line's duration in whole seconds, as the fill paces by; 0 for no known duration.
int WholeSeconds(double dDuration);

// One step of the current slot's paced fill.
struct LrcFillTick {
    bool bDraw;      // false: no duration to pace by, so nothing is red and nothing moves
    int nRedWidth;   // pixels drawn red now
    double dFill;    // the fill carried on, in pixels
    bool bHandOver;  // the fill passed the text: the other slot becomes current
};

// The paced fill moves (w / seconds) / 5 pixels for every 200 ms the song plays, so it crosses
// the text in about the line's time.
int FillStep(int nTextWidth, int nSeconds);
// The fill dFill carried on by dPlayedMs of the song.
LrcFillTick AdvanceFill(double dFill, int nTextWidth, int nSeconds, double dPlayedMs);

// Red width of a word-timed line dElapsed seconds after its start (offset applied): the text
// before the word being sung in full, plus that word's elapsed share of its width. arrWordX[k]
// is the width of the text before word k; text before the first word is sung from the line's
// start. A word lasts until the next word's start, the last one until dLastWordEnd (seconds
// after the line's start). Between 0 and nTextWidth; 0 before the line, nTextWidth after it.
int WordFillWidth(const std::vector<LrcWord>& words, const std::vector<int>& arrWordX, int nTextWidth, double dElapsed,
                  double dLastWordEnd);
