#pragma once

#include <cassert>

#include "framework/CWnd.h"

class CListBox : public CWnd {
public:
    int GetCount() const { return Send(LB_GETCOUNT); }
    int GetCurSel() const { return Send(LB_GETCURSEL); }
    int SetCurSel(int nSelect) { return Send(LB_SETCURSEL, nSelect); }
    int AddString(const char* psz) { return Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(psz)); }
    int InsertString(int nIndex, const char* psz) {
        return Send(LB_INSERTSTRING, nIndex, reinterpret_cast<LPARAM>(psz));
    }
    // Rows in UTF-16: a Unicode box keeps every character of them.
    int AddString(const wchar_t* psz) { return SendW(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(psz)); }
    int DeleteString(int nIndex) { return Send(LB_DELETESTRING, nIndex); }
    void ResetContent() { Send(LB_RESETCONTENT); }
    // Room for nItems more rows holding nBytes of text.
    int InitStorage(int nItems, UINT nBytes) { return Send(LB_INITSTORAGE, nItems, nBytes); }
    // The row's text; empty for a row that is not there.
    void GetText(int nIndex, CString& str) const;
    void GetText(int nIndex, CStringW& str) const;

private:
    int Send(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        assert(::IsWindow(m_hWnd));
        return static_cast<int>(::SendMessageA(m_hWnd, nMsg, wParam, lParam));
    }
    int SendW(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        assert(::IsWindow(m_hWnd));
        return static_cast<int>(::SendMessageW(m_hWnd, nMsg, wParam, lParam));
    }
};

inline void CListBox::GetText(int nIndex, CString& str) const {
    const int n = Send(LB_GETTEXTLEN, nIndex);
    if (n == LB_ERR) {
        str.Empty();
        return;
    }
    std::string buf(static_cast<size_t>(n) + 1, '\0');
    Send(LB_GETTEXT, nIndex, reinterpret_cast<LPARAM>(&buf[0]));
    str = CString(buf.c_str());
}

inline void CListBox::GetText(int nIndex, CStringW& str) const {
    const int n = SendW(LB_GETTEXTLEN, nIndex);
    if (n == LB_ERR) {
        str.Empty();
        return;
    }
    std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
    SendW(LB_GETTEXT, nIndex, reinterpret_cast<LPARAM>(&buf[0]));
    str = CStringW(buf.c_str());
}
