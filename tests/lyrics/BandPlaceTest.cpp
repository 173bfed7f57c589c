// Where a kept or dropped band comes to stand, over sets of monitors given as work areas.
#include "lyrics/BandPlace.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

const RECT kPrimary = {0, 0, 1280, 760};       // a taskbar of 40 below
const RECT kRight = {1280, 0, 2304, 768};      // a smaller monitor to its right
const RECT kLeftTall = {-900, -400, 0, 1200};  // a portrait one to its left, higher and lower
const RECT kAbove = {0, -1080, 1920, 0};       // a wider one above

// 1280 x 100, the band's size on the primary monitor, with its left top at (x, y).
RECT Band(int x, int y, int w = 1280, int h = 100) {
    return {x, y, x + w, y + h};
}

}  // namespace

void PrintTo(const RECT& rc, std::ostream* os) {
    *os << "{" << rc.left << ", " << rc.top << ", " << rc.right << ", " << rc.bottom << "}";
}

TEST(BandPlace, AKeptPlaceComesBackOntoTheNearestMonitorAndStaysWhereItIsWhollySeen) {
    const struct {
        const char* pszCase;
        RECT rcBand;
        std::vector<RECT> arrWork;
        RECT rcExpected;
    } kCases[] = {
        {"the design's place", Band(0, 660), {kPrimary}, Band(0, 660)},
        {"across two monitors side by side, all seen", Band(640, 300), {kPrimary, kRight}, Band(640, 300)},
        {"on the right monitor, now gone", Band(1280, 500), {kPrimary}, Band(0, 500)},
        {"below the taskbar's edge", Band(0, 700), {kPrimary}, Band(0, 660)},
        {"partly left of the screen", Band(-200, 100), {kPrimary}, Band(0, 100)},
        {"far off every monitor, below and right", Band(9000, 9000), {kPrimary, kRight}, Band(1280, 668, 1024)},
        {"wider than the monitor it comes onto", Band(1400, 10, 1920), {kPrimary, kRight}, Band(1280, 10, 1024)},
        {"mostly on the tall left one, whose foot is lower",
         Band(-1000, 1000),
         {kPrimary, kLeftTall},
         Band(-900, 1000, 900)},
        {"on the wider monitor above", Band(100, -500, 1920), {kPrimary, kAbove}, Band(0, -500, 1920)},
        {"over the gap beside a lower monitor", Band(1000, 700), {kPrimary, kRight}, Band(1280, 668, 1024)},
        {"no monitors known", Band(5000, 5000), {}, Band(5000, 5000)},
    };
    for (const auto& c : kCases) {
        const RECT rc = KeepBandOnScreen(c.rcBand, c.arrWork);
        EXPECT_TRUE(::EqualRect(&rc, &c.rcExpected)) << c.pszCase << ": " << testing::PrintToString(rc);
        if (!c.arrWork.empty())
            EXPECT_TRUE(CoveredByWorkAreas(rc, c.arrWork)) << c.pszCase;
    }
}
