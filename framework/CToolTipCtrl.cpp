#include "framework/CToolTipCtrl.h"

CToolTipCtrl::~CToolTipCtrl() {
    if (m_hWnd && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
}

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle) {
    m_hWndParent = pParentWnd->m_hWnd;
    HWND h =
        ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, m_hWndParent, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    Attach(h);
    return h != nullptr;
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, const char* pszText) {
    TTTOOLINFOA ti = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;  // understood by every comctl32 version
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = m_hWndParent;
    ti.uId = reinterpret_cast<UINT_PTR>(pWnd->m_hWnd);
    ti.lpszText = const_cast<char*>(pszText);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}
