#include "lyrics/LrcBand.h"

#include <algorithm>
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

LrcFillTick AdvanceFill(double dFill, int nTextWidth, int nSeconds, double dPlayedMs) {
    if (nSeconds <= 0)
        return {false, 0, dFill, false};
    const double dDrawn = dFill + FillStep(nTextWidth, nSeconds) * std::max(0.0, dPlayedMs) / 200.0;
    const bool bPassed = dDrawn > nTextWidth;
    return {true, static_cast<int>(dDrawn), bPassed ? 0.0 : dDrawn, bPassed};
}

int WordFillWidth(const std::vector<LrcWord>& words, const std::vector<int>& arrWordX, int nTextWidth, double dElapsed,
                  double dLastWordEnd) {
    if (!(dElapsed >= 0.0) || nTextWidth <= 0)
        return 0;
    // Piece k runs from the start of piece k to the start of piece k + 1: piece 0 is the text
    // before the first word, piece k > 0 is word k - 1.
    const size_t nPieces = words.size() + 1;
    const auto start = [&](size_t k) { return k == 0 ? 0.0 : words[k - 1].dStart; };
    const auto end = [&](size_t k) { return k < words.size() ? words[k].dStart : dLastWordEnd; };
    const auto left = [&](size_t k) { return k == 0 ? 0 : arrWordX[k - 1]; };
    const auto right = [&](size_t k) { return k < words.size() ? arrWordX[k] : nTextWidth; };
    int nRed = 0;
    for (size_t k = 0; k < nPieces && dElapsed >= start(k); ++k) {
        if (dElapsed >= end(k)) {
            nRed = right(k);  // sung whole; a word that ends before it starts counts as sung
            continue;
        }
        const double dShare = (dElapsed - start(k)) / (end(k) - start(k));
        nRed = left(k) + static_cast<int>(dShare * (right(k) - left(k)));
        break;
    }
    return nRed < 0 ? 0 : (nRed > nTextWidth ? nTextWidth : nRed);
}
