// A device context. The base is a view of a handle it does not own; CClientDC, CPaintDC and
// memory contexts made by CreateCompatibleDC release or delete their handle when they go.
#pragma once

#include <windows.h>

class CWnd;

class CDC {
public:
    CDC() = default;
    explicit CDC(HDC hDC) : m_hDC(hDC) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    BOOL CreateCompatibleDC(HDC hDC);
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
    COLORREF SetTextColor(COLORREF cr) { return ::SetTextColor(m_hDC, cr); }
    COLORREF SetBkColor(COLORREF cr) { return ::SetBkColor(m_hDC, cr); }
    int SetBkMode(int nMode) { return ::SetBkMode(m_hDC, nMode); }
    BOOL Rectangle(int x1, int y1, int x2, int y2) { return ::Rectangle(m_hDC, x1, y1, x2, y2); }
    BOOL Ellipse(int x1, int y1, int x2, int y2) { return ::Ellipse(m_hDC, x1, y1, x2, y2); }
    BOOL BitBlt(int x, int y, int nWidth, int nHeight, HDC hSrcDC, int xSrc, int ySrc, DWORD dwRop) {
        return ::BitBlt(m_hDC, x, y, nWidth, nHeight, hSrcDC, xSrc, ySrc, dwRop);
    }
    BOOL TextOut(int x, int y, const char* psz, int nCount) { return ::TextOutA(m_hDC, x, y, psz, nCount); }
    SIZE GetTextExtent(const char* psz, int nCount) const;
    // UTF-16 text, in any script the fonts can draw.
    BOOL TextOut(int x, int y, const wchar_t* psz, int nCount) { return ::TextOutW(m_hDC, x, y, psz, nCount); }
    BOOL ExtTextOut(int x, int y, UINT nOptions, const RECT* pRect, const wchar_t* psz, int nCount) {
        return ::ExtTextOutW(m_hDC, x, y, nOptions, pRect, psz, static_cast<UINT>(nCount), nullptr);
    }
    SIZE GetTextExtent(const wchar_t* psz, int nCount) const;
    BOOL GetTextMetrics(TEXTMETRICA* pMetrics) const { return ::GetTextMetricsA(m_hDC, pMetrics); }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }
    COLORREF GetPixel(int x, int y) const { return ::GetPixel(m_hDC, x, y); }

protected:
    HDC m_hDC = nullptr;
    enum class Release { None, Delete, ReleaseDC, EndPaint } m_release = Release::None;
    HWND m_hWnd = nullptr;
};

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
};

class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps = {};
};
