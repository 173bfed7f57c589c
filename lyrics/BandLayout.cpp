#include "lyrics/BandLayout.h"

#include <algorithm>

namespace {

int Scaled(int n, int nDpi) {
    return ::MulDiv(n, nDpi, 96);
}

}  // namespace

int BandFontHeight(int nPointSize, int nDpi) {
    return -::MulDiv(nPointSize, nDpi, 72);
}

BandLayout LayOutBand(int nDpi, int nTextHeight) {
    BandLayout layout;
    layout.nDpi = nDpi;
    layout.nTextHeight = nTextHeight;
    layout.nOutline = std::max(1, Scaled(2, nDpi));
    layout.nShadow = layout.nOutline;
    layout.nSlotY[0] = std::max(Scaled(5, nDpi), layout.PadAbove());
    // Apart, so that each slot is drawn without touching the other.
    const int nBelowTop = layout.nSlotY[0] + nTextHeight + layout.PadBelow() + Scaled(2, nDpi) + layout.PadAbove();
    layout.nSlotY[1] = std::max(Scaled(55, nDpi), nBelowTop);
    layout.nHeight = std::max(Scaled(100, nDpi), layout.nSlotY[1] + nTextHeight + layout.PadBelow());
    const int nLowest = layout.nHeight - nTextHeight - layout.PadBelow();
    layout.nMessageY = std::max(std::min(Scaled(30, nDpi), nLowest), layout.PadAbove());
    return layout;
}

RECT PlaceBand(const RECT& rcMonitor, const RECT& rcWork, int nHeight) {
    RECT rc = rcWork;
    rc.left = std::max(rc.left, rcMonitor.left);
    rc.right = std::min(rc.right, rcMonitor.right);
    rc.bottom = std::min(rc.bottom, rcMonitor.bottom);
    rc.top = std::max(rc.bottom - nHeight, rcMonitor.top);
    return rc;
}
