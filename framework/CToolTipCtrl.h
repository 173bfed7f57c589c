// A tooltip control for controls of one window; the window relays its mouse messages to it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/CWnd.h"

class CToolTipCtrl : public CWnd {
public:
    ~CToolTipCtrl() override;
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);
    void Activate(BOOL bActivate) { SendMessage(TTM_ACTIVATE, bActivate); }
    // A tool for the whole control window.
    BOOL AddTool(CWnd* pWnd, const char* pszText);
    void RelayEvent(MSG* pMsg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg)); }
    int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }

private:
    HWND m_hWndParent = nullptr;
};
