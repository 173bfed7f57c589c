// The band's pixels two ways: each lyric line drawn apart in the band's font, and the screen
// over the band as the user sees it, so that the one can be found in the other.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/CDC.h"
#include "framework/CBitmap.h"
#include "framework/Holders.h"
#include "tests/bench/band/Lyrics.h"

namespace band {

// ---- the lines as the band draws them --------------------------------------------------------

// One line in the band's font: its width, where each word starts, and its ink.
struct Shape {
    int nWidth = 0;
    int nHeight = 0;
    std::vector<int> arrWordX;
    std::vector<uint8_t> ink;        // nWidth x nHeight, 1 where the text has ink
    std::vector<uint8_t> columnInk;  // 1 for a column with ink
    bool Ink(int x, int y) const { return ink[static_cast<size_t>(y) * nWidth + x] != 0; }
};

Shape ShapeOf(const Line& line);
double FillTime(const Line& line, const Shape& shape, double dRed);

// ---- the screen over the band ---------------------------------------------------------------

bool IsRed(uint32_t v);

class BandCamera {
public:
    explicit BandCamera(HWND hBand) : m_screen(nullptr) {
        ::GetWindowRect(hBand, &m_rc);
        m_rc.bottom = std::min<LONG>(m_rc.bottom, ::GetSystemMetrics(SM_CYSCREEN));  // cut at the screen's edge
        m_nWidth = m_rc.right - m_rc.left;
        m_nHeight = m_rc.bottom - m_rc.top;
        uint32_t* pBits = nullptr;
        m_dib.CreateTopDownDib(m_nWidth, m_nHeight, &pBits);
        m_pBits = pBits;
        m_mem.CreateCompatibleDC(m_screen);
        m_pSelected = std::make_unique<CSelectScope>(m_mem, m_dib);
    }
    void Shoot() {
        ::BitBlt(m_mem, 0, 0, m_nWidth, m_nHeight, m_screen, m_rc.left, m_rc.top, SRCCOPY);
        ::GdiFlush();
    }
    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    uint32_t At(int x, int y) const { return m_pBits[static_cast<size_t>(y) * m_nWidth + x]; }

private:
    RECT m_rc = {};
    int m_nWidth = 0;
    int m_nHeight = 0;
    CClientDC m_screen;
    CDC m_mem;
    CBitmap m_dib;
    const uint32_t* m_pBits = nullptr;
    std::unique_ptr<CSelectScope> m_pSelected;
};

double Match(const BandCamera& cam, const Shape& shape, int x0, int y0);

}  // namespace band
