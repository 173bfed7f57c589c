// A window handle with a name and a message map. Owns nothing: destroying the window is the
// caller's business. Windows made by the framework or bound by DDX are kept in a handle map,
// so messages and reflected notifications find their object.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "framework/CPoint.h"
#include "framework/CRect.h"
#include "framework/CString.h"
#include "framework/CStringW.h"
#include "framework/MessageMap.h"

class CDC;
class CScrollBar;

class CWnd {
public:
    CWnd() = default;
    // A view of a foreign handle, as handlers receive them; never entered in the handle map.
    explicit CWnd(HWND hWnd) : m_hWnd(hWnd) {}
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }

    // Handle map.
    void Attach(HWND hWnd);
    HWND Detach();
    static CWnd* FromHandlePermanent(HWND hWnd);
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // Runs the message map; false when no entry took the message.
    bool OnWndMsg(UINT nMsg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // The default processing of the message being handled now.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Offers a message to the PreTranslateMessage of its window and of each parent or owner.
    static BOOL WalkPreTranslateTree(MSG* pMsg);

    // Thin calls on the handle.
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    void SetWindowText(const char* psz) { ::SetWindowTextA(m_hWnd, psz); }
    void SetWindowText(const wchar_t* psz) { ::SetWindowTextW(m_hWnd, psz); }
    void GetWindowText(CString& str) const;
    CString GetWindowText() const;
    // Every character of a Unicode window's text.
    void GetWindowText(CStringW& str) const;
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE) {
        ::MoveWindow(m_hWnd, x, y, nWidth, nHeight, bRepaint);
    }
    BOOL SetWindowPos(HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
        return ::SetWindowPos(m_hWnd, hWndInsertAfter, x, y, cx, cy, nFlags);
    }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void InvalidateRect(const RECT* pRect, BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, pRect, bErase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    void GetClientRect(RECT* pRect) const { ::GetClientRect(m_hWnd, pRect); }
    void GetWindowRect(RECT* pRect) const { ::GetWindowRect(m_hWnd, pRect); }
    void ScreenToClient(RECT* pRect) const;
    LRESULT SendMessage(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, nMsg, wParam, lParam);
    }
    BOOL PostMessage(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageA(m_hWnd, nMsg, wParam, lParam);
    }
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse) { return ::SetTimer(m_hWnd, nIDEvent, nElapse, nullptr); }
    BOOL KillTimer(UINT_PTR nIDEvent) { return ::KillTimer(m_hWnd, nIDEvent); }
    HMENU GetSystemMenu(BOOL bRevert) const { return ::GetSystemMenu(m_hWnd, bRevert); }
    HICON SetIcon(HICON hIcon, BOOL bBigIcon) {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon)));
    }
    int SetWindowRgn(HRGN hRgn, BOOL bRedraw) { return ::SetWindowRgn(m_hWnd, hRgn, bRedraw); }
    LONG_PTR GetExStyle() const { return ::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE); }

    // Handlers whose default the derived classes call.
    void OnDestroy() { Default(); }
    void OnClose() { Default(); }
    void OnPaint() { Default(); }
    void OnTimer(UINT_PTR /*nIDEvent*/) { Default(); }
    void OnHScroll(UINT /*nSBCode*/, UINT /*nPos*/, CScrollBar* /*pScrollBar*/) { Default(); }
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    void OnSysCommand(UINT /*nID*/, LPARAM /*lParam*/) { Default(); }
    void OnLButtonDown(UINT /*nFlags*/, CPoint /*point*/) { Default(); }
    int OnCreate(LPCREATESTRUCT /*lpCreateStruct*/) { return static_cast<int>(Default()); }
    void OnDropFiles(HDROP /*hDropInfo*/) { Default(); }
    void OnHotKey(UINT /*nHotKeyId*/, UINT /*nKey1*/, UINT /*nKey2*/) { Default(); }
    void OnAppCommand(CWnd* /*pWnd*/, UINT /*nCmd*/, UINT /*nDevice*/, UINT /*nKey*/) { Default(); }

    HWND m_hWnd = nullptr;

protected:
    // The message now in a handler of this window; Default() passes it on.
    struct CurrentMsg {
        UINT nMsg;
        WPARAM wParam;
        LPARAM lParam;
    };
    const CurrentMsg* m_pCurrentMsg = nullptr;
    virtual void OnOwnerDraw(LPDRAWITEMSTRUCT /*lpDIS*/) {}
};

class CScrollBar : public CWnd {
public:
    CScrollBar() = default;
    explicit CScrollBar(HWND hWnd) : CWnd(hWnd) {}
};
