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
    for (const RECT& run : KeyColourRuns(pixel, w, h, crKey)) {
        CRgn row;
        row.CreateRectRgn(run.left + dx, run.top + dy, run.right + dx, run.bottom + dy);
        region.CombineRgn(region, row, RGN_OR);
    }
    return static_cast<HRGN>(region.Detach());
}
