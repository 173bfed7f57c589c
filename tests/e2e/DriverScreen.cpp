#include "DriverScreen.h"

#include <cstdlib>
#include <functional>
#include <string>

#include "framework/CDC.h"
#include "framework/CBitmap.h"
#include "framework/CGdiObject.h"
#include "framework/Holders.h"
#include "lyrics/BandLayout.h"

namespace driver {

// ---- looking at the screen ----------------------------------------------------------------

namespace {

// The band's texts centre on a quarter and three quarters of it, its messages on the middle; their
// heights follow the band's font (BandLayout).
const COLORREF kBandRed = RGB(255, 0, 0);

// Draws into a fresh picture of the given size and hands back its pixels.
bool Paint(int width, int height, Picture* out, const std::function<bool(HDC)>& draw) {
    if (width <= 0 || height <= 0)
        return false;
    CClientDC screen(nullptr);
    CDC mem;
    uint32_t* bits = nullptr;
    CBitmap dib;
    if (!mem.CreateCompatibleDC(screen) || !dib.CreateTopDownDib(width, height, &bits))
        return false;
    bool ok = false;
    {
        const CSelectScope selected(mem, dib);
        ok = draw(mem);
        ::GdiFlush();
    }
    out->width = width;
    out->height = height;
    out->pixels.assign(bits, bits + static_cast<size_t>(width) * height);
    return ok;
}

// The screen as the user sees it, layered windows and all.
bool CaptureScreen(const RECT& rc, Picture* out) {
    CClientDC screen(nullptr);
    return Paint(rc.right - rc.left, rc.bottom - rc.top, out, [&](HDC mem) {
        return ::BitBlt(mem, 0, 0, rc.right - rc.left, rc.bottom - rc.top, screen, rc.left, rc.top, SRCCOPY) != FALSE;
    });
}

}  // namespace

// Only what is on the screen can be read back: the band may reach below its bottom edge.
bool CaptureBand(const PlayerWindows& w, Picture* out) {
    RECT rc;
    if (!w.band || !::IsWindowVisible(w.band) || !::GetWindowRect(w.band, &rc))
        return false;
    const int x = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int y = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    const RECT screen = {x, y, x + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), y + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    RECT visible;
    if (!::IntersectRect(&visible, &rc, &screen) || visible.left != rc.left || visible.top != rc.top)
        return false;
    return CaptureScreen(visible, out);
}

bool IsBandRed(DWORD px) {
    return (px & 0xFFFFFF) == ((GetRValue(kBandRed) << 16) | (GetGValue(kBandRed) << 8) | GetBValue(kBandRed));
}

namespace {

// Text of the band is blue or red or a blend of them; the desktop behind it is grey or black.
bool IsInk(DWORD px) {
    const int r = (px >> 16) & 0xFF, g = (px >> 8) & 0xFF, b = px & 0xFF;
    const int hi = r > g ? (r > b ? r : b) : (g > b ? g : b);
    const int lo = r < g ? (r < b ? r : b) : (g < b ? g : b);
    return hi - lo > 80;
}

}  // namespace

int RedPixels(const Picture& picture) {
    int n = 0;
    for (DWORD px : picture.pixels)
        n += IsBandRed(px);
    return n;
}

namespace {

// The band's font, made as the band makes it: 28 points of 宋体 at the screen's resolution, smoothed.
HFONT MakeBandFont() {
    CClientDC screen(nullptr);
    LOGFONTW lf = {};
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(lf.lfFaceName, L"\x5B8B\x4F53", LF_FACESIZE);  // 宋体
    POINT pt = {0, ::MulDiv(::GetDeviceCaps(screen, LOGPIXELSY), 280, 720)};
    ::DPtoLP(screen, &pt, 1);
    POINT org = {0, 0};
    ::DPtoLP(screen, &org, 1);
    lf.lfHeight = -std::abs(pt.y - org.y);
    lf.lfQuality = ANTIALIASED_QUALITY;
    return ::CreateFontIndirectW(&lf);
}

}  // namespace

// slot: top, bottom or message.
bool RenderLine(const std::wstring& text, const std::wstring& slot, int bandWidth, Glyphs* out) {
    CGdiObject font;
    font.Attach(MakeBandFont());
    SIZE size = {};
    TEXTMETRICW tm = {};
    {
        CClientDC screen(nullptr);
        CDC mem;
        mem.CreateCompatibleDC(screen);
        const CSelectScope selected(mem, font.GetSafeHandle());
        ::GetTextExtentPoint32W(mem, text.c_str(), static_cast<int>(text.size()), &size);
        ::GetTextMetricsW(mem, &tm);
    }
    const bool bTop = slot == L"top";
    out->x = slot == L"message" ? (bandWidth - size.cx) / 2
             : bTop             ? bandWidth / 4 - size.cx / 2
                                : bandWidth - bandWidth / 4 - size.cx / 2;
    CClientDC screen(nullptr);
    const BandLayout layout = LayOutBand(::GetDeviceCaps(screen, LOGPIXELSY), tm.tmHeight);
    out->y = slot == L"message" ? layout.nMessageY : layout.nSlotY[bTop ? 0 : 1];
    return Paint(size.cx, tm.tmHeight, &out->picture, [&](HDC mem) {
        const CSelectScope selected(mem, font.GetSafeHandle());
        // On black, as the band draws its letters' coverage: smoothing on white comes out thinner.
        RECT rc = {0, 0, size.cx, tm.tmHeight};
        ::FillRect(mem, &rc, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::SetBkMode(mem, TRANSPARENT);
        ::SetTextColor(mem, RGB(0, 0, 255));
        return ::TextOutW(mem, 0, 0, text.c_str(), static_cast<int>(text.size())) != FALSE;
    });
}

// Of the pixels inked in the expected line or on the screen, the share inked in both: 1 is the
// very text; another text scores far lower.
double MatchLine(const Picture& band, const Glyphs& g) {
    int both = 0, either = 0;
    for (int y = 0; y < g.picture.height; ++y) {
        for (int x = 0; x < g.picture.width; ++x) {
            const int bx = g.x + x, by = g.y + y;
            // What lies beyond the screen cannot be seen, so it neither matches nor differs.
            if (bx < 0 || by < 0 || bx >= band.width || by >= band.height)
                continue;
            const bool bScreen = IsInk(band.At(bx, by));
            const bool bExpected = IsInk(g.picture.At(x, y));
            both += bScreen && bExpected;
            either += bScreen || bExpected;
        }
    }
    return either ? static_cast<double>(both) / either : 0.0;
}

}  // namespace driver
