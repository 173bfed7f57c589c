#include "lyrics/CBandHandling.h"

#include <windowsx.h>

#include <utility>

#include "lyrics/BandPlace.h"

namespace {

const wchar_t kPartProc[] = L"SonelloPartProc";

// A part of the band hands the mouse on to the band, in the band's client points.
LRESULT CALLBACK PartProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    const HWND hBand = ::GetWindow(hWnd, GW_OWNER);
    switch (nMsg) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP: {
        POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ::MapWindowPoints(hWnd, hBand, &pt, 1);
        return ::SendMessageW(hBand, nMsg, wParam, MAKELPARAM(pt.x, pt.y));
    }
    case WM_CONTEXTMENU:
        return ::SendMessageW(hBand, nMsg, wParam, lParam);
    default:
        break;
    }
    const auto pfnOld = reinterpret_cast<WNDPROC>(::GetPropW(hWnd, kPartProc));
    if (nMsg == WM_NCDESTROY)
        ::RemovePropW(hWnd, kPartProc);
    return pfnOld ? ::CallWindowProcW(pfnOld, hWnd, nMsg, wParam, lParam)
                  : ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
}

// Layered and transparent: the system hands every click on it to the window beneath.
void SetClickThrough(HWND hWnd, bool bThrough) {
    const LONG nStyle = ::GetWindowLongW(hWnd, GWL_EXSTYLE);
    const LONG nWanted = bThrough ? nStyle | WS_EX_TRANSPARENT : nStyle & ~WS_EX_TRANSPARENT;
    if (nWanted != nStyle)
        ::SetWindowLongW(hWnd, GWL_EXSTYLE, nWanted);
}

}  // namespace

void CBandHandling::Start(HWND hBand, PlaceFn pfnPlace) {
    m_hBand = hBand;
    m_pfnPlace = std::move(pfnPlace);
    m_settings.Load();
    m_backdrop.Create(hBand);
    SetLocked(m_settings.Locked());
}

RECT CBandHandling::NearRect() const {
    POINT pt = {};
    if (m_bPlaced)
        return BandRect();
    m_settings.Place(pt);
    return {pt.x, pt.y, pt.x + 1, pt.y + 1};
}

RECT CBandHandling::PlaceFor(const RECT& rcDefault) {
    // A band under the mouse stays under it, also when a monitor of another DPI fits it anew.
    POINT pt;
    if (m_bDragging || m_bPlaced) {
        const RECT rcNow = BandRect();
        pt = {rcNow.left, rcNow.top};
    } else if (!m_settings.Place(pt)) {
        return rcDefault;  // exactly where it has always been
    }
    m_bPlaced = true;
    RECT rc = rcDefault;
    ::OffsetRect(&rc, pt.x - rc.left, pt.y - rc.top);
    // Under the mouse it goes where the mouse takes it; dropped, it comes onto the screen.
    return m_bDragging ? rc : KeepBandOnScreen(rc, g_pfnMonitorWorkAreas());
}

void CBandHandling::AddPart(HWND hPart) {
    if (!hPart)
        return;
    m_arrParts.push_back(hPart);
    ::SetPropW(hPart, kPartProc, reinterpret_cast<HANDLE>(::GetWindowLongPtrW(hPart, GWLP_WNDPROC)));
    ::SetWindowLongPtrW(hPart, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PartProc));
    SetClickThrough(hPart, IsLocked());
}

void CBandHandling::SetLocked(bool bLocked) {
    if (bLocked != m_settings.Locked())
        m_settings.SetLocked(bLocked);
    SetClickThrough(m_hBand, bLocked);
    for (const HWND hPart : m_arrParts)
        SetClickThrough(hPart, bLocked);
    if (bLocked) {
        if (m_bDragging)
            ::ReleaseCapture();
        m_backdrop.Hide();
    }
}

void CBandHandling::BeginDrag(POINT ptScreen) {
    if (IsLocked())
        return;
    const RECT rc = BandRect();
    m_ptGrab = {ptScreen.x - rc.left, ptScreen.y - rc.top};
    m_bDragging = true;
    ::SetCapture(m_hBand);
}

void CBandHandling::Drag(POINT ptScreen) {
    if (!m_bDragging)
        return;
    RECT rc = BandRect();
    ::OffsetRect(&rc, ptScreen.x - m_ptGrab.x - rc.left, ptScreen.y - m_ptGrab.y - rc.top);
    ::SetWindowPos(m_hBand, nullptr, rc.left, rc.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_backdrop.IsShown())
        m_backdrop.Show(rc);
}

void CBandHandling::EndDrag() {
    if (!m_bDragging)
        return;
    m_bDragging = false;
    if (::GetCapture() == m_hBand)
        ::ReleaseCapture();
    KeepOnScreen();
    const RECT rc = BandRect();
    m_settings.SetPlace({rc.left, rc.top});
    m_bPlaced = true;
}

void CBandHandling::KeepOnScreen() {
    const RECT rc = BandRect();
    const RECT rcKept = KeepBandOnScreen(rc, g_pfnMonitorWorkAreas());
    if (!::EqualRect(&rc, &rcKept)) {
        m_pfnPlace(rcKept);
        if (m_backdrop.IsShown())
            m_backdrop.Show(rcKept);
    }
}

void CBandHandling::Poll(bool bPlaying, bool bLyrics, bool bWanted) {
    const bool bHide =
        (m_settings.HideWhenPaused() && !bPlaying) || (m_settings.HideWithoutLyrics() && bPlaying && !bLyrics);
    const bool bVisible = ::IsWindowVisible(m_hBand) != FALSE;
    // Only a band the user wants is hidden or shown here; the main window shows and hides it
    // otherwise.
    if (bHide && bVisible && bWanted) {
        ::ShowWindow(m_hBand, SW_HIDE);
        m_bHiddenByChoice = true;
    } else if (!bHide && m_bHiddenByChoice) {
        if (bWanted)
            ::ShowWindow(m_hBand, SW_SHOWNOACTIVATE);
        m_bHiddenByChoice = false;
    } else if (!bWanted) {
        m_bHiddenByChoice = false;
    }

    POINT pt;
    const RECT rc = BandRect();
    const bool bOver = !IsLocked() && ::IsWindowVisible(m_hBand) && ::GetCursorPos(&pt) && ::PtInRect(&rc, pt);
    if (bOver || m_bDragging)
        m_backdrop.Show(rc);
    else
        m_backdrop.Hide();
}

RECT CBandHandling::BandRect() const {
    RECT rc = {};
    ::GetWindowRect(m_hBand, &rc);
    return rc;
}
