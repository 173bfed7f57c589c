#include "app/CTrayIcon.h"

CTrayIcon::~CTrayIcon() {
    if (m_bAdded)
        Remove();
}

void CTrayIcon::Init(HWND hWnd, UINT nID, UINT nMessage, HICON hIcon, const char* pszTip) {
    m_nid = {};
    m_nid.cbSize = sizeof(NOTIFYICONDATAA);
    m_nid.hWnd = hWnd;
    m_nid.uID = nID;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = nMessage;
    m_nid.hIcon = hIcon;
    lstrcpynA(m_nid.szTip, pszTip, sizeof(m_nid.szTip));
}

bool CTrayIcon::Add() {
    if (!::Shell_NotifyIconA(NIM_ADD, &m_nid))
        return false;
    m_bAdded = true;
    return true;
}

void CTrayIcon::Remove() {
    ::Shell_NotifyIconA(NIM_DELETE, &m_nid);
    m_bAdded = false;
}
