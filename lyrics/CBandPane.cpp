#include "lyrics/CBandPane.h"

namespace {

const wchar_t kClassName[] = L"SonelloBandPane";

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
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

bool CBandPane::Create(HWND hOwner) {
    static const ATOM s_class = RegisterPaneClass();
    if (!s_class)
        return false;
    m_hWnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"",
                               WS_POPUP, 0, 0, 1, 1, hOwner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!m_hWnd)
        return false;
    ::ShowWindow(m_hWnd, SW_SHOWNA);
    return true;
}

void CBandPane::Show(HDC hdcSrc, POINT ptOrigin, const RECT& rcPart, const RECT& rcDirty) {
    if (!m_hWnd)
        return;
    if (::IsRectEmpty(&rcPart)) {
        Clear(hdcSrc);
        return;
    }
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    POINT ptSrc = {rcPart.left, rcPart.top};
    const bool bSame = ::EqualRect(&rcPart, &m_rcShown) && ptOrigin.x == m_ptOrigin.x && ptOrigin.y == m_ptOrigin.y;
    if (bSame) {
        RECT rc;
        if (!::IntersectRect(&rc, &rcDirty, &rcPart))
            return;
        ::OffsetRect(&rc, -rcPart.left, -rcPart.top);
        UPDATELAYEREDWINDOWINFO info = {sizeof(info), nullptr, nullptr, nullptr,   hdcSrc,
                                        &ptSrc,       0,       &blend,  ULW_ALPHA, &rc};
        ::UpdateLayeredWindowIndirect(m_hWnd, &info);
        return;
    }
    POINT ptDst = {ptOrigin.x + rcPart.left, ptOrigin.y + rcPart.top};
    SIZE size = {rcPart.right - rcPart.left, rcPart.bottom - rcPart.top};
    ::UpdateLayeredWindow(m_hWnd, nullptr, &ptDst, &size, hdcSrc, &ptSrc, 0, &blend, ULW_ALPHA);
    m_rcShown = rcPart;
    m_ptOrigin = ptOrigin;
}

void CBandPane::Clear(HDC hdcSrc) {
    if (!m_hWnd || ::IsRectEmpty(&m_rcShown))
        return;
    // A pixel of nothing: hiding would make Wine wait for a window manager that is not there.
    POINT ptDst = {m_ptOrigin.x + m_rcShown.left, m_ptOrigin.y + m_rcShown.top};
    SIZE size = {1, 1};
    POINT ptSrc = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 0, AC_SRC_ALPHA};
    ::UpdateLayeredWindow(m_hWnd, nullptr, &ptDst, &size, hdcSrc, &ptSrc, 0, &blend, ULW_ALPHA);
    m_rcShown = {};
}
