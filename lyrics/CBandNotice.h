// A short text the band shows where its messages stand, in place of everything else, for a
// number of its ticks; then the band goes back to what it showed.
#pragma once

#include "framework/CString.h"

class CBandNotice {
public:
    // Replaces any notice still showing.
    void Show(const CString& strText, int nTicks);
    // Counts one tick: true with the text while the notice lasts, false once it is over.
    bool Take(CString& strText);

private:
    CString m_strText;
    int m_nTicksLeft = 0;
};
