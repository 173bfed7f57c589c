#include "lyrics/CBandBackdrop.h"

namespace {

const wchar_t kClass[] = L"SonelloBandBackdrop";
// Dark and mostly see-through: light enough to read the desktop, dark enough to see the band.
const BYTE kAlpha = 48;

}  // namespace

CBandBackdrop::~CBandBackdrop() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

bool CBandBackdrop::Create(HWND hBand) {
    const HINSTANCE hInstance = ::GetModuleHandleW(nullptr);
    WNDCLASSW wc = {};
    if (!::GetClassInfoW(hInstance, kClass, &wc)) {
        wc.lpfnWndProc = WndProc;
        wc.hInstance = hInstance;
        wc.hCursor = ::LoadCursorA(nullptr, IDC_SIZEALL);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = kClass;
        if (!::RegisterClassW(&wc))
            return false;
    }
    m_hBand = hBand;
    m_hWnd = ::CreateWindowExW(WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClass, L"",
                               WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, hInstance, nullptr);
    if (!m_hWnd)
        return false;
    ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hBand));
    ::SetLayeredWindowAttributes(m_hWnd, 0, kAlpha, LWA_ALPHA);
    return true;
}

void CBandBackdrop::Show(const RECT& rcBand) {
    RECT rc;
    if (!m_hWnd || (IsShown() && ::GetWindowRect(m_hWnd, &rc) && ::EqualRect(&rc, &rcBand) &&
                    ::GetWindow(m_hBand, GW_HWNDNEXT) == m_hWnd))
        return;
    ::SetWindowPos(m_hWnd, m_hBand, rcBand.left, rcBand.top, rcBand.right - rcBand.left, rcBand.bottom - rcBand.top,
                   SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CBandBackdrop::Hide() {
    if (IsShown())
        ::ShowWindow(m_hWnd, SW_HIDE);
}

LRESULT CALLBACK CBandBackdrop::WndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    const HWND hBand = reinterpret_cast<HWND>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    switch (nMsg) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    // Beneath the band and of its size: client points are the band's.
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_CONTEXTMENU:
        if (hBand)
            return ::SendMessageW(hBand, nMsg, wParam, lParam);
        break;
    default:
        break;
    }
    return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
}
