// The bar display's drawing objects, made at its first drawing and kept for the window's life:
// the box's picture, a context to compose the bars in off screen, and a pen for each ten bars.
#pragma once

#include <windows.h>

#include <memory>

#include "app/PlayingDecorations.h"
#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/CPen.h"

class CBarBox {
public:
    // Composes the bars over the box's picture off screen, then copies the box to rcPlace of dc
    // in one go.
    void Draw(CDC& dc, const RECT& rcPlace, int nWidth, int nHeight, const double values[BAR_COUNT]);

private:
    bool Make(CDC& dc, int nWidth, int nHeight);

    // The bitmaps before the contexts: members end in reverse order, each context before the
    // bitmap it holds.
    CBitmap m_bmPicture;
    std::unique_ptr<CBitmap> m_pbmWork;
    CDC m_dcPicture;
    std::unique_ptr<CDC> m_pdcWork;
    CPen m_arrPens[BAR_COUNT / 10];
    int m_nWidth = 0;
    int m_nHeight = 0;
};
