#include "lyrics/CBandClock.h"

#include <algorithm>
#include <cmath>

namespace {

// Readings kept: a device that steps in buffers of a third of a second, read five times a
// second, is read soon after a step and soon before one within a few of its steps.
const double kRecentMs = 2000.0;
// Further than this from the clock, a reading is a jump of the device, taken as it is.
const double kJumpMs = 1000.0;
// A clock this far ahead of the freshest reading stands still until the device comes up to it;
// less ahead, it slows in proportion, meeting the readings within about this time.
const double kEaseMs = 500.0;

}  // namespace

CBandClock::CBandClock(LONGLONG llFrequency) : m_llFrequency(llFrequency > 0 ? llFrequency : 1) {}

void CBandClock::Start(DWORD dwPosition, LONGLONG llCounter) {
    m_bRunning = true;
    m_recent.assign(1, {static_cast<double>(dwPosition), llCounter});
    m_llLastReading = llCounter;
    Anchor(dwPosition, llCounter, 1.0);
}

void CBandClock::Read(DWORD dwPosition, LONGLONG llCounter) {
    if (!m_bRunning) {
        Start(dwPosition, llCounter);
        return;
    }
    if (llCounter <= m_llLastReading)
        return;
    const double dCarried = Now(llCounter);
    const double dPosition = dwPosition;
    if (std::fabs(dPosition - dCarried) > kJumpMs) {
        Start(dwPosition, llCounter);
        return;
    }
    m_llLastReading = llCounter;
    m_recent.erase(std::remove_if(m_recent.begin(), m_recent.end(),
                                  [&](const Reading& r) { return Ms(llCounter - r.llCounter) > kRecentMs; }),
                   m_recent.end());
    m_recent.push_back({dPosition, llCounter});
    const double dEstimate = Estimate(llCounter);
    if (dEstimate >= dCarried)
        Anchor(dEstimate, llCounter, 1.0);
    else
        Anchor(dCarried, llCounter, std::max(0.0, 1.0 - (dCarried - dEstimate) / kEaseMs));
}

void CBandClock::Hold(LONGLONG llCounter) {
    if (!m_bRunning)
        return;
    Anchor(Now(llCounter), llCounter, 0.0);
    m_bRunning = false;
    m_recent.clear();
}

void CBandClock::Follow(DWORD dwPosition, LONGLONG llCounter, UINT nStarts, bool bPlaying, LONGLONG llNow) {
    if (!bPlaying) {
        Hold(llNow);
        return;
    }
    if (nStarts != m_nStarts) {
        m_nStarts = nStarts;
        Start(dwPosition, llCounter);
    } else if (llCounter != m_llLastReading) {
        Read(dwPosition, llCounter);
    }
}

double CBandClock::Now(LONGLONG llCounter) const {
    return m_dAnchor + m_dRate * Ms(std::max<LONGLONG>(0, llCounter - m_llAnchor));
}

double CBandClock::Ms(LONGLONG llCounts) const {
    return 1000.0 * static_cast<double>(llCounts) / static_cast<double>(m_llFrequency);
}

double CBandClock::Estimate(LONGLONG llCounter) const {
    double dLeast = 0.0;      // the freshest reading: the song is at least here
    double dStalest = 1e300;  // the reading longest after its step
    double dStep = 1e300;
    bool bHeld = false;
    for (size_t i = 0; i < m_recent.size(); ++i) {
        const double dCarried = m_recent[i].dPosition + Ms(llCounter - m_recent[i].llCounter);
        dLeast = std::max(dLeast, dCarried);
        dStalest = std::min(dStalest, dCarried);
        if (i > 0) {
            const double dMoved = m_recent[i].dPosition - m_recent[i - 1].dPosition;
            bHeld = bHeld || dMoved == 0.0;
            if (dMoved > 0.0)
                dStep = std::min(dStep, dMoved);
        }
    }
    if (!bHeld || dStep >= 1e300)
        return dLeast;
    // The song is less than a step ahead of every reading of a device that steps.
    const double dMost = dStalest + dStep;
    return dMost > dLeast ? (dLeast + dMost) / 2 : dLeast;
}

void CBandClock::Anchor(double dPosition, LONGLONG llCounter, double dRate) {
    m_dAnchor = dPosition;
    m_llAnchor = llCounter;
    m_dRate = dRate;
}
