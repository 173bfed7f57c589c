// The band's choices as the user left them, kept in the player's settings file under [band]:
// read once when the band starts, each written at once when it changes. Missing or malformed
// values give the band as it has always been: blue and red, 28 points, at the bottom of the
// primary screen, not locked, never hidden by itself.
#pragma once

#include <windows.h>

#include "lyrics/BandStyle.h"

// A colour scheme: the part of a line not yet sung, the part sung, the outline and the shadow.
struct BandScheme {
    const char* pszName;
    COLORREF crText;
    COLORREF crFill;
    COLORREF crOutline;
    COLORREF crShadow;
};

class CBandSettings {
public:
    static constexpr int kSchemeCount = 5;
    static const BandScheme kSchemes[kSchemeCount];
    static constexpr int kSizeCount = 6;
    static const int kSizes[kSizeCount];  // points
    static constexpr int kDefaultSize = 28;

    // Reads every choice from g_settings.
    void Load();

    int Scheme() const { return m_nScheme; }
    const BandScheme& Colours() const { return kSchemes[m_nScheme]; }
    int PointSize() const { return m_nPointSize; }
    bool Outline() const { return m_bOutline; }
    bool Shadow() const { return m_bShadow; }
    bool Locked() const { return m_bLocked; }
    bool HideWhenPaused() const { return m_bHidePaused; }
    bool HideWithoutLyrics() const { return m_bHideNoLyrics; }
    bool Shown() const { return m_bShown; }
    // The look these choices give the band.
    BandStyle Style() const;
    // The band's top left corner as the user left it; false when none was kept.
    bool Place(POINT& pt) const;

    // Each keeps the choice in the file at once.
    void SetScheme(int nScheme);
    void SetPointSize(int nPointSize);
    void SetOutline(bool bOn);
    void SetShadow(bool bOn);
    void SetLocked(bool bOn);
    void SetHideWhenPaused(bool bOn);
    void SetHideWithoutLyrics(bool bOn);
    void SetShown(bool bOn);
    void SetPlace(POINT pt);

private:
    int m_nScheme = 0;
    int m_nPointSize = kDefaultSize;
    bool m_bOutline = true;
    bool m_bShadow = false;
    bool m_bLocked = false;
    bool m_bHidePaused = false;
    bool m_bHideNoLyrics = false;
    bool m_bShown = false;
    bool m_bHasPlace = false;
    POINT m_ptPlace = {};
};
