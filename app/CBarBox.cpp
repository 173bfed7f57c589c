#include "app/CBarBox.h"

#include "framework/Holders.h"
#include "res/resource.h"

void CBarBox::Draw(CDC& dc, const RECT& rcPlace, int nWidth, int nHeight, const double values[BAR_COUNT]) {
    if ((nWidth != m_nWidth || nHeight != m_nHeight) && !Make(dc, nWidth, nHeight))
        return;
    CDC& work = *m_pdcWork;
    work.BitBlt(0, 0, nWidth, nHeight, m_dcPicture, 0, 0, SRCCOPY);
    const int bw = nWidth / BAR_COUNT;
    int x = 0;
    for (int i = 0; i < BAR_COUNT; i += 10) {
        const CSelectScope selectPen(work, m_arrPens[i / 10]);
        for (int k = i; k < i + 10; ++k, x += bw) {
            const int v = static_cast<int>(values[k]);
            // Outlined with the pen, filled with the context's default brush.
            work.Rectangle(x, nHeight - v, x + bw, nHeight);
        }
    }
    dc.BitBlt(rcPlace.left, rcPlace.top, rcPlace.right - rcPlace.left, rcPlace.bottom - rcPlace.top, work, 0, 0,
              SRCCOPY);
}

bool CBarBox::Make(CDC& dc, int nWidth, int nHeight) {
    m_nWidth = m_nHeight = 0;
    if (!m_dcPicture.GetSafeHdc()) {
        if (!m_bmPicture.LoadBitmap(IDB_SPECTRUM) || !m_dcPicture.CreateCompatibleDC(dc))
            return false;
        m_dcPicture.SelectObject(m_bmPicture);
        for (int i = 0; i < BAR_COUNT; i += 10)
            m_arrPens[i / 10].Attach(::CreatePen(PS_SOLID, 1, BarColour(i)));
    }
    m_pdcWork.reset();  // before the bitmap it holds
    m_pbmWork = std::make_unique<CBitmap>();
    m_pdcWork = std::make_unique<CDC>();
    if (!m_pbmWork->CreateCompatibleBitmap(dc, nWidth, nHeight) || !m_pdcWork->CreateCompatibleDC(dc))
        return false;
    m_pdcWork->SelectObject(*m_pbmWork);
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    return true;
}
