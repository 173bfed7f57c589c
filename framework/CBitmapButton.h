// An owner-drawn button showing one of up to four pictures by its state.
#pragma once

#include "framework/CBitmap.h"
#include "framework/CButton.h"

class CBitmapButton : public CButton {
public:
    // Resource IDs of the pictures; 0 for none. A missing picture falls back to the normal one.
    BOOL LoadBitmaps(UINT nIDNormal, UINT nIDSelected = 0, UINT nIDFocus = 0, UINT nIDDisabled = 0);
    // The picture the button shows now, for tests and for drawing.
    HBITMAP PictureFor(UINT nItemState) const;

protected:
    void OnOwnerDraw(LPDRAWITEMSTRUCT lpDIS) override;

private:
    CBitmap m_bitmap;
    CBitmap m_bitmapSel;
    CBitmap m_bitmapFocus;
    CBitmap m_bitmapDisabled;
};
