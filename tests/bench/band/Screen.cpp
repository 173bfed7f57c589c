#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/CDC.h"
#include "framework/CFont.h"
#include "framework/CBitmap.h"
#include "framework/Holders.h"
#include "tests/bench/band/Screen.h"

namespace band {

// ---- the lines as the band draws them --------------------------------------------------------

Shape ShapeOf(const Line& line) {
    Shape shape;
    CFont font;
    font.CreatePointFont(280, "宋体");
    CClientDC screen(nullptr);
    CDC mem;
    mem.CreateCompatibleDC(screen);
    const CSelectScope selFont(mem, font);
    const std::wstring text = line.Text();
    SIZE size = {};
    ::GetTextExtentPoint32W(mem, text.c_str(), static_cast<int>(text.size()), &size);
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(mem, &tm);
    shape.nWidth = size.cx;
    shape.nHeight = tm.tmHeight;
    size_t nChars = 0;
    for (const Word& w : line.words) {
        SIZE before = {};
        ::GetTextExtentPoint32W(mem, text.c_str(), static_cast<int>(nChars), &before);
        shape.arrWordX.push_back(before.cx);
        nChars += w.strText.size();
    }

    uint32_t* pBits = nullptr;
    CBitmap dib;
    dib.CreateTopDownDib(shape.nWidth, shape.nHeight, &pBits);
    const CSelectScope selBitmap(mem, dib);
    const RECT rc = {0, 0, shape.nWidth, shape.nHeight};
    ::FillRect(mem, &rc, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(mem, TRANSPARENT);
    ::SetTextColor(mem, RGB(0, 0, 255));
    ::TextOutW(mem, 0, 0, text.c_str(), static_cast<int>(text.size()));
    ::GdiFlush();
    const uint32_t* px = pBits;
    shape.ink.resize(static_cast<size_t>(shape.nWidth) * shape.nHeight);
    shape.columnInk.assign(static_cast<size_t>(shape.nWidth), 0);
    for (int y = 0; y < shape.nHeight; ++y) {
        for (int x = 0; x < shape.nWidth; ++x) {
            const uint32_t v = px[static_cast<size_t>(y) * shape.nWidth + x] & 0xFFFFFF;
            const bool bInk = (v >> 16) < 0xC0;  // blue text on white: red falls where ink is
            shape.ink[static_cast<size_t>(y) * shape.nWidth + x] = bInk;
            shape.columnInk[static_cast<size_t>(x)] |= bInk;
        }
    }
    return shape;
}

// The moment (ms) a word-timed line's fill reaches nRed pixels, as the band fills it: a word's
// pixels in proportion to its time, the last word until the line's end.
double FillTime(const Line& line, const Shape& shape, double dRed) {
    for (size_t k = 0; k < line.words.size(); ++k) {
        const int nLeft = shape.arrWordX[k];
        const int nRight = k + 1 < line.words.size() ? shape.arrWordX[k + 1] : shape.nWidth;
        const double dStart = line.words[k].nStart * 10.0;
        const double dEnd = (k + 1 < line.words.size() ? line.words[k + 1].nStart : line.nEnd) * 10.0;
        if (dRed <= nRight || k + 1 == line.words.size()) {
            const double dShare = nRight > nLeft ? (dRed - nLeft) / (nRight - nLeft) : 1.0;
            return dStart + std::min(1.0, std::max(0.0, dShare)) * (dEnd - dStart);
        }
    }
    return line.Start() * 10.0;
}

// ---- the screen over the band ---------------------------------------------------------------

bool IsRed(uint32_t v) {
    return ((v >> 16) & 0xFF) >= 160 && ((v >> 8) & 0xFF) <= 90 && (v & 0xFF) <= 90;
}

namespace {

// Text of the band is blue or red or a blend of them; the desktop behind it is grey or black.
bool IsInk(uint32_t v) {
    const int r = (v >> 16) & 0xFF, g = (v >> 8) & 0xFF, b = v & 0xFF;
    return std::max({r, g, b}) - std::min({r, g, b}) > 80;
}

}  // namespace

// Share of the pixels inked in the line or on the screen that are inked in both.
double Match(const BandCamera& cam, const Shape& shape, int x0, int y0) {
    int both = 0, either = 0;
    for (int y = 0; y < shape.nHeight && y0 + y < cam.Height(); ++y) {
        for (int x = 0; x < shape.nWidth; ++x) {
            const int bx = x0 + x;
            if (bx < 0 || bx >= cam.Width())
                continue;
            const bool bScreen = IsInk(cam.At(bx, y0 + y));
            const bool bLine = shape.Ink(x, y);
            both += bScreen && bLine;
            either += bScreen || bLine;
        }
    }
    return either ? static_cast<double>(both) / either : 0.0;
}

}  // namespace band
