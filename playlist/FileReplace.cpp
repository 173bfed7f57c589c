#include "playlist/FileReplace.h"

std::string TempFileFor(const char* pszFile) {
    return std::string(pszFile) + ".tmp";
}

HRESULT ReplaceFileWith(const char* pszFile, const std::function<HRESULT(const char* pszTemp)>& write) {
    // A read-only list stays as it is, even where a move could replace it (Wine run as root).
    const DWORD dwAttributes = ::GetFileAttributesA(pszFile);
    if (dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_READONLY))
        return HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    const std::string strTemp = TempFileFor(pszFile);
    HRESULT hr = write(strTemp.c_str());
    if (SUCCEEDED(hr)) {
        // The data must be on disk before the name points at it.
        HANDLE hFile = ::CreateFileA(strTemp.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (hFile != INVALID_HANDLE_VALUE) {
            ::FlushFileBuffers(hFile);
            ::CloseHandle(hFile);
        }
        if (!::MoveFileExA(strTemp.c_str(), pszFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            hr = HRESULT_FROM_WIN32(::GetLastError());
    }
    if (FAILED(hr))
        ::DeleteFileA(strTemp.c_str());
    return hr;
}
