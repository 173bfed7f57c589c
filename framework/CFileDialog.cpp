#include "framework/CFileDialog.h"

#include <cstring>

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* pszDefExt, const char* pszFileName, DWORD dwFlags,
                         const char* pszFilter, CWnd* pParentWnd)
    : m_bOpen(bOpenFileDialog), m_strDefExt(pszDefExt), m_strFilter(pszFilter) {
    if (pszFileName)
        ::strncpy(m_szFile, pszFileName, sizeof(m_szFile) - 1);
    m_filter = m_strFilter.Str();
    for (char& c : m_filter)
        if (c == '|')
            c = '\0';
    m_filter.push_back('\0');
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    m_ofn.lpstrFilter = m_strFilter.IsEmpty() ? nullptr : m_filter.c_str();
    m_ofn.lpstrFile = m_szFile;
    m_ofn.nMaxFile = sizeof(m_szFile);
    m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : m_strDefExt.GetString();
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
}

INT_PTR CFileDialog::DoModal() {
    const BOOL ok = m_bOpen ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}
