// Data exchange between a dialog's controls and its members.
#pragma once

#include <windows.h>

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate) : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Binds the template's control nIDC to the member object, once.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
