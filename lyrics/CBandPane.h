// One part of the lyric band on the screen: a small layered popup showing one rectangle of the
// band's pixels where that rectangle lies on the band. The band shows each text through a pane
// of its own, as small as the text's ink, so that a frame pushes only the pixels of the line
// filling: a system without a compositor (Wine) copies and scans every pixel of a layered window
// at each update, however little changed.
#pragma once

#include <windows.h>

class CBandPane {
public:
    CBandPane() = default;
    CBandPane(const CBandPane&) = delete;
    CBandPane& operator=(const CBandPane&) = delete;
    ~CBandPane();

    // Shown and topmost, owned by the band, with nothing in it yet.
    bool Create(HWND hOwner);
    HWND Handle() const { return m_hWnd; }
    // Shows rcPart of the pixels in hdcSrc at ptOrigin + its own top left; where the pane showed
    // the same rectangle before, only rcDirty (in the same coordinates) is pushed. An empty
    // rcPart shows nothing.
    void Show(HDC hdcSrc, POINT ptOrigin, const RECT& rcPart, const RECT& rcDirty);
    // Nothing shows until the next Show; hdcSrc holds any 32-bit bitmap.
    void Clear(HDC hdcSrc);

private:
    HWND m_hWnd = nullptr;
    RECT m_rcShown = {};
    POINT m_ptOrigin = {};
};
