#include "framework/CString.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

// Calls f(index) for the first byte of every character, GBK pairs counted once.
template <typename F>
void ForEachChar(const std::string& s, F f) {
    const size_t n = s.size();
    for (size_t i = 0; i < n;) {
        f(i);
        i += (IsGbkLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < n) ? 2 : 1;
    }
}

}  // namespace

int CString::Find(char ch, int nStart) const {
    if (nStart < 0 || nStart > GetLength())
        return -1;
    const size_t i = m_str.find(ch, static_cast<size_t>(nStart));
    return i == std::string::npos ? -1 : static_cast<int>(i);
}

int CString::Find(const char* psz, int nStart) const {
    if (!psz || nStart < 0 || nStart > GetLength())
        return -1;
    const size_t i = m_str.find(psz, static_cast<size_t>(nStart));
    return i == std::string::npos ? -1 : static_cast<int>(i);
}

int CString::ReverseFind(char ch) const {
    int found = -1;
    ForEachChar(m_str, [&](size_t i) {
        if (m_str[i] == ch)
            found = static_cast<int>(i);
    });
    return found;
}

int CString::FindChar(char ch) const {
    int found = -1;
    ForEachChar(m_str, [&](size_t i) {
        if (found < 0 && m_str[i] == ch)
            found = static_cast<int>(i);
    });
    return found;
}

CString CString::Left(int nCount) const {
    if (nCount <= 0)
        return CString();
    return CString(m_str.substr(0, static_cast<size_t>(nCount)));
}

CString CString::Right(int nCount) const {
    if (nCount <= 0)
        return CString();
    if (nCount >= GetLength())
        return *this;
    return CString(m_str.substr(m_str.size() - static_cast<size_t>(nCount)));
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const {
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst >= GetLength() || nCount <= 0)
        return CString();
    return CString(m_str.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

CString& CString::MakeLower() {
    ForEachChar(m_str, [&](size_t i) {
        char& c = m_str[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    });
    return *this;
}

int CString::Remove(char ch) {
    const size_t before = m_str.size();
    std::string out;
    out.reserve(before);
    for (char c : m_str)
        if (c != ch)
            out += c;
    m_str.swap(out);
    return static_cast<int>(before - m_str.size());
}

CString& CString::TrimLeft(char ch) {
    const size_t i = m_str.find_first_not_of(ch);
    m_str.erase(0, i == std::string::npos ? m_str.size() : i);
    return *this;
}

CString& CString::TrimLeft() {
    const size_t i = m_str.find_first_not_of(" \t\r\n\v\f");
    m_str.erase(0, i == std::string::npos ? m_str.size() : i);
    return *this;
}

void CString::Format(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, pszFormat, copy);
    va_end(copy);
    if (n < 0) {
        m_str.clear();
        return;
    }
    std::vector<char> buf(static_cast<size_t>(n) + 1);
    std::vsnprintf(buf.data(), buf.size(), pszFormat, args);
    m_str.assign(buf.data(), static_cast<size_t>(n));
}

bool CString::LoadString(unsigned int nID) {
    char buf[512];
    const int n = ::LoadStringA(::GetModuleHandleA(nullptr), nID, buf, sizeof(buf));
    m_str.assign(buf, n > 0 ? static_cast<size_t>(n) : 0);
    return n > 0;
}
