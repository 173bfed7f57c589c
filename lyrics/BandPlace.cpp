#include "lyrics/BandPlace.h"

#include <algorithm>
#include <climits>

std::vector<RECT> (*g_pfnMonitorWorkAreas)() = EnumMonitorWorkAreas;

namespace {

BOOL CALLBACK AddWorkArea(HMONITOR hMonitor, HDC /*hdc*/, LPRECT /*prc*/, LPARAM lParam) {
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    if (::GetMonitorInfoW(hMonitor, &mi))
        reinterpret_cast<std::vector<RECT>*>(lParam)->push_back(mi.rcWork);
    return TRUE;
}

long long Overlap(const RECT& a, const RECT& b) {
    const long long w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const long long h = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

// Squared gap between two rectangles that do not overlap.
long long Gap(const RECT& a, const RECT& b) {
    const long long dx = std::max({0L, b.left - a.right, a.left - b.right});
    const long long dy = std::max({0L, b.top - a.bottom, a.top - b.bottom});
    return dx * dx + dy * dy;
}

// Moves [nFrom, nFrom + nSize) into [nLow, nHigh), shrinking it only when it cannot fit.
void FitSpan(LONG& nFrom, LONG& nTo, LONG nLow, LONG nHigh) {
    const LONG nSize = std::min(nTo - nFrom, nHigh - nLow);
    nFrom = std::clamp(nFrom, nLow, nHigh - nSize);
    nTo = nFrom + nSize;
}

}  // namespace

std::vector<RECT> EnumMonitorWorkAreas() {
    std::vector<RECT> arrWork;
    ::EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&arrWork));
    return arrWork;
}

bool CoveredByWorkAreas(const RECT& rc, const std::vector<RECT>& arrWork) {
    if (rc.left >= rc.right || rc.top >= rc.bottom)
        return true;
    // The edges of the areas cut the rectangle into cells, each on an area or on none.
    std::vector<LONG> xs = {rc.left, rc.right}, ys = {rc.top, rc.bottom};
    for (const RECT& work : arrWork) {
        for (const LONG x : {work.left, work.right})
            if (x > rc.left && x < rc.right)
                xs.push_back(x);
        for (const LONG y : {work.top, work.bottom})
            if (y > rc.top && y < rc.bottom)
                ys.push_back(y);
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
        for (size_t j = 0; j + 1 < ys.size(); ++j) {
            if (xs[i] == xs[i + 1] || ys[j] == ys[j + 1])
                continue;
            const RECT cell = {xs[i], ys[j], xs[i + 1], ys[j + 1]};
            const bool bOn =
                std::any_of(arrWork.begin(), arrWork.end(), [&](const RECT& work) { return Overlap(cell, work) > 0; });
            if (!bOn)
                return false;
        }
    }
    return true;
}

RECT KeepBandOnScreen(const RECT& rcBand, const std::vector<RECT>& arrWork) {
    if (arrWork.empty() || CoveredByWorkAreas(rcBand, arrWork))
        return rcBand;
    const RECT* pBest = &arrWork.front();
    long long nBestOverlap = -1;
    long long nBestGap = LLONG_MAX;
    for (const RECT& work : arrWork) {
        const long long nOverlap = Overlap(rcBand, work);
        const long long nGap = Gap(rcBand, work);
        if (nOverlap > nBestOverlap || (nOverlap == 0 && nBestOverlap == 0 && nGap < nBestGap)) {
            pBest = &work;
            nBestOverlap = nOverlap;
            nBestGap = nGap;
        }
    }
    RECT rc = rcBand;
    FitSpan(rc.left, rc.right, pBest->left, pBest->right);
    FitSpan(rc.top, rc.bottom, pBest->top, pBest->bottom);
    return rc;
}
