// The band's right-click menu, built afresh from the band's choices each time it opens. The
// lyric commands stand for the player's Ctrl keys and go the same way as the keys do.
#pragma once

#include <windows.h>

#include "framework/CMenu.h"
#include "lyrics/CBandSettings.h"

class CBandMenu {
public:
    CBandMenu(const CBandSettings& settings, bool bTranslations);

    HMENU Handle() const { return m_menu; }
    // Shows the menu at a point on the screen until the user chooses or leaves it; returns the
    // command chosen, 0 for none.
    UINT Track(HWND hOwner, POINT pt) const;

    // The key pressed with Ctrl that a command stands for; 0 when it is none of the keys.
    static UINT LyricsKeyOf(UINT nID);
    // Applies a command that changes one of the band's choices; false for any other command.
    static bool ApplyChoice(UINT nID, CBandSettings& settings);

private:
    CMenu m_menu;
};
