#include "lyrics/CBandPane.h"

#include <algorithm>
#include <utility>

namespace {

const wchar_t kClassName[] = L"SonelloBandPane";
const BLENDFUNCTION kBlend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

ATOM RegisterPaneClass() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return ::RegisterClassExW(&wc);
}

}  // namespace

CBandPane::~CBandPane() {
    for (const Tile& tile : m_arrTile)
        ::DestroyWindow(tile.hWnd);
}

void CBandPane::Create(HWND hOwner, TileFn pfnTile) {
    m_hOwner = hOwner;
    m_pfnTile = std::move(pfnTile);
}

bool CBandPane::AddTile() {
    static const ATOM s_class = RegisterPaneClass();
    if (!s_class || !m_hOwner)
        return false;
    const HWND hWnd =
        ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"",
                          WS_POPUP, 0, 0, 1, 1, m_hOwner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!hWnd)
        return false;
    ::ShowWindow(hWnd, SW_SHOWNA);
    m_arrTile.push_back({hWnd, {}});
    if (m_pfnTile)
        m_pfnTile(hWnd);
    return true;
}

void CBandPane::Show(HDC hdcSrc, POINT ptOrigin, const RECT& rcPart, const RECT& rcDirty) {
    if (::IsRectEmpty(&rcPart)) {
        Clear(hdcSrc);
        return;
    }
    const int nTiles = (rcPart.right - rcPart.left + kTileWidth - 1) / kTileWidth;
    while (TileCount() < nTiles && AddTile()) {
    }
    for (int i = 0; i < TileCount(); ++i) {
        Tile& tile = m_arrTile[i];
        const RECT rcTile = {rcPart.left + i * kTileWidth, rcPart.top,
                             std::min<LONG>(rcPart.left + (i + 1) * kTileWidth, rcPart.right), rcPart.bottom};
        RECT rcScreen = rcTile;
        ::OffsetRect(&rcScreen, ptOrigin.x, ptOrigin.y);
        if (i >= nTiles) {
            ClearTile(tile, hdcSrc);
        } else if (!::EqualRect(&rcScreen, &tile.rcShown)) {
            Push(tile, hdcSrc, {rcTile.left, rcTile.top}, rcScreen, nullptr);
        } else {
            RECT rc;
            if (!::IntersectRect(&rc, &rcDirty, &rcTile))
                continue;
            ::OffsetRect(&rc, -rcTile.left, -rcTile.top);
            Push(tile, hdcSrc, {rcTile.left, rcTile.top}, rcScreen, &rc);
        }
    }
}

// A tile showing rcScreen already takes only the dirty part of its pixels; any other is moved,
// sized and filled whole.
void CBandPane::Push(Tile& tile, HDC hdcSrc, POINT ptSrc, const RECT& rcScreen, const RECT* prcDirty) {
    ++m_nPushes;
    if (prcDirty) {
        UPDATELAYEREDWINDOWINFO info = {sizeof(info), nullptr, nullptr, nullptr,   hdcSrc,
                                        &ptSrc,       0,       &kBlend, ULW_ALPHA, prcDirty};
        ::UpdateLayeredWindowIndirect(tile.hWnd, &info);
        return;
    }
    POINT ptDst = {rcScreen.left, rcScreen.top};
    SIZE size = {rcScreen.right - rcScreen.left, rcScreen.bottom - rcScreen.top};
    BLENDFUNCTION blend = kBlend;
    ::UpdateLayeredWindow(tile.hWnd, nullptr, &ptDst, &size, hdcSrc, &ptSrc, 0, &blend, ULW_ALPHA);
    tile.rcShown = rcScreen;
}

void CBandPane::Clear(HDC hdcSrc) {
    for (Tile& tile : m_arrTile)
        ClearTile(tile, hdcSrc);
}

void CBandPane::ClearTile(Tile& tile, HDC hdcSrc) {
    if (::IsRectEmpty(&tile.rcShown))
        return;
    // A pixel of nothing: hiding would make Wine wait for a window manager that is not there.
    POINT ptDst = {tile.rcShown.left, tile.rcShown.top};
    SIZE size = {1, 1};
    POINT ptSrc = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 0, AC_SRC_ALPHA};
    ++m_nPushes;
    ::UpdateLayeredWindow(tile.hWnd, nullptr, &ptDst, &size, hdcSrc, &ptSrc, 0, &blend, ULW_ALPHA);
    tile.rcShown = {};
}
