// The band's handlers and commands for the user's hold on it: the mouse, the menu, the lock and
// its place. Kept apart from the drawing.
#include <windows.h>

#include "lyrics/CBandMenu.h"
#include "lyrics/CDlgLrc.h"
#include "res/resource.h"
#include "state/PlayerState.h"

namespace {

POINT ScreenPoint(HWND hWnd, CPoint point) {
    POINT pt = {point.x, point.y};
    ::ClientToScreen(hWnd, &pt);
    return pt;
}

}  // namespace

void CDlgLrc::OnLButtonDown(UINT /*nFlags*/, CPoint point) {
    m_hands.BeginDrag(ScreenPoint(m_hWnd, point));
}

void CDlgLrc::OnMouseMove(UINT /*nFlags*/, CPoint point) {
    m_hands.Drag(ScreenPoint(m_hWnd, point));
}

void CDlgLrc::OnLButtonUp(UINT /*nFlags*/, CPoint /*point*/) {
    m_hands.EndDrag();
}

LRESULT CDlgLrc::OnCaptureChanged(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    m_hands.EndDrag();
    return 0;
}

LRESULT CDlgLrc::OnContextMenu(WPARAM /*wParam*/, LPARAM lParam) {
    if (IsLocked())
        return 0;
    POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    if (lParam == -1) {  // from the keyboard: at the band's corner
        RECT rc;
        GetWindowRect(&rc);
        pt = {rc.left, rc.top};
    }
    const CBandMenu menu(m_hands.Settings(), m_bTranslations);
    if (const UINT nID = menu.Track(m_hWnd, pt))
        RunBandCommand(nID);
    return 0;
}

// Monitors came, went or changed: the band fits the one it belongs on, on the screen.
LRESULT CDlgLrc::OnDisplayChange(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    const RECT rcNear = m_hands.NearRect();
    FitTo(m_canvas.Layout().nDpi, rcNear);
    Update(s_pfnCounter());
    return 0;
}

// The panes show the texts where the band stands: they go with it at once, also under the mouse.
LRESULT CDlgLrc::OnMove(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    RECT rc;
    GetWindowRect(&rc);
    if (rc.left != m_ptBand.x || rc.top != m_ptBand.y) {
        m_ptBand = {rc.left, rc.top};
        m_shown.kind = BandKind::Unknown;
        Update(s_pfnCounter());
    }
    return 0;
}

void CDlgLrc::SetShown(bool bShown) {
    ShowWindow(bShown ? SW_SHOW : SW_HIDE);
    g_bLrcShown = bShown;
    m_hands.Settings().SetShown(bShown);
    // At once: the strip goes with the band, and a band the user hides while paused stays hidden.
    m_hands.Poll(g_bPlaying, m_model.State().bLrcLoaded, g_bLrcShown);
}

void CDlgLrc::ShowAsLeft() {
    if (m_hands.Settings().Shown())
        SetShown(true);
}

void CDlgLrc::RunBandCommand(UINT nID) {
    if (const UINT nKey = CBandMenu::LyricsKeyOf(nID)) {
        // Exactly what the key does, whatever that comes to be.
        if (const HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER))
            ::SendMessageA(hOwner, WM_LRC_KEY, nKey, 0);
    } else if (nID == ID_BAND_LOCK) {
        SetLocked(!IsLocked());
    } else if (nID == ID_BAND_CLOSE) {
        SetShown(false);
    } else if (CBandMenu::ApplyChoice(nID, m_hands.Settings())) {
        SetStyle(m_hands.Settings().Style());
        m_hands.Poll(g_bPlaying, m_model.State().bLrcLoaded, g_bLrcShown);
    }
}
