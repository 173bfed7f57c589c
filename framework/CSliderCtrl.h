#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cassert>

#include "framework/CWnd.h"

class CSliderCtrl : public CWnd {
public:
    int GetPos() const { return static_cast<int>(Send(TBM_GETPOS)); }
    void SetPos(int nPos) { Send(TBM_SETPOS, TRUE, nPos); }
    // Full 32-bit ends: a song longer than 65 535 ms must not wrap the range.
    void SetRange(int nMin, int nMax, BOOL bRedraw = FALSE) {
        Send(TBM_SETRANGEMIN, FALSE, nMin);
        Send(TBM_SETRANGEMAX, bRedraw, nMax);
    }
    int GetRangeMax() const { return static_cast<int>(Send(TBM_GETRANGEMAX)); }

private:
    LRESULT Send(UINT nMsg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        assert(::IsWindow(m_hWnd));
        return ::SendMessageA(m_hWnd, nMsg, wParam, lParam);
    }
};
