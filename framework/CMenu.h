// Owns a menu handle and destroys it when it goes.
#pragma once

#include <windows.h>

class CMenu {
public:
    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    ~CMenu() {
        if (m_hMenu)
            ::DestroyMenu(m_hMenu);
    }
    BOOL CreatePopupMenu() { return (m_hMenu = ::CreatePopupMenu()) != nullptr; }
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, const char* pszNewItem) {
        return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, pszNewItem);
    }
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, HWND hWnd) {
        return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, hWnd, nullptr);
    }
    operator HMENU() const { return m_hMenu; }

private:
    HMENU m_hMenu = nullptr;
};
