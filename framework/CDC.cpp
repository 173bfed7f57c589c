#include "framework/CDC.h"

#include "framework/CWnd.h"

CDC::~CDC() {
    switch (m_release) {
    case Release::Delete:
        ::DeleteDC(m_hDC);
        break;
    case Release::ReleaseDC:
        ::ReleaseDC(m_hWnd, m_hDC);
        break;
    case Release::EndPaint:
    case Release::None:
        break;
    }
}

BOOL CDC::CreateCompatibleDC(HDC hDC) {
    m_hDC = ::CreateCompatibleDC(hDC);
    m_release = m_hDC ? Release::Delete : Release::None;
    return m_hDC != nullptr;
}

SIZE CDC::GetTextExtent(const char* psz, int nCount) const {
    SIZE size = {0, 0};
    ::GetTextExtentPoint32A(m_hDC, psz, nCount, &size);
    return size;
}

SIZE CDC::GetTextExtent(const wchar_t* psz, int nCount) const {
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(m_hDC, psz, nCount, &size);
    return size;
}

CClientDC::CClientDC(CWnd* pWnd) {
    m_hWnd = pWnd ? pWnd->m_hWnd : nullptr;
    m_hDC = ::GetDC(m_hWnd);
    m_release = Release::ReleaseDC;
}

CPaintDC::CPaintDC(CWnd* pWnd) {
    m_hWnd = pWnd->m_hWnd;
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
    m_release = Release::EndPaint;
}

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
}
