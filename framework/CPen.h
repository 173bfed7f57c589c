#pragma once

#include "framework/CGdiObject.h"

class CPen : public CGdiObject {
public:
    CPen() = default;
    CPen(int nPenStyle, int nWidth, COLORREF cr) { Attach(::CreatePen(nPenStyle, nWidth, cr)); }
    operator HPEN() const { return static_cast<HPEN>(m_hObject); }
};
