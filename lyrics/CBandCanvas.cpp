#include "lyrics/CBandCanvas.h"

#include <algorithm>
#include <vector>

#include "framework/Holders.h"
#include "lyrics/LrcBand.h"

namespace {

RECT Union(const RECT& a, const RECT& b) {
    if (::IsRectEmpty(&a))
        return b;
    RECT rc;
    ::UnionRect(&rc, &a, &b);
    return rc;
}

}  // namespace

void CBandCanvas::SetUp(const BandStyle& style, int nDpi) {
    m_style = style;
    LOGFONTW lf = {};
    lf.lfHeight = BandFontHeight(style.nPointSize, nDpi);
    lf.lfCharSet = DEFAULT_CHARSET;
    // Grayscale: ClearType's colour fringes need an opaque background to land on.
    lf.lfQuality = ANTIALIASED_QUALITY;
    ::lstrcpynW(lf.lfFaceName, style.pszFace, LF_FACESIZE);
    const HFONT hFont = ::CreateFontIndirectW(&lf);
    if (!m_dcMeasure.GetSafeHdc())
        m_dcMeasure.CreateCompatibleDC(nullptr);
    m_dcMeasure.SelectObject(hFont);
    m_font.Attach(hFont);  // the old font, no longer selected, goes
    TEXTMETRICA tm = {};
    m_dcMeasure.GetTextMetrics(&tm);
    m_layout = LayOutBand(nDpi, tm.tmHeight);
    for (Ink& cache : m_arrInk)
        cache = Ink();
}

int CBandCanvas::Measure(const CStringW& str, int nChars) const {
    return m_dcMeasure.GetTextExtent(str, nChars).cx;
}

void CBandCanvas::Resize(int nWidth, int nHeight) {
    uint32_t* pBits = nullptr;
    CBitmap bitmap;
    if (!bitmap.CreateTopDownDib(nWidth, nHeight, &pBits))
        return;
    if (!m_dcBand.GetSafeHdc())
        m_dcBand.CreateCompatibleDC(nullptr);
    m_dcBand.SelectObject(bitmap);
    m_bmBand.Attach(bitmap.Detach());  // the old bitmap, no longer selected, goes
    m_surface = {nWidth, nHeight, pBits};
}

const BandInk& CBandCanvas::InkOf(Ink& cache, const CStringW& str) {
    if (cache.str == str && cache.ink.nWidth > 0)
        return cache.ink;
    cache.str = str;
    const int nWidth = Measure(str, str.GetLength()) + 2 * m_layout.PadSide();
    const int nHeight = m_layout.nTextHeight + m_layout.PadAbove() + m_layout.PadBelow();
    uint32_t* pBits = nullptr;
    CBitmap mask;
    if (!mask.CreateTopDownDib(nWidth, nHeight, &pBits)) {
        cache.ink = BandInk();
        return cache.ink;
    }
    {
        CDC dc;
        dc.CreateCompatibleDC(nullptr);
        const CSelectScope selBitmap(dc, mask);
        const CSelectScope selFont(dc, m_font);
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(RGB(255, 255, 255));
        dc.TextOut(m_layout.PadSide(), m_layout.PadAbove(), str, str.GetLength());
        ::GdiFlush();
    }
    InkFromMask(pBits, nWidth, nHeight, cache.ink);
    if (m_style.bOutline)
        GrowOutline(cache.ink, m_layout.nOutline);
    if (m_style.bShadow)
        CastShadow(cache.ink, m_layout.nShadow);
    return cache.ink;
}

RECT CBandCanvas::InkRect(int x, int y, int nTextWidth) const {
    return {x - m_layout.PadSide(), y - m_layout.PadAbove(), x + nTextWidth + m_layout.PadSide(),
            y + m_layout.nTextHeight + m_layout.PadBelow()};
}

// Ink columns [nFrom, nTo) of a text whose own top left stands at (x, y), red up to nRedTo
// pixels of the text.
void CBandCanvas::PaintText(const BandInk& ink, int x, int y, int nRedTo, int nFrom, int nTo) {
    const int nPad = m_layout.PadSide();
    PaintInk(ink, m_style, nPad + nRedTo, nFrom, nTo, m_surface, x - nPad, y - m_layout.PadAbove());
}

RECT CBandCanvas::Draw(const BandScene& scene, const BandScene& shown) {
    if (!m_surface.pBits)
        return {};
    if (scene.kind != shown.kind || scene.strMessage != shown.strMessage)
        return DrawWhole(scene);
    RECT rcDirty = {};
    for (int i = 0; i < 2 && scene.kind == BandKind::Lyrics; ++i)
        rcDirty = Union(rcDirty, DrawSlotChange(scene, shown, i));
    return rcDirty;
}

RECT CBandCanvas::DrawWhole(const BandScene& scene) {
    const RECT rcAll = {0, 0, m_surface.nWidth, m_surface.nHeight};
    ClearSurface(m_surface, rcAll);
    if (scene.kind == BandKind::Message) {
        const CStringW str = CStringW::FromGbk(scene.strMessage.GetString());
        const BandInk& ink = InkOf(m_arrInk[2], str);
        const int x = CentredX(m_surface.nWidth, Measure(str, str.GetLength()));
        PaintText(ink, x, m_layout.nMessageY, 0, 0, ink.nWidth);
        return rcAll;
    }
    for (int i = 0; i < 2; ++i) {
        const BandInk& ink = InkOf(m_arrInk[i], scene.arrText[i]);
        PaintText(ink, scene.arrX[i], m_layout.nSlotY[i], scene.RedIn(i), 0, ink.nWidth);
    }
    return rcAll;
}

// A slot with new text, place or less red is drawn anew over what it showed; more red only
// recolours the columns the fill crossed.
RECT CBandCanvas::DrawSlotChange(const BandScene& scene, const BandScene& shown, int nSlot) {
    const int y = m_layout.nSlotY[nSlot];
    const int x = scene.arrX[nSlot];
    const int nRed = scene.RedIn(nSlot), nShownRed = shown.RedIn(nSlot);
    const BandInk& ink = InkOf(m_arrInk[nSlot], scene.arrText[nSlot]);
    if (scene.arrText[nSlot] != shown.arrText[nSlot] || x != shown.arrX[nSlot] || nRed < nShownRed) {
        const RECT rc =
            Union(InkRect(shown.arrX[nSlot], y, shown.arrWidth[nSlot]), InkRect(x, y, scene.arrWidth[nSlot]));
        ClearSurface(m_surface, rc);
        PaintText(ink, x, y, nRed, 0, ink.nWidth);
        return rc;
    }
    if (nRed == nShownRed)
        return {};
    const int nPad = m_layout.PadSide();
    PaintText(ink, x, y, nRed, nPad + nShownRed, nPad + nRed);
    const RECT rcText = InkRect(x, y, 0);
    return {x + nShownRed, rcText.top, x + nRed, rcText.bottom};
}

RECT CBandCanvas::PartOf(const BandScene& scene, int nPart) const {
    RECT rc = {};
    if (scene.kind == BandKind::Lyrics && !scene.arrText[nPart].IsEmpty()) {
        rc = InkRect(scene.arrX[nPart], m_layout.nSlotY[nPart], scene.arrWidth[nPart]);
    } else if (scene.kind == BandKind::Message && nPart == 0 && !scene.strMessage.IsEmpty()) {
        const CStringW str = CStringW::FromGbk(scene.strMessage.GetString());
        const int nWidth = Measure(str, str.GetLength());
        rc = InkRect(CentredX(m_surface.nWidth, nWidth), m_layout.nMessageY, nWidth);
    }
    const RECT rcAll = {0, 0, m_surface.nWidth, m_surface.nHeight};
    ::IntersectRect(&rc, &rc, &rcAll);
    return rc;
}
