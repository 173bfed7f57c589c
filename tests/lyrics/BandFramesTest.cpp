// The band on its own timers, frame by frame.
#include "lyrics/CDlgLrc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <utility>
#include <vector>

#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/CFont.h"
#include "framework/Holders.h"
#include "lyrics/LrcBand.h"
#include "res/resource.h"
#include "state/PlayerState.h"
#include "support/TestSupport.h"
#include "LyricBandFixture.h"

namespace {

// "WW" sung from 0 s, "MMW" from 0.6 s, "WMM" from 1.4 s, "MWW" from 2.2 s, "MW" from 3 s to 4 s.
const char kWordTimed[] = "[00:00.00]WW<00:00.60>MMW<00:01.40>WMM<00:02.20>MWW<00:03.00>MW\r\n[00:04.00]end\r\n";
const struct {
    double dStart;
    int nChars;  // of the line's text up to the word's end
} kWords[] = {{0.0, 2}, {0.6, 5}, {1.4, 8}, {2.2, 11}, {3.0, 13}};
const double kLineEnd = 4.0;

// The band on its own timers, from one reading of the song's start: its clock carries the song
// on from there by a counter the test moves, so the song goes on only as far as the test says,
// however slowly a busy machine delivers the timers.
class BandFrames : public testing::Test {
protected:
    void SetUp() override {
        s_pfnRealCounter = CDlgLrc::s_pfnCounter;
        CDlgLrc::s_pfnCounter = [] { return s_llNow; };
        ASSERT_TRUE(::CreateDirectoryA("Lrc", nullptr));
        ResetPlayerState();
        WriteFileBytes("Lrc\\song.lrc", kWordTimed);
        g_strSongPath = L"D:\\Music\\song.mp3";
        ASSERT_TRUE(m_band.Create(IDD_LRC, nullptr));
        g_bStartSong = true;
        Tick();
        g_bStartSong = false;
        ASSERT_TRUE(State().bLrcLoaded);
        Play(0);
    }
    void TearDown() override { CDlgLrc::s_pfnCounter = s_pfnRealCounter; }

    static void Play(DWORD dwPosMs) {
        g_bPlaying = true;
        PublishLrcPos(dwPosMs, s_llNow, true);
    }
    static void MoveOn(int nMs) {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        s_llNow += f.QuadPart * nMs / 1000;
    }
    void Tick() { m_band.SendMessage(WM_TIMER, 1); }
    BandState& State() { return m_band.Model().State(); }
    int BandWidth() { return m_band.Model().BandWidth(); }
    // Whether the frame timer runs: a frame comes within a time long even for a loaded machine.
    bool FramesRun() {
        const int nFrames = m_band.FrameCount();
        return PumpUntil([&] { return m_band.FrameCount() > nFrames; }, 3000);
    }

    static inline LONGLONG s_llNow = 1;
    static inline LONGLONG (*s_pfnRealCounter)() = nullptr;
    ScratchDir m_dir;
    CurrentDirScope m_cwd{m_dir.Path()};
    CDlgLrc m_band;
};

// Columns from the upper slot's left of its leftmost blue and its rightmost red ink.
std::pair<int, int> BlueAndRedInk(const BandShot& shot, int x1, int nWidth, int nHeight) {
    int nBlue = INT_MAX, nRed = INT_MIN;
    for (int x = 0; x < nWidth; ++x) {
        for (int y = 5; y < 5 + nHeight; ++y) {
            const uint32_t v = shot.At(x1 + x, y);
            const int r = (v >> 16) & 0xFF, b = v & 0xFF;
            if (b - r > 64)
                nBlue = std::min(nBlue, x);
            if (r - b > 64)
                nRed = std::max(nRed, x);
        }
    }
    return {nBlue, nRed};
}

}  // namespace

// Each frame reads the clock and, the edge having moved, draws once; the red stops at the edge.
TEST_F(BandFrames, EachFrameDrawsTheRedEdgeWhereThePositionSays) {
    CClientDC dc(&m_band);
    CFont font;
    font.CreatePointFont(280, "宋体");
    const CSelectScope selected(dc, font);
    const CStringW strLine = L"WWMMWWMMMWWMW";
    std::vector<int> arrX = {0};
    for (const auto& word : kWords)
        arrX.push_back(dc.GetTextExtent(strLine, word.nChars).cx);
    TEXTMETRICA tm = {};
    dc.GetTextMetrics(&tm);
    const int x1 = TopSlotX(BandWidth(), arrX.back());
    // Where the position says the edge stands: the words sung, and the share of the one being sung.
    const auto edgeAt = [&](double t) {
        for (size_t k = 0; k < std::size(kWords); ++k) {
            const double dEnd = k + 1 < std::size(kWords) ? kWords[k + 1].dStart : kLineEnd;
            if (t < dEnd)
                return arrX[k] +
                       static_cast<int>((t - kWords[k].dStart) / (dEnd - kWords[k].dStart) * (arrX[k + 1] - arrX[k]));
        }
        return arrX.back();
    };

    ASSERT_TRUE(FramesRun()) << "a line filling runs the frames";
    for (int nMs = 30; nMs < 3900; nMs += 30) {
        MoveOn(30);
        const int nDraws = m_band.DrawCount();
        m_band.SendMessage(WM_TIMER, 2);
        ASSERT_NEAR(nMs, m_band.DrawnPositionMs(), 1.0);
        EXPECT_EQ(nDraws + 1, m_band.DrawCount()) << "at " << nMs << " ms";
        const auto [nBlue, nRed] = BlueAndRedInk(BandShot(m_band), x1, arrX.back(), tm.tmHeight);
        const int nEdge = edgeAt(nMs / 1000.0);
        EXPECT_LE(nRed, nEdge + 1) << "red after the edge, at " << nMs << " ms";
        if (nBlue != INT_MAX) {
            EXPECT_GE(nBlue, nEdge - 2) << "blue before the edge, at " << nMs << " ms";
        }
    }
}

// A frame of the moving edge pushes the tile or two under it, and what the screen shows of the
// band is what the band drew: where the band is opaque, the very same colours.
TEST_F(BandFrames, AFramePushesOnlyTheTilesUnderTheEdgeAndTheScreenShowsTheBand) {
    ASSERT_TRUE(FramesRun());
    const auto pushes = [&] { return m_band.Pane(0).PushCount() + m_band.Pane(1).PushCount(); };
    int nFramesDrawn = 0;
    for (int nMs = 40; nMs < 3900; nMs += 40) {
        MoveOn(40);
        const int nPushes = pushes(), nDraws = m_band.DrawCount();
        m_band.SendMessage(WM_TIMER, 2);
        if (m_band.DrawCount() == nDraws)
            continue;
        ++nFramesDrawn;
        EXPECT_LE(pushes() - nPushes, 2) << "at " << nMs << " ms";
    }
    EXPECT_GT(nFramesDrawn, 50);
    ASSERT_GT(m_band.Pane(0).TileCount(), 3) << "the line spans several tiles";

    RECT rc;
    m_band.GetWindowRect(&rc);
    const BandShot shot(m_band);
    const int nWidth = rc.right - rc.left, nHeight = rc.bottom - rc.top;
    std::vector<uint32_t> arrScreen(static_cast<size_t>(nWidth) * nHeight);
    int nOpaque = 0, nWrong = 0;
    CClientDC screen(nullptr);
    const BITMAPINFO bmi = {{sizeof(BITMAPINFOHEADER), nWidth, -nHeight, 1, 32, BI_RGB}};
    CBitmap dib;
    dib.Attach(::CreateCompatibleBitmap(screen, nWidth, nHeight));
    CDC mem;
    mem.CreateCompatibleDC(screen);
    {
        const CSelectScope selected(mem, dib);
        ::BitBlt(mem, 0, 0, nWidth, nHeight, screen, rc.left, rc.top, SRCCOPY);
    }
    ::GetDIBits(mem, dib, 0, nHeight, arrScreen.data(), const_cast<BITMAPINFO*>(&bmi), DIB_RGB_COLORS);
    for (int y = 0; y < nHeight; ++y) {
        for (int x = 0; x < nWidth; ++x) {
            const uint32_t v = shot.At(x, y);
            if (v >> 24 != 0xFF)
                continue;
            ++nOpaque;
            nWrong += (arrScreen[static_cast<size_t>(y) * nWidth + x] & 0xFFFFFF) != (v & 0xFFFFFF);
        }
    }
    EXPECT_GT(nOpaque, 1000);
    EXPECT_EQ(0, nWrong) << "of " << nOpaque << " opaque pixels";
}

// Moved to a monitor of another DPI, the band lays itself out for it at once, stays on the
// monitor, and draws its line again at that size; back at 96 it is as it was.
TEST_F(BandFrames, AChangeOfDpiLaysTheBandOutAgainAndRedrawsIt) {
    Tick();  // the song playing
    RECT rc96;
    m_band.GetWindowRect(&rc96);
    const BandLayout l96 = m_band.Layout();
    const int nBlue96 = BandShot(m_band).CountAll(kBlue);
    for (int nDpi : {144, 96}) {
        RECT rcSuggested = rc96;
        const int nDraws = m_band.DrawCount();
        m_band.SendMessage(WM_DPICHANGED, MAKEWPARAM(nDpi, nDpi), reinterpret_cast<LPARAM>(&rcSuggested));
        const BandLayout& l = m_band.Layout();
        ASSERT_EQ(nDpi, l.nDpi);
        EXPECT_GT(m_band.DrawCount(), nDraws) << nDpi;
        RECT rc;
        m_band.GetWindowRect(&rc);
        EXPECT_EQ(l.nHeight, rc.bottom - rc.top) << nDpi;
        EXPECT_GE(rc.top, 0) << nDpi;
        EXPECT_LE(rc.bottom, ::GetSystemMetrics(SM_CYSCREEN)) << nDpi;
        const int nBlue = BandShot(m_band).CountAll(kBlue);
        if (nDpi == 144) {
            EXPECT_NEAR(1.5, static_cast<double>(l.nTextHeight) / l96.nTextHeight, 0.1);
            EXPECT_GT(nBlue, 2 * nBlue96) << "the letters' insides grow with their area";
        } else {
            EXPECT_TRUE(::EqualRect(&rc, &rc96));
            EXPECT_EQ(nBlue96, nBlue);
        }
    }
}

TEST_F(BandFrames, TheFramesStopWhenPausedPastTheLyricsAndHidden) {
    const struct {
        const char* what;
        void (*stop)(CDlgLrc& band);
    } cases[] = {
        {"paused", [](CDlgLrc&) { g_bPlaying = false; }},
        {"past the last line", [](CDlgLrc&) { Play(60000); }},
        {"hidden", [](CDlgLrc& band) { band.ShowWindow(SW_HIDE); }},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(FramesRun()) << "filling, before " << c.what;
        c.stop(m_band);
        Tick();            // the 200 ms tick sees it
        PumpMessages(50);  // a frame already on its way
        const int nFrames = m_band.FrameCount(), nDraws = m_band.DrawCount();
        PumpMessages(500);
        EXPECT_EQ(nFrames, m_band.FrameCount()) << c.what;
        EXPECT_EQ(nDraws, m_band.DrawCount()) << c.what;
        Play(0);
        Tick();
    }
}
