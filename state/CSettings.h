// The player's own choices, kept in one small UTF-16 profile file beside MySongList.xml
// ("Sonello.ini" in the working directory). A value that is missing or malformed reads as its
// default; every change replaces the file in one step, so a crash leaves the old file or the new.
#pragma once

#include <windows.h>

#include "framework/CStringW.h"

class CSettings {
public:
    explicit CSettings(const CStringW& strPath = L"Sonello.ini") : m_strPath(strPath) {}

    const CStringW& Path() const { return m_strPath; }

    // An integer written in decimal within [nMin, nMax]; anything else gives nDefault.
    int GetInt(const wchar_t* pszSection, const wchar_t* pszKey, int nDefault, int nMin, int nMax) const;
    // "1" or "0"; anything else gives bDefault.
    bool GetBool(const wchar_t* pszSection, const wchar_t* pszKey, bool bDefault) const;
    CStringW GetString(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszDefault) const;

    // False when the file could not be written (read-only, no room): the old file stays whole.
    bool SetInt(const wchar_t* pszSection, const wchar_t* pszKey, int nValue);
    bool SetBool(const wchar_t* pszSection, const wchar_t* pszKey, bool bValue);
    bool SetString(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszValue);
    bool Remove(const wchar_t* pszSection, const wchar_t* pszKey);

    // A key the profile format can hold for any text (a song's path): '=', '[', ';', line ends and
    // spaces at either end would be read back as something else, so such texts are spelt in hex.
    static CStringW KeyFor(const CStringW& strText);

private:
    // pszValue nullptr removes the key.
    bool Write(const wchar_t* pszSection, const wchar_t* pszKey, const wchar_t* pszValue);

    CStringW m_strPath;
};

// The player's settings file; tests point it elsewhere.
extern CSettings g_settings;
