// How the band's texts look: their colours, outline, shadow and font. The band redraws all it
// shows when it is handed a new style.
#pragma once

#include <windows.h>

struct BandStyle {
    COLORREF crText = RGB(0, 0, 255);  // the part not yet sung
    COLORREF crFill = RGB(255, 0, 0);  // the part sung
    COLORREF crOutline = RGB(16, 16, 32);
    COLORREF crShadow = RGB(0, 0, 0);
    bool bOutline = true;
    bool bShadow = false;
    int nPointSize = 28;
    const wchar_t* pszFace = L"宋体";
};
