// The player's icon in the notification area. The record is filled once; the icon comes and
// goes with the window, and whatever is still shown goes when the holder does.
#pragma once

#include <windows.h>
#include <shellapi.h>

class CTrayIcon {
public:
    CTrayIcon() = default;
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;
    ~CTrayIcon();

    // Fills the record; nothing is shown yet. Clicks on the icon reach hWnd as nMessage.
    void Init(HWND hWnd, UINT nID, UINT nMessage, HICON hIcon, const char* pszTip);
    // False when the notification area refused the icon.
    bool Add();
    // Asks for the icon's removal whether or not it is shown.
    void Remove();

private:
    NOTIFYICONDATAA m_nid = {};
    bool m_bAdded = false;
};
