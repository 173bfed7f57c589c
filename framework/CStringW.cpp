#include "framework/CStringW.h"

#include <windows.h>

#include <algorithm>

namespace {

const UINT kGbkCodePage = 936;

CStringW Widen(UINT nCodePage, std::string_view bytes) {
    const int nBytes = static_cast<int>(bytes.size());
    const int nChars = nBytes > 0 ? ::MultiByteToWideChar(nCodePage, 0, bytes.data(), nBytes, nullptr, 0) : 0;
    if (nChars <= 0)
        return CStringW();
    std::wstring wide(static_cast<size_t>(nChars), L'\0');
    ::MultiByteToWideChar(nCodePage, 0, bytes.data(), nBytes, &wide[0], nChars);
    return CStringW(std::move(wide));
}

std::string Narrow(UINT nCodePage, std::wstring_view wide) {
    const int nChars = static_cast<int>(wide.size());
    // No best fit for GBK: a look-alike would name another file; '?' names none.
    const DWORD dwFlags = nCodePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* pszDefault = nCodePage == CP_UTF8 ? nullptr : "?";
    const int nBytes =
        nChars > 0 ? ::WideCharToMultiByte(nCodePage, dwFlags, wide.data(), nChars, nullptr, 0, pszDefault, nullptr)
                   : 0;
    if (nBytes <= 0)
        return std::string();
    std::string bytes(static_cast<size_t>(nBytes), '\0');
    ::WideCharToMultiByte(nCodePage, dwFlags, wide.data(), nChars, &bytes[0], nBytes, pszDefault, nullptr);
    return bytes;
}

bool IsContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

}  // namespace

CStringW CStringW::FromGbk(std::string_view gbk) {
    return Widen(kGbkCodePage, gbk);
}

CStringW CStringW::FromUtf8(std::string_view utf8) {
    return Widen(CP_UTF8, utf8);
}

CString CStringW::ToGbkLossy() const {
    return CString(Narrow(kGbkCodePage, m_str));
}

bool CStringW::ToGbkExactly(CString& strGbk) const {
    const int nChars = static_cast<int>(m_str.size());
    BOOL bDefaulted = FALSE;
    const int nBytes = nChars > 0 ? ::WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, m_str.data(), nChars,
                                                          nullptr, 0, nullptr, &bDefaulted)
                                  : 0;
    if (bDefaulted || (nChars > 0 && nBytes <= 0))
        return false;
    std::string bytes(static_cast<size_t>(nBytes), '\0');
    if (nBytes > 0)
        ::WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, m_str.data(), nChars, &bytes[0], nBytes, nullptr,
                              nullptr);
    // The way back must give the same text: a best fit the flag does not stop is a loss too.
    if (Widen(kGbkCodePage, bytes) != *this)
        return false;
    strGbk = CString(std::move(bytes));
    return true;
}

std::string CStringW::ToUtf8() const {
    return Narrow(CP_UTF8, m_str);
}

std::string CStringW::ToUtf8(std::wstring_view wide) {
    return Narrow(CP_UTF8, wide);
}

bool CStringW::HasLoneSurrogate() const {
    for (size_t i = 0; i < m_str.size(); ++i) {
        if (IsHighSurrogate(m_str[i]) && i + 1 < m_str.size() && IsLowSurrogate(m_str[i + 1]))
            ++i;
        else if (IsHighSurrogate(m_str[i]) || IsLowSurrogate(m_str[i]))
            return true;
    }
    return false;
}

bool IsValidUtf8(const char* p, size_t n) {
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    size_t i = 0;
    while (i < n) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            if (b == 0xE0)
                lo = 0xA0;  // overlong
            else if (b == 0xED)
                hi = 0x9F;  // surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            if (b == 0xF0)
                lo = 0x90;  // overlong
            else if (b == 0xF4)
                hi = 0x8F;  // past U+10FFFF
        } else {
            return false;
        }
        if (n - i < len || s[i + 1] < lo || s[i + 1] > hi)
            return false;
        for (size_t k = 2; k < len; ++k)
            if (!IsContinuation(s[i + k]))
                return false;
        i += len;
    }
    return true;
}

int CStringW::Find(wchar_t ch, int nStart) const {
    if (nStart < 0 || nStart > GetLength())
        return -1;
    const size_t i = m_str.find(ch, static_cast<size_t>(nStart));
    return i == std::wstring::npos ? -1 : static_cast<int>(i);
}

int CStringW::ReverseFind(wchar_t ch) const {
    const size_t i = m_str.rfind(ch);
    return i == std::wstring::npos ? -1 : static_cast<int>(i);
}

CStringW CStringW::Left(int nCount) const {
    if (nCount <= 0)
        return CStringW();
    return CStringW(m_str.substr(0, static_cast<size_t>(nCount)));
}

CStringW CStringW::Right(int nCount) const {
    if (nCount <= 0)
        return CStringW();
    if (nCount >= GetLength())
        return *this;
    return CStringW(m_str.substr(m_str.size() - static_cast<size_t>(nCount)));
}

CStringW CStringW::Mid(int nFirst) const {
    return Mid(nFirst, GetLength());
}

CStringW CStringW::Mid(int nFirst, int nCount) const {
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst >= GetLength() || nCount <= 0)
        return CStringW();
    return CStringW(m_str.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

CStringW& CStringW::MakeLower() {
    for (wchar_t& c : m_str)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return *this;
}

CStringW& CStringW::TrimLeft(const wchar_t* pszChars) {
    m_str.erase(0, std::min(m_str.find_first_not_of(pszChars), m_str.size()));
    return *this;
}
