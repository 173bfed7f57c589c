// Where the band's texts stand at a given DPI, apart from any window. At 96 DPI with the usual
// font it keeps the band's old places (texts at y 5 and 55 in a band 100 high, messages at 30);
// it grows wherever a taller font or a higher DPI needs room, so no line is ever cut.
#pragma once

#include <windows.h>

struct BandLayout {
    int nDpi = 96;
    int nTextHeight = 0;  // the font's height in pixels at this DPI
    int nOutline = 0;     // outline width in pixels
    int nShadow = 0;      // shadow offset, and its blur, in pixels
    int nSlotY[2] = {};   // top of each slot's text
    int nMessageY = 0;    // top of a message's text
    int nHeight = 0;      // the band's
    int PadAbove() const { return nOutline; }
    int PadBelow() const { return nOutline + 2 * nShadow; }
    // Room left and right of a text: outline, shadow, and glyphs that reach past their advance.
    int PadSide() const { return nOutline + 2 * nShadow + nTextHeight / 4; }
};

// The font height for a point size at a DPI, as LOGFONT's lfHeight takes it (negative: the
// em height, without the leading).
int BandFontHeight(int nPointSize, int nDpi);
BandLayout LayOutBand(int nDpi, int nTextHeight);
// The band across the bottom of a monitor's work area, kept on the monitor even when the work
// area claims more than the monitor has.
RECT PlaceBand(const RECT& rcMonitor, const RECT& rcWork, int nHeight);
