#include "state/CSettings.h"

#include <cerrno>
#include <cwchar>
#include <cwctype>
#include <iterator>
#include <string>

#include "framework/Holders.h"

CSettings g_settings;

namespace {

// The profile calls look for a bare name in the Windows folder, not the working directory.
std::wstring FullPath(const CStringW& strPath) {
    wchar_t szFull[MAX_PATH * 2] = {};
    const DWORD n = ::GetFullPathNameW(strPath, static_cast<DWORD>(std::size(szFull)), szFull, nullptr);
    return n > 0 && n < std::size(szFull) ? std::wstring(szFull) : std::wstring(strPath.GetString());
}

// A new profile file is written in the ANSI code page unless it starts as UTF-16.
bool StartUtf16File(const std::wstring& strPath) {
    const CFileHandle file(::CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    const BYTE bom[] = {0xFF, 0xFE};
    DWORD cb = 0;
    return file && ::WriteFile(file.Get(), bom, sizeof(bom), &cb, nullptr) && cb == sizeof(bom);
}

// The data must be on disk before the name points at it; closed before the move.
void FlushToDisk(const std::wstring& strPath) {
    const CFileHandle file(::CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file)
        ::FlushFileBuffers(file.Get());
}

}  // namespace

CStringW CSettings::GetString(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszDefault) const {
    std::wstring value(512, L'\0');
    for (;;) {
        const DWORD n = ::GetPrivateProfileStringW(pszSection, pszKey, pszDefault, value.data(),
                                                   static_cast<DWORD>(value.size()), FullPath(m_strPath).c_str());
        if (n + 1 < value.size() || value.size() >= 64 * 1024) {
            value.resize(n);
            return CStringW(std::move(value));
        }
        value.resize(value.size() * 4);
    }
}

int CSettings::GetInt(const wchar_t* pszSection, const wchar_t* pszKey, int nDefault, int nMin, int nMax) const {
    const CStringW strValue = GetString(pszSection, pszKey, L"");
    if (strValue.IsEmpty())
        return nDefault;
    wchar_t* pEnd = nullptr;
    errno = 0;
    const long long n = std::wcstoll(strValue, &pEnd, 10);
    if (errno != 0 || *pEnd != L'\0' || pEnd == strValue.GetString() || n < nMin || n > nMax)
        return nDefault;
    return static_cast<int>(n);
}

bool CSettings::GetBool(const wchar_t* pszSection, const wchar_t* pszKey, bool bDefault) const {
    const CStringW strValue = GetString(pszSection, pszKey, L"");
    if (strValue == L"1")
        return true;
    if (strValue == L"0")
        return false;
    return bDefault;
}

bool CSettings::SetInt(const wchar_t* pszSection, const wchar_t* pszKey, int nValue) {
    return Write(pszSection, pszKey, std::to_wstring(nValue).c_str());
}

bool CSettings::SetBool(const wchar_t* pszSection, const wchar_t* pszKey, bool bValue) {
    return Write(pszSection, pszKey, bValue ? L"1" : L"0");
}

bool CSettings::SetString(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszValue) {
    const std::wstring strValue = pszValue ? pszValue : L"";
    // Reading drops the spaces at either end and one pair of quotes around the value: quoted,
    // the value comes back as it was.
    const bool bQuote =
        !strValue.empty() && (std::iswspace(strValue.front()) || std::iswspace(strValue.back()) ||
                              (strValue.size() > 1 && strValue.front() == L'"' && strValue.back() == L'"'));
    return Write(pszSection, pszKey, bQuote ? (L"\"" + strValue + L"\"").c_str() : strValue.c_str());
}

bool CSettings::Remove(const wchar_t* pszSection, const wchar_t* pszKey) {
    return Write(pszSection, pszKey, nullptr);
}

CStringW CSettings::KeyFor(const CStringW& strText) {
    bool bPlain = !strText.IsEmpty() && strText[0] != L' ' && strText[0] != L'[' && strText[0] != L';' &&
                  strText[strText.GetLength() - 1] != L' ';
    for (int i = 0; bPlain && i < strText.GetLength(); ++i)
        bPlain = strText[i] != L'=' && strText[i] != L'\r' && strText[i] != L'\n' && strText[i] != L'\t';
    if (bPlain)
        return strText;
    CStringW strKey = L"hex:";
    for (int i = 0; i < strText.GetLength(); ++i) {
        wchar_t sz[5];
        std::swprintf(sz, std::size(sz), L"%04X", static_cast<unsigned>(strText[i]));
        strKey += sz;
    }
    return strKey;
}

bool CSettings::Write(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszValue) {
    const std::wstring strFile = FullPath(m_strPath);
    // A read-only file stays as it is, even where a move could replace it (Wine run as root).
    const DWORD dwAttributes = ::GetFileAttributesW(strFile.c_str());
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY))
        return false;
    const std::wstring strTemp = strFile + L".tmp";
    const bool bCopied = dwAttributes != INVALID_FILE_ATTRIBUTES
                             ? ::CopyFileW(strFile.c_str(), strTemp.c_str(), FALSE) != FALSE
                             : StartUtf16File(strTemp);
    bool bDone = bCopied && ::WritePrivateProfileStringW(pszSection, pszKey, pszValue, strTemp.c_str());
    // The profile calls may keep the file cached: this writes it out.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, strTemp.c_str());
    if (bDone) {
        ::SetFileAttributesW(strTemp.c_str(), FILE_ATTRIBUTE_NORMAL);
        FlushToDisk(strTemp);
        bDone = ::MoveFileExW(strTemp.c_str(), strFile.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    }
    if (!bDone)
        ::DeleteFileW(strTemp.c_str());
    return bDone;
}
