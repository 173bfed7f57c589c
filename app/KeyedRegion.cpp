#include "app/KeyedRegion.h"

#include "framework/CDC.h"
#include "framework/CRect.h"
#include "framework/CRgn.h"

namespace {

// The whole picture in one read, top-down 32-bit pixels, instead of one GetPixel each.
bool ReadPixels(HBITMAP hPicture, const BITMAP& bm, std::vector<DWORD>& pixels) {
    pixels.assign(static_cast<size_t>(bm.bmWidth) * (bm.bmHeight > 0 ? bm.bmHeight : 0), 0);
    if (pixels.empty())
        return false;
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = bm.bmWidth;
    bmi.bmiHeader.biHeight = -bm.bmHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    CClientDC screen(nullptr);
    return ::GetDIBits(screen, hPicture, 0, bm.bmHeight, pixels.data(), &bmi, DIB_RGB_COLORS) == bm.bmHeight;
}

}  // namespace

HRGN CreateKeyedRegion(HWND hWnd, HBITMAP hPicture, COLORREF crKey) {
    CRect rcWindow;
    CRect rcClient;
    ::GetWindowRect(hWnd, &rcWindow);
    ::GetClientRect(hWnd, &rcClient);
    ::MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rcClient), 2);
    const int dx = rcClient.left - rcWindow.left;
    const int dy = rcClient.top - rcWindow.top;
    CRgn region;
    region.CreateRectRgn(0, 0, rcWindow.Width(), rcWindow.Height());
    CRgn client;
    client.CreateRectRgn(dx, dy, dx + rcClient.Width(), dy + rcClient.Height());
    region.CombineRgn(region, client, RGN_XOR);

    BITMAP bm = {};
    ::GetObjectA(hPicture, sizeof(bm), &bm);
    std::vector<DWORD> pixels;
    if (!ReadPixels(hPicture, bm, pixels))
        return nullptr;
    const auto pixel = [&](int x, int y) {
        const DWORD bgra = pixels[static_cast<size_t>(y) * bm.bmWidth + x];
        return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
    };
    const int w = bm.bmWidth < rcClient.Width() ? bm.bmWidth : rcClient.Width();
    const int h = bm.bmHeight < rcClient.Height() ? bm.bmHeight : rcClient.Height();
    // The runs in one call rather than one union each, which copies the growing region.
    const std::vector<RECT> runs = KeyColourRuns(pixel, w, h, crKey);
    std::vector<BYTE> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
    auto* pData = reinterpret_cast<RGNDATA*>(data.data());
    pData->rdh.dwSize = sizeof(RGNDATAHEADER);
    pData->rdh.iType = RDH_RECTANGLES;
    pData->rdh.nCount = static_cast<DWORD>(runs.size());
    pData->rdh.nRgnSize = static_cast<DWORD>(runs.size() * sizeof(RECT));
    pData->rdh.rcBound = {dx, dy, dx + w, dy + h};
    auto* pRects = reinterpret_cast<RECT*>(pData->Buffer);
    for (size_t i = 0; i < runs.size(); ++i)
        pRects[i] = {runs[i].left + dx, runs[i].top + dy, runs[i].right + dx, runs[i].bottom + dy};
    CRgn picture;
    if (!picture.Attach(::ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), pData)))
        return nullptr;
    region.CombineRgn(region, picture, RGN_OR);
    return static_cast<HRGN>(region.Detach());
}
