// A byte string in the ANSI code page (GBK here). Holds bytes, never characters:
// only the operations that must walk characters (lower-casing, reverse search) know GBK.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <string>
#include <utility>

class CString {
public:
    CString() = default;
    CString(const char* psz) : m_str(psz ? psz : "") {}
    CString(const char* pch, int nLength) : m_str(pch, nLength > 0 ? nLength : 0) {}
    CString(char ch, int nRepeat = 1) : m_str(nRepeat > 0 ? nRepeat : 0, ch) {}
    CString(const std::string& s) : m_str(s) {}
    CString(std::string&& s) : m_str(std::move(s)) {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int i) const { return m_str[i]; }
    char operator[](int i) const { return m_str[i]; }
    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }
    const std::string& Str() const { return m_str; }

    CString& operator=(const char* psz) {
        m_str = psz ? psz : "";
        return *this;
    }
    void SetString(const char* pch, int nLength) { m_str.assign(pch, nLength > 0 ? nLength : 0); }
    CString& operator+=(const CString& s) {
        m_str += s.m_str;
        return *this;
    }
    CString& operator+=(const char* psz) {
        if (psz)
            m_str += psz;
        return *this;
    }
    CString& operator+=(char ch) {
        m_str += ch;
        return *this;
    }
    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, const char* b) { return a + CString(b); }
    friend CString operator+(const char* a, const CString& b) { return CString(a) + b; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) { return a.m_str == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }
    int Compare(const char* psz) const { return m_str.compare(psz ? psz : ""); }

    // Byte searches, as the callers count in bytes; -1 when absent.
    int Find(char ch, int nStart = 0) const;
    int Find(const char* psz, int nStart = 0) const;
    // Last occurrence of an ASCII byte that is a character of its own, never a GBK trail byte.
    int ReverseFind(char ch) const;
    // First occurrence of an ASCII byte that is a character of its own.
    int FindChar(char ch) const;

    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;

    // ASCII A-Z only; the two bytes of a GBK character are left alone.
    CString& MakeLower();
    int Remove(char ch);
    CString& TrimLeft(char ch);
    CString& TrimLeft();

    void Format(const char* pszFormat, ...);
    void FormatV(const char* pszFormat, va_list args);
    bool LoadString(unsigned int nID);

private:
    std::string m_str;
};

// True when the byte starts a two-byte character of code page 936.
inline bool IsGbkLeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE;
}

// True when the byte can end a two-byte character of code page 936.
inline bool IsGbkTrailByte(unsigned char b) {
    return b >= 0x40 && b <= 0xFE && b != 0x7F;
}
