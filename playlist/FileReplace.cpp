#include "playlist/FileReplace.h"

#include "framework/Holders.h"

namespace {

// The data must be on disk before the name points at it. Closed before the move, which Windows
// refuses while the file is open.
void FlushToDisk(const char* pszFile) {
    const CFileHandle file(::CreateFileA(pszFile, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (file)
        ::FlushFileBuffers(file.Get());
}

}  // namespace

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
        FlushToDisk(strTemp.c_str());
        if (!::MoveFileExA(strTemp.c_str(), pszFile, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            hr = HRESULT_FROM_WIN32(::GetLastError());
    }
    if (FAILED(hr))
        ::DeleteFileA(strTemp.c_str());
    return hr;
}
