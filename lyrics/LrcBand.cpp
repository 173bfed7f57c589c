#include "lyrics/LrcBand.h"

#include <climits>
#include <cmath>

int CentredX(int nBandWidth, int nTextWidth) {
    return (nBandWidth - nTextWidth) / 2;
}

int TopSlotX(int nBandWidth, int nTextWidth) {
    return nBandWidth / 4 - nTextWidth / 2;
}

int BottomSlotX(int nBandWidth, int nTextWidth) {
    return nBandWidth - nBandWidth / 4 - nTextWidth / 2;
}

int WholeSeconds(double dDuration) {
    // Casting a double beyond int's range is undefined; such a line simply never fills.
    if (!(dDuration >= 1.0))
        return 0;
    if (dDuration >= static_cast<double>(INT_MAX))
        return INT_MAX;
    return static_cast<int>(dDuration);
}

int FillStep(int nTextWidth, int nSeconds) {
    return nSeconds > 0 ? (nTextWidth / nSeconds) / 5 : 0;
}

LrcFillTick AdvanceFill(int nFill, int nTextWidth, int nSeconds) {
    if (nSeconds <= 0)
        return {false, 0, nFill, false};
    const int nDrawn = nFill + FillStep(nTextWidth, nSeconds);
    const bool bPassed = nDrawn > nTextWidth;
    return {true, nDrawn, bPassed ? 0 : nDrawn, bPassed};
}
