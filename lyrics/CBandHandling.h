// The band in the user's hands: its place, kept across runs and brought back onto the monitors
// there are; the lock that lets every click through to the window beneath; the drag that takes
// it anywhere on any monitor; the faint strip that shows it under the mouse; and the hiding the
// user may choose while nothing plays or a song has no lyrics.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "lyrics/CBandBackdrop.h"
#include "lyrics/CBandSettings.h"

class CBandHandling {
public:
    // Moves the band to a rectangle and lays it out for a new size.
    using PlaceFn = std::function<void(const RECT&)>;

    // Reads the band's choices and sets the lock; the band places itself through PlaceFor.
    void Start(HWND hBand, PlaceFn pfnPlace);
    // On the monitor the band belongs on: where the user put it (where it stands now once
    // placed), else a point of the primary monitor.
    RECT NearRect() const;
    // The band's rectangle for the place it would have by itself: the same size, at the place
    // the user gave it (where it stands now once placed), on the screen.
    RECT PlaceFor(const RECT& rcDefault);

    CBandSettings& Settings() { return m_settings; }
    const CBandSettings& Settings() const { return m_settings; }

    // A window that shows part of the band: locked with it, its mouse handed to the band.
    void AddPart(HWND hPart);

    bool IsLocked() const { return m_settings.Locked(); }
    void SetLocked(bool bLocked);

    // The mouse on the band, in screen points.
    void BeginDrag(POINT ptScreen);
    void Drag(POINT ptScreen);
    // The button came up, or the capture went elsewhere: the band stays where it was dropped,
    // on the screen.
    void EndDrag();

    // Once a tick: the strip follows the mouse, and the band hides or comes back as the user
    // chose for a song that is not playing or has no lyrics.
    void Poll(bool bPlaying, bool bLyrics, bool bWanted);
    // The band hid itself by the user's choice and is still wanted.
    bool HiddenByChoice() const { return m_bHiddenByChoice; }

private:
    RECT BandRect() const;
    // The band comes back onto the monitors where it is no longer wholly seen.
    void KeepOnScreen();

    HWND m_hBand = nullptr;
    std::vector<HWND> m_arrParts;
    PlaceFn m_pfnPlace;
    CBandSettings m_settings;
    CBandBackdrop m_backdrop;
    bool m_bDragging = false;
    POINT m_ptGrab = {};  // the mouse's place on the band when the drag began
    bool m_bHiddenByChoice = false;
    bool m_bPlaced = false;  // the band stands at the user's place
};
