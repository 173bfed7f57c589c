#include "lyrics/CBandSettings.h"

#include <algorithm>
#include <climits>
#include <iterator>

#include "state/CSettings.h"

namespace {

const wchar_t kSection[] = L"band";
// Far beyond any desktop, yet a value no monitor change can make overflow.
const int kPlaceLimit = 1 << 20;

}  // namespace

// Each readable on light and dark ground once outlined: a light text has a dark outline and
// the other way round. Nothing is pure white, which the band keys out where it cannot blend.
const BandScheme CBandSettings::kSchemes[kSchemeCount] = {
    {"蓝字红色", RGB(0, 0, 255), RGB(255, 0, 0), RGB(16, 16, 32), RGB(0, 0, 0)},
    {"白字橙色", RGB(250, 250, 250), RGB(255, 140, 0), RGB(24, 24, 24), RGB(0, 0, 0)},
    {"黑字红色", RGB(24, 24, 24), RGB(220, 0, 0), RGB(250, 250, 250), RGB(96, 96, 96)},
    {"黄字绿色", RGB(255, 225, 0), RGB(0, 200, 80), RGB(0, 0, 0), RGB(0, 0, 0)},
    {"青字粉色", RGB(0, 220, 255), RGB(255, 80, 160), RGB(16, 16, 48), RGB(0, 0, 0)},
};

const int CBandSettings::kSizes[kSizeCount] = {20, 24, 28, 32, 36, 44};

void CBandSettings::Load() {
    const CSettings& s = g_settings;
    m_nScheme = s.GetInt(kSection, L"scheme", 0, 0, kSchemeCount - 1);
    // Only the sizes the menu offers: a hand-made 2 or 200 would make the band unusable.
    m_nPointSize = s.GetInt(kSection, L"size", kDefaultSize, kSizes[0], kSizes[kSizeCount - 1]);
    if (std::find(std::begin(kSizes), std::end(kSizes), m_nPointSize) == std::end(kSizes))
        m_nPointSize = kDefaultSize;
    m_bOutline = s.GetBool(kSection, L"outline", true);
    m_bShadow = s.GetBool(kSection, L"shadow", false);
    m_bLocked = s.GetBool(kSection, L"locked", false);
    m_bHidePaused = s.GetBool(kSection, L"hide_paused", false);
    m_bHideNoLyrics = s.GetBool(kSection, L"hide_no_lyrics", false);
    m_bShown = s.GetBool(kSection, L"shown", false);
    const int x = s.GetInt(kSection, L"left", INT_MIN, -kPlaceLimit, kPlaceLimit);
    const int y = s.GetInt(kSection, L"top", INT_MIN, -kPlaceLimit, kPlaceLimit);
    m_bHasPlace = x != INT_MIN && y != INT_MIN;
    m_ptPlace = m_bHasPlace ? POINT{x, y} : POINT{};
}

BandStyle CBandSettings::Style() const {
    BandStyle style;
    const BandScheme& scheme = kSchemes[m_nScheme];
    style.crText = scheme.crText;
    style.crFill = scheme.crFill;
    style.crOutline = scheme.crOutline;
    style.crShadow = scheme.crShadow;
    style.bOutline = m_bOutline;
    style.bShadow = m_bShadow;
    style.nPointSize = m_nPointSize;
    return style;
}

bool CBandSettings::Place(POINT& pt) const {
    if (m_bHasPlace)
        pt = m_ptPlace;
    return m_bHasPlace;
}

void CBandSettings::SetScheme(int nScheme) {
    m_nScheme = std::clamp(nScheme, 0, kSchemeCount - 1);
    g_settings.SetInt(kSection, L"scheme", m_nScheme);
}

void CBandSettings::SetPointSize(int nPointSize) {
    m_nPointSize = nPointSize;
    g_settings.SetInt(kSection, L"size", nPointSize);
}

void CBandSettings::SetOutline(bool bOn) {
    m_bOutline = bOn;
    g_settings.SetBool(kSection, L"outline", bOn);
}

void CBandSettings::SetShadow(bool bOn) {
    m_bShadow = bOn;
    g_settings.SetBool(kSection, L"shadow", bOn);
}

void CBandSettings::SetLocked(bool bOn) {
    m_bLocked = bOn;
    g_settings.SetBool(kSection, L"locked", bOn);
}

void CBandSettings::SetHideWhenPaused(bool bOn) {
    m_bHidePaused = bOn;
    g_settings.SetBool(kSection, L"hide_paused", bOn);
}

void CBandSettings::SetHideWithoutLyrics(bool bOn) {
    m_bHideNoLyrics = bOn;
    g_settings.SetBool(kSection, L"hide_no_lyrics", bOn);
}

void CBandSettings::SetShown(bool bOn) {
    if (bOn == m_bShown)
        return;
    m_bShown = bOn;
    g_settings.SetBool(kSection, L"shown", bOn);
}

void CBandSettings::SetPlace(POINT pt) {
    m_bHasPlace = true;
    m_ptPlace = pt;
    g_settings.SetInt(kSection, L"left", pt.x);
    g_settings.SetInt(kSection, L"top", pt.y);
}
