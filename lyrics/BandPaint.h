// The band's pixels, apart from any window: a text's ink (its letters' coverage as GDI's
// grayscale smoothing draws them, an outline grown around them, a soft shadow) composed into a
// premultiplied 32-bit surface as UpdateLayeredWindow takes it. Inside the letters the colours
// stay exactly the style's; where nothing is drawn the surface stays fully transparent.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "lyrics/BandStyle.h"

// A view of pixels 0xAARRGGBB, premultiplied, rows top down.
struct BandSurface {
    int nWidth = 0;
    int nHeight = 0;
    uint32_t* pBits = nullptr;
    uint32_t& At(int x, int y) const { return pBits[static_cast<size_t>(y) * nWidth + x]; }
};

// One text's ink, each plane 0..255 over nWidth x nHeight.
struct BandInk {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<uint8_t> cover;   // the letters
    std::vector<uint8_t> edge;    // the outline, letters included
    std::vector<uint8_t> shadow;  // empty without a shadow
};

// The ink of white text drawn on black into a 32-bit mask.
void InkFromMask(const uint32_t* pMask, int nWidth, int nHeight, BandInk& ink);
// Grows the outline nRadius pixels around the letters, its own edge smoothed.
void GrowOutline(BandInk& ink, int nRadius);
// A shadow of the letters and outline nOffset pixels down and right, blurred by nOffset.
void CastShadow(BandInk& ink, int nOffset);

// One pixel of colour crText over the ink's layers at index i.
uint32_t InkPixel(const BandInk& ink, size_t i, COLORREF crText, const BandStyle& style);
// Columns [xFrom, xTo) of the ink onto the surface with its top left at (x, y), clipped to it;
// ink columns before nFillTo in the fill colour, the rest in the text colour.
void PaintInk(const BandInk& ink, const BandStyle& style, int nFillTo, int xFrom, int xTo, const BandSurface& dst,
              int x, int y);
// The rectangle made fully transparent, clipped to the surface.
void ClearSurface(const BandSurface& dst, RECT rc);
