// The band's pixels and places without a window: ink composed from a coverage of our own, and
// the canvas drawing real text at each DPI the band may meet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "lyrics/BandLayout.h"
#include "lyrics/BandPaint.h"
#include "lyrics/CBandCanvas.h"

namespace {

const uint32_t kBlue = 0xFF0000FF;
const uint32_t kRed = 0xFFFF0000;

uint32_t Alpha(uint32_t v) {
    return v >> 24;
}
uint32_t Brightest(uint32_t v) {
    return std::max({(v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF});
}

// A surface with pixels of its own.
struct Pixels {
    Pixels(int w, int h) : bits(static_cast<size_t>(w) * h, 0xDEADBEEF), surface{w, h, bits.data()} {}
    std::vector<uint32_t> bits;
    BandSurface surface;
};

// Ink of a solid 10 x 10 square, smoothed along its left side, in a 30 x 30 field.
BandInk SquareInk() {
    std::vector<uint32_t> mask(30 * 30, 0);
    for (int y = 10; y < 20; ++y) {
        mask[y * 30 + 9] = 0x808080;
        for (int x = 10; x < 20; ++x)
            mask[y * 30 + x] = 0xFFFFFF;
    }
    BandInk ink;
    InkFromMask(mask.data(), 30, 30, ink);
    return ink;
}

// The rows of a surface holding anything, top and bottom (exclusive); {h, 0} for none.
std::pair<int, int> InkRows(const BandSurface& s) {
    int top = s.nHeight, bottom = 0;
    for (int y = 0; y < s.nHeight; ++y)
        for (int x = 0; x < s.nWidth; ++x)
            if (s.At(x, y)) {
                top = std::min(top, y);
                bottom = y + 1;
            }
    return {top, bottom};
}

int Count(const BandSurface& s, uint32_t v) {
    return static_cast<int>(std::count(s.pBits, s.pBits + static_cast<size_t>(s.nWidth) * s.nHeight, v));
}

}  // namespace

TEST(BandInk, TheLettersArePureInsideARingDarkerThanTheyAreAndNothingBeyond) {
    BandInk ink = SquareInk();
    GrowOutline(ink, 2);
    const BandStyle style;
    Pixels px(40, 40);
    ClearSurface(px.surface, {0, 0, 40, 40});
    PaintInk(ink, style, 15, 0, 30, px.surface, 5, 5);
    const BandSurface& s = px.surface;
    const struct {
        int x, y;
        uint32_t v;
        const char* what;
    } pixels[] = {
        {15, 15, kRed, "before the fill's column"},
        {19, 24, kRed, "before the fill's column"},
        {20, 15, kBlue, "from the fill's column on"},
        {24, 24, kBlue, "from the fill's column on"},
        {0, 0, 0, "beyond the ink"},
        {39, 39, 0, "beyond the ink"},
        {27, 15, 0, "three pixels out"},
        {15, 12, 0, "three pixels out"},
    };
    for (const auto& p : pixels)
        EXPECT_EQ(p.v, s.At(p.x, p.y)) << p.x << "," << p.y << " " << p.what;
    // Two pixels out from the letters on every side: opaque and dark.
    for (const auto& [x, y] : {std::pair{26, 20}, {20, 13}, {20, 26}, {13, 20}}) {
        EXPECT_EQ(0xFFu, Alpha(s.At(x, y))) << x << "," << y;
        EXPECT_LT(Brightest(s.At(x, y)), 0x40u) << x << "," << y;
    }
    // The smoothed column lies half over the outline: half the red's own brightness, no more.
    EXPECT_EQ(0xFFu, Alpha(s.At(14, 20)));
    EXPECT_NEAR(0x80, static_cast<int>((s.At(14, 20) >> 16) & 0xFF), 0x10);
}

TEST(BandInk, StylesDropTheOutlineAddAShadowAndRecolour) {
    BandInk ink = SquareInk();
    GrowOutline(ink, 2);
    CastShadow(ink, 2);
    const struct {
        bool bOutline, bShadow;
        int nOpaque;         // pixels at full alpha
        bool bShadowBeyond;  // something past the outline down and right
    } cases[] = {{true, false, 14 * 14, false}, {false, false, 10 * 10, false}, {true, true, 14 * 14, true}};
    for (const auto& c : cases) {
        BandStyle style;
        style.bOutline = c.bOutline;
        style.bShadow = c.bShadow;
        style.crText = RGB(0, 200, 0);
        Pixels px(30, 30);
        ClearSurface(px.surface, {0, 0, 30, 30});
        PaintInk(ink, style, 0, 0, 30, px.surface, 0, 0);
        int nOpaque = 0;
        for (uint32_t v : px.bits)
            nOpaque += Alpha(v) == 0xFF;
        // The rounded corners of the outline leave out a few of its square's pixels.
        EXPECT_NEAR(c.nOpaque, nOpaque, c.bOutline ? 12 : 0) << c.bOutline << c.bShadow;
        EXPECT_EQ(0xFF00C800u, px.surface.At(15, 15));
        EXPECT_EQ(c.bShadowBeyond, Alpha(px.surface.At(23, 23)) > 0) << c.bOutline << c.bShadow;
        for (uint32_t v : px.bits)
            ASSERT_LE(Brightest(v), Alpha(v)) << "premultiplied";
    }
}

TEST(BandLayout, KeepsTheOldPlacesWhereTheyFitAndGrowsWhereTheyDoNot) {
    const struct {
        int nDpi, nTextHeight;
        int nTop, nBottom, nHeight, nMessage, nOutline;
    } cases[] = {
        {96, 37, 5, 55, 100, 30, 2},   // the old band, text and outline inside it
        {96, 44, 5, 59, 109, 30, 2},   // a face with more leading
        {144, 56, 8, 83, 150, 45, 3},  // scaled half again
        {192, 74, 10, 110, 200, 60, 4},
    };
    for (const auto& c : cases) {
        const BandLayout l = LayOutBand(c.nDpi, c.nTextHeight);
        EXPECT_EQ(c.nTop, l.nSlotY[0]) << c.nDpi << "/" << c.nTextHeight;
        EXPECT_EQ(c.nBottom, l.nSlotY[1]) << c.nDpi << "/" << c.nTextHeight;
        EXPECT_EQ(c.nHeight, l.nHeight) << c.nDpi << "/" << c.nTextHeight;
        EXPECT_EQ(c.nMessage, l.nMessageY) << c.nDpi << "/" << c.nTextHeight;
        EXPECT_EQ(c.nOutline, l.nOutline) << c.nDpi << "/" << c.nTextHeight;
        EXPECT_LE(l.nSlotY[0] + c.nTextHeight + l.PadBelow(), l.nSlotY[1] - l.PadAbove()) << "apart";
        EXPECT_LE(l.nSlotY[1] + c.nTextHeight + l.PadBelow(), l.nHeight) << "the lower line whole";
    }
}

TEST(BandLayout, TheBandStandsOnTheMonitorEvenWhenTheWorkAreaClaimsMore) {
    const struct {
        RECT rcMonitor, rcWork, rcBand;
    } cases[] = {
        {{0, 0, 1280, 1024}, {0, 0, 1280, 984}, {0, 884, 1280, 984}},             // above a taskbar
        {{0, 0, 1280, 1024}, {0, 0, 1280, 1041}, {0, 924, 1280, 1024}},           // Xvfb's larger claim
        {{1280, 0, 3200, 1080}, {1280, 0, 3200, 1080}, {1280, 980, 3200, 1080}},  // a second monitor
        {{0, 0, 800, 60}, {0, 0, 800, 60}, {0, 0, 800, 60}},                      // too small to hold it
    };
    for (const auto& c : cases) {
        const RECT rc = PlaceBand(c.rcMonitor, c.rcWork, 100);
        EXPECT_TRUE(::EqualRect(&rc, &c.rcBand)) << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
    }
}

// Both slots and a message drawn by the canvas in the band's own font: none of their ink falls
// outside the band, whatever the DPI; the text grows with it.
TEST(BandCanvas, NoLineIsCutAtAnyScalingAndTheTextGrowsWithTheDpi) {
    const CStringW strTall = L"国Wgjy|ÅÉ";
    int nInk96 = 0, nText96 = 0;
    for (int nDpi : {96, 120, 144, 192}) {
        CBandCanvas canvas;
        canvas.SetUp(BandStyle(), nDpi);
        const BandLayout& l = canvas.Layout();
        const int w = canvas.Measure(strTall, strTall.GetLength());
        BandScene scene;
        scene.kind = BandKind::Lyrics;
        for (int i = 0; i < 2; ++i) {
            scene.arrText[i] = strTall;
            scene.arrWidth[i] = w;
            scene.arrX[i] = 2 * l.PadSide() + i * (w + 2 * l.PadSide());
        }
        scene.nRedSlot = 0;
        scene.nRed = w / 2;
        BandScene unknown;
        unknown.kind = BandKind::Unknown;
        const int nWidth = 2 * w + 6 * l.PadSide();
        // The same drawn onto a surface far taller: what a cut would lose shows there.
        canvas.Resize(nWidth, l.nHeight + 200);
        canvas.Draw(scene, unknown);
        const auto [nTallTop, nTallBottom] = InkRows(canvas.Surface());
        const int nAll =
            static_cast<int>(canvas.Surface().nWidth) * canvas.Surface().nHeight - Count(canvas.Surface(), 0);
        canvas.Resize(nWidth, l.nHeight);
        canvas.Draw(scene, unknown);
        const auto [nTop, nBottom] = InkRows(canvas.Surface());
        EXPECT_GT(nTop, 0) << nDpi;
        EXPECT_LT(nBottom, l.nHeight) << nDpi;
        EXPECT_EQ(nTallBottom, nBottom) << nDpi;
        EXPECT_EQ(nAll, nWidth * l.nHeight - Count(canvas.Surface(), 0)) << nDpi;
        EXPECT_GT(Count(canvas.Surface(), kRed), 0) << nDpi;
        EXPECT_GT(Count(canvas.Surface(), kBlue), 0) << nDpi;

        const int nInk = nTallBottom - nTallTop;
        if (nDpi == 96) {
            nInk96 = nInk;
            nText96 = l.nTextHeight;
        } else if (nDpi == 144) {
            EXPECT_NEAR(1.5, static_cast<double>(nInk) / nInk96, 0.1);
            EXPECT_NEAR(1.5, static_cast<double>(l.nTextHeight) / nText96, 0.1);
        }
    }
}
