// The band in the user's hands: its place, kept across runs and brought back onto the monitors
// there are; the lock that lets every click through to the window beneath; the drag that takes
// it anywhere on any monitor; the faint strip that shows it under the mouse; and the hiding the
// user may choose while nothing plays or a song has no lyrics.
#pragma once

#include <windows.h>

#include <functional>

#include "lyrics/CBandBackdrop.h"
#include "lyrics/CBandSettings.h"

class CBandHandling {
public:
    // pfnPlace moves the band to a rectangle, and tells its drawing of a new width.
    using PlaceFn = std::function<void(const RECT&)>;

    // Reads the band's choices and puts the band where it was left, or at rcDefault.
    void Start(HWND hBand, const RECT& rcDefault, PlaceFn pfnPlace);

    CBandSettings& Settings() { return m_settings; }
    const CBandSettings& Settings() const { return m_settings; }

    bool IsLocked() const { return m_settings.Locked(); }
    void SetLocked(bool bLocked);

    // The mouse on the band, in screen points.
    void BeginDrag(POINT ptScreen);
    void Drag(POINT ptScreen);
    // The button came up, or the capture went elsewhere: the band stays where it was dropped,
    // on the screen.
    void EndDrag();
    // The monitors changed: the band comes back onto them where it is no longer wholly seen.
    void KeepOnScreen();

    // Once a tick: the strip follows the mouse, and the band hides or comes back as the user
    // chose for a song that is not playing or has no lyrics.
    void Poll(bool bPlaying, bool bLyrics, bool bWanted);
    // The band hid itself by the user's choice and is still wanted.
    bool HiddenByChoice() const { return m_bHiddenByChoice; }

private:
    RECT BandRect() const;

    HWND m_hBand = nullptr;
    PlaceFn m_pfnPlace;
    CBandSettings m_settings;
    CBandBackdrop m_backdrop;
    bool m_bDragging = false;
    POINT m_ptGrab = {};  // the mouse's place on the band when the drag began
    bool m_bHiddenByChoice = false;
};
