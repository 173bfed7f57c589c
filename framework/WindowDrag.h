// Frameless windows are moved by their background: a press anywhere on it acts as a press
// on a caption. Call from an OnLButtonDown handler.
#pragma once

#include "framework/CPoint.h"
#include "framework/CWnd.h"

inline void DragWindowByBackground(CWnd* pWnd, CPoint point) {
    pWnd->Default();
    pWnd->PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
}
