#pragma once

#include "framework/CGdiObject.h"

class CFont : public CGdiObject {
public:
    // Height in tenths of a point, scaled by the screen's vertical resolution as a point size is.
    BOOL CreatePointFont(int nPointSize, const char* pszFaceName, HDC hDC = nullptr);
    operator HFONT() const { return static_cast<HFONT>(m_hObject); }
};
