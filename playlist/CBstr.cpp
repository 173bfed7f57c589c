#include "playlist/CBstr.h"

#include <cwchar>
#include <string>

CBstr CBstr::FromGbk(const CString& str) {
    CBstr result;
    const int nBytes = str.GetLength();
    const int nChars = nBytes ? ::MultiByteToWideChar(CP_ACP, 0, str.GetString(), nBytes, nullptr, 0) : 0;
    result.m_bstr = ::SysAllocStringLen(nullptr, static_cast<UINT>(nChars));
    if (result.m_bstr && nChars)
        ::MultiByteToWideChar(CP_ACP, 0, str.GetString(), nBytes, result.m_bstr, nChars);
    return result;
}

bool CBstr::Equals(const wchar_t* psz) const {
    const UINT n = ::SysStringLen(m_bstr);
    return std::wcslen(psz) == n && std::wmemcmp(psz, m_bstr ? m_bstr : L"", n) == 0;
}

CString CBstr::ToGbk() const {
    const int nChars = static_cast<int>(::SysStringLen(m_bstr));
    if (!nChars)
        return CString();
    const int nBytes = ::WideCharToMultiByte(CP_ACP, 0, m_bstr, nChars, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(nBytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, m_bstr, nChars, &bytes[0], nBytes, nullptr, nullptr);
    return CString(bytes);
}
