#include "framework/CFont.h"

#include <cstdlib>
#include <cstring>
#include <optional>

#include "framework/CDC.h"

BOOL CFont::CreatePointFont(int nPointSize, const char* pszFaceName, HDC hDC) {
    std::optional<CClientDC> screen;
    const HDC hScreen = hDC ? hDC : screen.emplace(nullptr).GetSafeHdc();
    LOGFONTA lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    ::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
    // Tenths of a point to device pixels, through the logical-to-device mapping of the DC.
    POINT pt = {0, ::MulDiv(::GetDeviceCaps(hScreen, LOGPIXELSY), nPointSize, 720)};
    ::DPtoLP(hScreen, &pt, 1);
    POINT ptOrg = {0, 0};
    ::DPtoLP(hScreen, &ptOrg, 1);
    lf.lfHeight = -abs(pt.y - ptOrg.y);
    return Attach(::CreateFontIndirectA(&lf));
}
