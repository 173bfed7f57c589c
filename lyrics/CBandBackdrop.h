// A faint strip just beneath the band, shown while the mouse is over a band that is not locked:
// it shows where the band stands, and it takes the mouse where the band has no letters (the
// band's clear pixels let clicks through), handing every press on to the band.
#pragma once

#include <windows.h>

class CBandBackdrop {
public:
    CBandBackdrop() = default;
    ~CBandBackdrop();
    CBandBackdrop(const CBandBackdrop&) = delete;
    CBandBackdrop& operator=(const CBandBackdrop&) = delete;

    // Not owned by the band: an owned window would always stand above it.
    bool Create(HWND hBand);
    // Over the band's rectangle, right beneath it.
    void Show(const RECT& rcBand);
    void Hide();
    bool IsShown() const { return m_hWnd && ::IsWindowVisible(m_hWnd); }
    HWND Handle() const { return m_hWnd; }

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    HWND m_hBand = nullptr;
};
