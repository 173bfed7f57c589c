#include "lyrics/BandPaint.h"

#include <algorithm>
#include <cmath>

namespace {

// a * b / 255, rounded.
uint32_t Mul(uint32_t a, uint32_t b) {
    const uint32_t t = a * b + 128;
    return (t + (t >> 8)) >> 8;
}

struct Premul {
    uint32_t a = 0, r = 0, g = 0, b = 0;
};

// Layer (cr, alpha) laid over what lies beneath.
void Over(Premul& under, COLORREF cr, uint32_t alpha) {
    const uint32_t keep = 255 - alpha;
    under.r = Mul(GetRValue(cr), alpha) + Mul(under.r, keep);
    under.g = Mul(GetGValue(cr), alpha) + Mul(under.g, keep);
    under.b = Mul(GetBValue(cr), alpha) + Mul(under.b, keep);
    under.a = alpha + Mul(under.a, keep);
}

// One pass of a box blur of radius n along rows (dx 1) or columns.
std::vector<uint8_t> BoxBlur(const std::vector<uint8_t>& src, int w, int h, int n, bool bRows) {
    std::vector<uint8_t> out(src.size());
    const int nLen = bRows ? w : h, nLines = bRows ? h : w;
    const auto at = [&](int line, int k) { return bRows ? line * w + k : k * w + line; };
    for (int line = 0; line < nLines; ++line) {
        int sum = 0;
        for (int k = -n; k <= n; ++k)
            sum += k >= 0 && k < nLen ? src[at(line, k)] : 0;
        for (int k = 0; k < nLen; ++k) {
            out[at(line, k)] = static_cast<uint8_t>(sum / (2 * n + 1));
            const int nIn = k + n + 1, nOut = k - n;
            sum += (nIn < nLen ? src[at(line, nIn)] : 0) - (nOut >= 0 ? src[at(line, nOut)] : 0);
        }
    }
    return out;
}

}  // namespace

void InkFromMask(const uint32_t* pMask, int nWidth, int nHeight, BandInk& ink) {
    ink.nWidth = nWidth;
    ink.nHeight = nHeight;
    const size_t n = static_cast<size_t>(nWidth) * nHeight;
    ink.cover.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const uint32_t v = pMask[i];
        // Grayscale smoothing gives equal channels; the largest covers any other.
        ink.cover[i] = static_cast<uint8_t>(std::max({(v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF}));
    }
    ink.edge = ink.cover;
    ink.shadow.clear();
}

void GrowOutline(BandInk& ink, int nRadius) {
    struct Offset {
        int dx, dy;
        uint32_t weight;
    };
    // A disc solid to nRadius, its rim pixels counting by how much of them lies inside: a smooth
    // outer edge.
    std::vector<Offset> offsets;
    for (int dy = -nRadius - 1; dy <= nRadius + 1; ++dy) {
        for (int dx = -nRadius - 1; dx <= nRadius + 1; ++dx) {
            const double dInside = nRadius + 1.0 - std::sqrt(static_cast<double>(dx * dx + dy * dy));
            if (dInside > 0.0)
                offsets.push_back({dx, dy, static_cast<uint32_t>(std::lround(std::min(dInside, 1.0) * 255))});
        }
    }
    const int w = ink.nWidth, h = ink.nHeight;
    std::vector<uint8_t> edge(ink.cover.size());
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t best = 0;
            for (const Offset& o : offsets) {
                const int sx = x + o.dx, sy = y + o.dy;
                if (sx >= 0 && sx < w && sy >= 0 && sy < h)
                    best = std::max(best, Mul(ink.cover[static_cast<size_t>(sy) * w + sx], o.weight));
            }
            edge[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(best);
        }
    }
    ink.edge.swap(edge);
}

void CastShadow(BandInk& ink, int nOffset) {
    const int w = ink.nWidth, h = ink.nHeight;
    std::vector<uint8_t> shifted(ink.edge.size());
    for (int y = nOffset; y < h; ++y)
        for (int x = nOffset; x < w; ++x)
            shifted[static_cast<size_t>(y) * w + x] = ink.edge[static_cast<size_t>(y - nOffset) * w + x - nOffset] / 2;
    ink.shadow = BoxBlur(BoxBlur(shifted, w, h, nOffset, true), w, h, nOffset, false);
}

uint32_t InkPixel(const BandInk& ink, size_t i, COLORREF crText, const BandStyle& style) {
    Premul p;
    if (style.bShadow && !ink.shadow.empty())
        Over(p, style.crShadow, ink.shadow[i]);
    if (style.bOutline)
        Over(p, style.crOutline, ink.edge[i]);
    Over(p, crText, ink.cover[i]);
    return p.a << 24 | p.r << 16 | p.g << 8 | p.b;
}

void PaintInk(const BandInk& ink, const BandStyle& style, int nFillTo, int xFrom, int xTo, const BandSurface& dst,
              int x, int y) {
    xFrom = std::max({xFrom, 0, -x});
    xTo = std::min({xTo, ink.nWidth, dst.nWidth - x});
    const int yFrom = std::max(0, -y), yTo = std::min(ink.nHeight, dst.nHeight - y);
    for (int iy = yFrom; iy < yTo; ++iy) {
        for (int ix = xFrom; ix < xTo; ++ix) {
            const size_t i = static_cast<size_t>(iy) * ink.nWidth + ix;
            dst.At(x + ix, y + iy) = InkPixel(ink, i, ix < nFillTo ? style.crFill : style.crText, style);
        }
    }
}

void ClearSurface(const BandSurface& dst, RECT rc) {
    rc.left = std::max<LONG>(rc.left, 0);
    rc.top = std::max<LONG>(rc.top, 0);
    rc.right = std::min<LONG>(rc.right, dst.nWidth);
    rc.bottom = std::min<LONG>(rc.bottom, dst.nHeight);
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            dst.At(x, y) = 0;
}
