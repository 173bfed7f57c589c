// A UTF-16 string: song paths and lyric text, which GBK cannot hold in every script. Holds code
// units; the searches look for ASCII characters, which never stand inside a surrogate pair.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "framework/CString.h"

class CStringW {
public:
    CStringW() = default;
    CStringW(const wchar_t* psz) : m_str(psz ? psz : L"") {}
    CStringW(const wchar_t* pch, int nLength) : m_str(pch, nLength > 0 ? nLength : 0) {}
    CStringW(const std::wstring& s) : m_str(s) {}
    CStringW(std::wstring&& s) : m_str(std::move(s)) {}
    CStringW(std::wstring_view s) : m_str(s) {}

    // Text in the ANSI code page (GBK), as the design's own texts and older song lists hold it.
    static CStringW FromGbk(std::string_view gbk);
    static CStringW FromUtf8(std::string_view utf8);
    // GBK with '?' for what it cannot hold: for texts shown through the "A" functions only.
    CString ToGbkLossy() const;
    // GBK that reads back as this text; false when a character has no place in GBK.
    bool ToGbkExactly(CString& strGbk) const;
    std::string ToUtf8() const;
    // The same for any run of UTF-16, with no CStringW made of it.
    static std::string ToUtf8(std::wstring_view wide);
    // True when a surrogate stands without its pair: no character, so UTF-8 and XML cannot
    // carry it (file names on NTFS may hold one).
    bool HasLoneSurrogate() const;

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    wchar_t operator[](int i) const { return m_str[i]; }
    operator const wchar_t*() const { return m_str.c_str(); }
    const wchar_t* GetString() const { return m_str.c_str(); }
    const std::wstring& Str() const { return m_str; }
    void SetString(const wchar_t* pch, int nLength) { m_str.assign(pch, nLength > 0 ? nLength : 0); }

    CStringW& operator+=(const CStringW& s) {
        m_str += s.m_str;
        return *this;
    }
    CStringW& operator+=(const wchar_t* psz) {
        if (psz)
            m_str += psz;
        return *this;
    }
    CStringW& operator+=(wchar_t ch) {
        m_str += ch;
        return *this;
    }
    friend CStringW operator+(const CStringW& a, const CStringW& b) { return CStringW(a.m_str + b.m_str); }
    friend CStringW operator+(const CStringW& a, const wchar_t* b) { return a + CStringW(b); }
    friend CStringW operator+(const wchar_t* a, const CStringW& b) { return CStringW(a) + b; }
    friend bool operator==(const CStringW& a, const CStringW& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CStringW& a, const wchar_t* b) { return a.m_str == (b ? b : L""); }
    friend bool operator!=(const CStringW& a, const CStringW& b) { return !(a == b); }
    friend bool operator!=(const CStringW& a, const wchar_t* b) { return !(a == b); }
    friend bool operator<(const CStringW& a, const CStringW& b) { return a.m_str < b.m_str; }

    // Searches in code units; -1 when absent.
    int Find(wchar_t ch, int nStart = 0) const;
    int ReverseFind(wchar_t ch) const;

    CStringW Left(int nCount) const;
    CStringW Right(int nCount) const;
    CStringW Mid(int nFirst) const;
    CStringW Mid(int nFirst, int nCount) const;

    // ASCII A-Z only, as the extension rule compares.
    CStringW& MakeLower();
    // Drops every leading code unit that is one of pszChars.
    CStringW& TrimLeft(const wchar_t* pszChars);

private:
    std::wstring m_str;
};

inline bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

inline bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Well-formed UTF-8 (no overlongs, no surrogates, nothing past U+10FFFF); true for no bytes.
bool IsValidUtf8(const char* p, size_t n);
inline bool IsValidUtf8(std::string_view bytes) {
    return IsValidUtf8(bytes.data(), bytes.size());
}
