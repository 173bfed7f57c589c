#pragma once

#include "framework/CGdiObject.h"

class CRgn : public CGdiObject {
public:
    BOOL CreateRectRgn(int x1, int y1, int x2, int y2) { return Attach(::CreateRectRgn(x1, y1, x2, y2)); }
    int CombineRgn(HRGN hSrc1, HRGN hSrc2, int nMode) {
        return ::CombineRgn(static_cast<HRGN>(m_hObject), hSrc1, hSrc2, nMode);
    }
    operator HRGN() const { return static_cast<HRGN>(m_hObject); }
};
