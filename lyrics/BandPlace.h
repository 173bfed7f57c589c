// Where the band may stand, apart from any window: a place kept from an earlier run, or one the
// user dragged it to, is brought back onto the monitors there are now. The monitors come in as
// their work areas, so any set of them can be tried without the displays.
#pragma once

#include <windows.h>

#include <vector>

// The work areas of the monitors attached now; tests put a set of their own here.
extern std::vector<RECT> (*g_pfnMonitorWorkAreas)();
std::vector<RECT> EnumMonitorWorkAreas();

// The band's rectangle unchanged when every point of it lies on some work area; otherwise moved
// onto the work area it overlaps most (the nearest one when it overlaps none) as little as
// possible, made smaller only where it is larger than that area. No areas: unchanged.
RECT KeepBandOnScreen(const RECT& rcBand, const std::vector<RECT>& arrWork);
// Whether every point of the rectangle lies on some work area.
bool CoveredByWorkAreas(const RECT& rc, const std::vector<RECT>& arrWork);
