#include "framework/CWnd.h"

#include <unordered_map>

#include "framework/CDC.h"

namespace {

// Only the GUI thread touches windows, so one map serves the process.
std::unordered_map<HWND, CWnd*>& HandleMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* pMap, UINT nMsg, WPARAM wParam) {
    const UINT nKey = (nMsg >= WM_CTLCOLORMSGBOX && nMsg <= WM_CTLCOLORSTATIC) ? AFX_WM_CTLCOLOR : nMsg;
    for (; pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->pfn; ++e) {
            if (e->nMessage != nKey)
                continue;
            if (nKey == WM_COMMAND && (e->nCode != HIWORD(wParam) || e->nID != LOWORD(wParam)))
                continue;
            return e;
        }
    }
    return nullptr;
}

}  // namespace

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

CWnd::~CWnd() {
    auto& map = HandleMap();
    auto it = map.find(m_hWnd);
    if (it != map.end() && it->second == this)
        map.erase(it);
}

void CWnd::Attach(HWND hWnd) {
    m_hWnd = hWnd;
    if (hWnd)
        HandleMap()[hWnd] = this;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    auto& map = HandleMap();
    auto it = map.find(h);
    if (it != map.end() && it->second == this)
        map.erase(it);
    m_hWnd = nullptr;
    return h;
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto& map = HandleMap();
    auto it = map.find(hWnd);
    return it == map.end() ? nullptr : it->second;
}

bool CWnd::OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), nMsg, wParam);
    if (!e) {
        // Owner-drawn controls draw themselves.
        if (nMsg == WM_DRAWITEM) {
            auto* pDIS = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam);
            if (CWnd* pCtl = FromHandlePermanent(pDIS->hwndItem)) {
                pCtl->OnOwnerDraw(pDIS);
                *pResult = TRUE;
                return true;
            }
        }
        return false;
    }
    const CurrentMsg msg = {nMsg, wParam, lParam};
    const CurrentMsg* pOuter = m_pCurrentMsg;
    m_pCurrentMsg = &msg;
    *pResult = e->pfn(this, nMsg, wParam, lParam);
    m_pCurrentMsg = pOuter;
    return true;
}

LRESULT CWnd::Default() {
    if (!m_pCurrentMsg)
        return 0;
    return DefWindowProc(m_pCurrentMsg->nMsg, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

LRESULT CWnd::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(m_hWnd, nMsg, wParam, lParam);
}

BOOL CWnd::PreTranslateMessage(MSG* /*pMsg*/) {
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(MSG* pMsg) {
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        if (CWnd* pWnd = FromHandlePermanent(h))
            if (pWnd->PreTranslateMessage(pMsg))
                return TRUE;
    }
    return FALSE;
}

void CWnd::GetWindowText(CString& str) const {
    str = GetWindowText();
}

CString CWnd::GetWindowText() const {
    const int n = ::GetWindowTextLengthA(m_hWnd);
    std::string buf(static_cast<size_t>(n) + 1, '\0');
    const int got = ::GetWindowTextA(m_hWnd, &buf[0], n + 1);
    return CString(buf.data(), got);
}

void CWnd::GetWindowText(CStringW& str) const {
    const int n = ::GetWindowTextLengthW(m_hWnd);
    std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
    const int got = ::GetWindowTextW(m_hWnd, &buf[0], n + 1);
    str = CStringW(buf.data(), got);
}

void CWnd::ScreenToClient(RECT* pRect) const {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(pRect), 2);
}

HBRUSH CWnd::OnCtlColor(CDC* /*pDC*/, CWnd* /*pWnd*/, UINT /*nCtlColor*/) {
    return reinterpret_cast<HBRUSH>(Default());
}
