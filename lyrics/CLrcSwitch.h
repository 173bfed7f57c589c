// A choice the listener makes with a key and keeps across runs: an empty file under "Lrc\"
// whose presence means off. Nothing is read from the file; deleting it switches the choice on.
#pragma once

class CLrcSwitch {
public:
    // pszOffFile: the file's path relative to the current directory, in the ANSI code page.
    explicit CLrcSwitch(const char* pszOffFile) : m_pszOffFile(pszOffFile) {}

    bool IsOn() const;
    // Makes the file (and "Lrc" when it is missing) or removes it; returns whether the choice is
    // on afterwards, which is the old state when the file could not be made or removed.
    bool Toggle() const;

private:
    const char* m_pszOffFile;
};
