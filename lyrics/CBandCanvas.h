// The band's pixels and what makes them: its font at the band's DPI, a premultiplied 32-bit
// surface the size of the band, and each text's ink made once with GDI's grayscale smoothing.
// It brings the surface from one scene to the next by redrawing only what changed (a moving
// fill redraws the columns it crossed) and shows it on a layered window, pushing only the part
// that changed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/CFont.h"
#include "framework/CStringW.h"
#include "lyrics/BandLayout.h"
#include "lyrics/BandPaint.h"
#include "lyrics/CBandModel.h"

class CBandCanvas {
public:
    // The font of the style at nDpi and the layout it needs; every ink is made again.
    void SetUp(const BandStyle& style, int nDpi);
    const BandLayout& Layout() const { return m_layout; }
    // Width of the text's first nChars code units in the band's font.
    int Measure(const CStringW& str, int nChars) const;

    // A fresh surface of that size, fully transparent.
    void Resize(int nWidth, int nHeight);
    const BandSurface& Surface() const { return m_surface; }

    // Brings the surface from what shows (shown) to scene; returns the rectangle that changed,
    // empty when nothing did. A shown scene of kind Unknown redraws everything.
    RECT Draw(const BandScene& scene, const BandScene& shown);
    // Where the scene's text nPart (0 the upper slot or the message, 1 the lower slot) has its
    // ink on the surface; empty for none.
    RECT PartOf(const BandScene& scene, int nPart) const;
    // A memory context holding the surface.
    HDC Dc() const { return m_dcBand; }

private:
    struct Ink {
        CStringW str;
        BandInk ink;
    };

    const BandInk& InkOf(Ink& cache, const CStringW& str);
    // Where a text's ink stands with the text's own top left at (x, y).
    RECT InkRect(int x, int y, int nTextWidth) const;
    void PaintText(const BandInk& ink, int x, int y, int nRedTo, int nFrom, int nTo);
    RECT DrawWhole(const BandScene& scene);
    RECT DrawSlotChange(const BandScene& scene, const BandScene& shown, int nSlot);

    BandStyle m_style;
    BandLayout m_layout;
    // Each before the context holding it: members end in reverse order.
    CFont m_font;
    CBitmap m_bmBand;
    // A memory context holding the font to measure texts by, even while the band is hidden.
    CDC m_dcMeasure;
    CDC m_dcBand;
    BandSurface m_surface;
    Ink m_arrInk[3];  // the slots' and the message's
};
