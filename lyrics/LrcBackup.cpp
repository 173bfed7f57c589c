#include "lyrics/LrcBackup.h"

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "lyrics/LrcOffsetTag.h"

CStringW FreeBackupPath(const CStringW& strPath) {
    CStringW strBackup = strPath + L".bak";
    for (int n = 1; ::PathFileExistsW(strBackup); ++n)
        strBackup = strPath + L".bak" + CStringW(std::to_wstring(n));
    return strBackup;
}

bool ReplaceKeepingBackup(const CStringW& strPath, const std::string& bytes, CStringW* pstrBackup) {
    pstrBackup->Empty();
    const int nSlash = strPath.ReverseFind(L'\\');
    if (nSlash > 0)
        ::CreateDirectoryW(strPath.Left(nSlash), nullptr);
    if (::PathFileExistsW(strPath)) {
        // A copy, not a move: until the new file is in place the old one stays where it was.
        const CStringW strBackup = FreeBackupPath(strPath);
        if (!::CopyFileW(strPath, strBackup, TRUE))
            return false;
        *pstrBackup = strBackup;
    }
    if (ReplaceFileWith(strPath, bytes))
        return true;
    if (!pstrBackup->IsEmpty()) {
        ::SetFileAttributesW(*pstrBackup, FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(*pstrBackup);
        pstrBackup->Empty();
    }
    return false;
}
