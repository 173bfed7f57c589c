#include "playlist/AnsiPath.h"

#include <windows.h>

bool ToAnsiExactly(const std::wstring& strWide, CString& strAnsi) {
    strAnsi.Empty();
    if (strWide.empty())
        return true;
    const int nWide = static_cast<int>(strWide.size());
    BOOL bDefaulted = FALSE;
    const int nBytes =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, strWide.data(), nWide, nullptr, 0, nullptr, &bDefaulted);
    if (nBytes <= 0 || bDefaulted)
        return false;
    std::string bytes(static_cast<size_t>(nBytes), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, strWide.data(), nWide, &bytes[0], nBytes, nullptr, nullptr);
    // The way back must give the same text: a best fit (Ü read back as U) is a loss too.
    const int nBack = ::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), nBytes, nullptr, 0);
    std::wstring back(static_cast<size_t>(nBack > 0 ? nBack : 0), L'\0');
    if (nBack <= 0 || !::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), nBytes, &back[0], nBack) ||
        back != strWide)
        return false;
    strAnsi = CString(bytes);
    return true;
}

CString ToAnsiLossy(const std::wstring& strWide) {
    const int nWide = static_cast<int>(strWide.size());
    const int nBytes =
        nWide ? ::WideCharToMultiByte(CP_ACP, 0, strWide.data(), nWide, nullptr, 0, nullptr, nullptr) : 0;
    std::string bytes(static_cast<size_t>(nBytes > 0 ? nBytes : 0), '\0');
    if (nBytes > 0)
        ::WideCharToMultiByte(CP_ACP, 0, strWide.data(), nWide, &bytes[0], nBytes, nullptr, nullptr);
    return CString(bytes);
}

bool AnsiPathOf(const std::wstring& strWide, CString& strPath) {
    if (ToAnsiExactly(strWide, strPath))
        return true;
    const DWORD nChars = ::GetShortPathNameW(strWide.c_str(), nullptr, 0);
    if (nChars == 0)
        return false;
    std::wstring strShort(nChars, L'\0');
    const DWORD nGot = ::GetShortPathNameW(strWide.c_str(), &strShort[0], nChars);
    if (nGot == 0 || nGot >= nChars)
        return false;
    strShort.resize(nGot);
    // Without short names the call gives the long path back, which still does not convert.
    return ToAnsiExactly(strShort, strPath);
}
