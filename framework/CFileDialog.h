// The system's open-file dialog.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "framework/CWnd.h"

class CFileDialog {
public:
    CFileDialog(BOOL bOpenFileDialog, const char* pszDefExt = nullptr, const char* pszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY, const char* pszFilter = nullptr, CWnd* pParentWnd = nullptr);
    INT_PTR DoModal();
    CString GetPathName() const { return CString(m_szFile); }

private:
    BOOL m_bOpen;
    CString m_strDefExt;
    CString m_strFilter;  // '|' separated, as callers write it
    std::string m_filter;  // NUL separated, as the system reads it
    char m_szFile[32768] = {};
    OPENFILENAMEA m_ofn = {};
};
