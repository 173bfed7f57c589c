#include "framework/CBitmapButton.h"

#include "framework/CDC.h"
#include "framework/Holders.h"

BOOL CBitmapButton::LoadBitmaps(UINT nIDNormal, UINT nIDSelected, UINT nIDFocus, UINT nIDDisabled) {
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    const BOOL bOk = m_bitmap.LoadBitmap(nIDNormal);
    if (nIDSelected)
        m_bitmapSel.LoadBitmap(nIDSelected);
    if (nIDFocus)
        m_bitmapFocus.LoadBitmap(nIDFocus);
    if (nIDDisabled)
        m_bitmapDisabled.LoadBitmap(nIDDisabled);
    if (m_hWnd)
        Invalidate();
    return bOk;
}

HBITMAP CBitmapButton::PictureFor(UINT nItemState) const {
    HBITMAP h = m_bitmap;
    if ((nItemState & ODS_SELECTED) && m_bitmapSel.GetSafeHandle())
        h = m_bitmapSel;
    else if ((nItemState & ODS_FOCUS) && m_bitmapFocus.GetSafeHandle())
        h = m_bitmapFocus;
    else if ((nItemState & ODS_DISABLED) && m_bitmapDisabled.GetSafeHandle())
        h = m_bitmapDisabled;
    return h;
}

void CBitmapButton::OnOwnerDraw(LPDRAWITEMSTRUCT lpDIS) {
    HBITMAP hPicture = PictureFor(lpDIS->itemState);
    if (!hPicture)
        return;
    CDC mem;
    if (!mem.CreateCompatibleDC(lpDIS->hDC))
        return;
    const CSelectScope selected(mem, hPicture);
    const RECT& rc = lpDIS->rcItem;
    ::BitBlt(lpDIS->hDC, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, mem, 0, 0, SRCCOPY);
}
