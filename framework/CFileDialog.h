// The system's open-file dialog. It runs in UTF-16, so that a chosen file whose name lies
// outside the ANSI code page is still named exactly.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "framework/CWnd.h"

class CFileDialog {
public:
    CFileDialog(BOOL bOpenFileDialog, const char* pszDefExt = nullptr, const char* pszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY, const char* pszFilter = nullptr, CWnd* pParentWnd = nullptr);
    INT_PTR DoModal();
    std::wstring GetWidePathName() const { return m_szFile; }

private:
    BOOL m_bOpen;
    std::wstring m_strDefExt;
    std::wstring m_filter;  // NUL separated, as the system reads it
    wchar_t m_szFile[32768] = {};
    OPENFILENAMEW m_ofn = {};
};
