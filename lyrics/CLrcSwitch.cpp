#include "lyrics/CLrcSwitch.h"

#include <windows.h>
#include <shlwapi.h>

#include "framework/Holders.h"

bool CLrcSwitch::IsOn() const {
    return !::PathFileExistsA(m_pszOffFile);
}

bool CLrcSwitch::Toggle() const {
    if (IsOn()) {
        ::CreateDirectoryA("Lrc", nullptr);
        const CFileHandle file(
            ::CreateFileA(m_pszOffFile, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    } else {
        ::DeleteFileA(m_pszOffFile);
    }
    return IsOn();
}
