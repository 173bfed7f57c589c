#include "framework/CFileDialog.h"

#include <algorithm>

namespace {

std::wstring Widen(const char* psz) {
    if (!psz || !*psz)
        return std::wstring();
    const int nChars = ::MultiByteToWideChar(CP_ACP, 0, psz, -1, nullptr, 0);
    std::wstring str(static_cast<size_t>(nChars), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, psz, -1, &str[0], nChars);
    str.resize(static_cast<size_t>(nChars - 1));
    return str;
}

}  // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* pszDefExt, const char* pszFileName, DWORD dwFlags,
                         const char* pszFilter, CWnd* pParentWnd)
    : m_bOpen(bOpenFileDialog), m_strDefExt(Widen(pszDefExt)), m_filter(Widen(pszFilter)) {
    const std::wstring strFile = Widen(pszFileName);
    strFile.copy(m_szFile, std::min(strFile.size(), sizeof(m_szFile) / sizeof(m_szFile[0]) - 1));
    // Callers write the filter '|' separated.
    for (wchar_t& c : m_filter)
        if (c == L'|')
            c = L'\0';
    m_filter.push_back(L'\0');
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    m_ofn.lpstrFilter = m_filter.size() > 1 ? m_filter.c_str() : nullptr;
    m_ofn.lpstrFile = m_szFile;
    m_ofn.nMaxFile = sizeof(m_szFile) / sizeof(m_szFile[0]);
    m_ofn.lpstrDefExt = m_strDefExt.empty() ? nullptr : m_strDefExt.c_str();
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
}

INT_PTR CFileDialog::DoModal() {
    const BOOL ok = m_bOpen ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}
