// Looking at the screen over the band, as the user sees it, and comparing it with the band's
// text drawn here the way the band draws it: an outside program can check what the band shows
// in no other way.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "DriverWindows.h"

namespace driver {

// 32-bit pixels 0x00RRGGBB, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
    DWORD At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Which pixels a line's glyphs cover and where the band would put them.
struct Glyphs {
    int x = 0;
    int y = 0;
    Picture picture;
};

bool CaptureBand(const PlayerWindows& w, Picture* out);
bool IsBandRed(DWORD px);
int RedPixels(const Picture& picture);
bool RenderLine(const std::wstring& text, const std::wstring& slot, int bandWidth, Glyphs* out);
double MatchLine(const Picture& band, const Glyphs& g);

}  // namespace driver
