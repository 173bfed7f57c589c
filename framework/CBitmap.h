#pragma once

#include <cstdint>

#include "framework/CGdiObject.h"

class CBitmap : public CGdiObject {
public:
    BOOL LoadBitmap(UINT nIDResource) {
        return Attach(::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nIDResource)));
    }
    BOOL CreateCompatibleBitmap(HDC hDC, int nWidth, int nHeight) {
        return Attach(::CreateCompatibleBitmap(hDC, nWidth, nHeight));
    }
    // A 32-bit DIB section with its rows top down; its pixels come back through ppBits.
    BOOL CreateTopDownDib(int nWidth, int nHeight, uint32_t** ppBits) {
        BITMAPINFO bmi = {};
        bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), nWidth, -nHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* pBits = nullptr;
        const BOOL bMade = Attach(::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0));
        *ppBits = static_cast<uint32_t*>(pBits);
        return bMade;
    }
    int GetBitmap(BITMAP* pBitmap) const { return GetObject(sizeof(BITMAP), pBitmap); }
    operator HBITMAP() const { return static_cast<HBITMAP>(m_hObject); }
};
