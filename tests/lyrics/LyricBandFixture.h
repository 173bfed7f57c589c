// The band driven tick by tick: the shared player state is set by hand and WM_TIMER is sent
// straight to the window, so no real timer tick slips in between. The band's clock reads a
// counter that moves only with the song: the position it draws is g_nLrcPos itself.
#pragma once

#include "lyrics/CDlgLrc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/CBitmap.h"
#include "framework/CDC.h"
#include "framework/CFont.h"
#include "framework/Holders.h"
#include "lyrics/CLyc.h"
#include "lyrics/LrcBand.h"
#include "res/resource.h"
#include "state/PlayerState.h"
#include "support/SongFileBytes.h"
#include "support/TestSupport.h"

// Pixels of the band as it pushes them: premultiplied 0xAARRGGBB.
inline const uint32_t kClear = 0;
inline const uint32_t kBlue = 0xFF0000FF;
inline const uint32_t kRed = 0xFFFF0000;

// Two seconds for the first line, so the fill moves a tenth of its width a tick.
inline const char kLyrics[] = "[00:01.00]WWWWWWWW\r\n[00:03.00]MMMMMMMM\r\n[00:09.00]end\r\n";

// A copy of the band's pixels as last drawn.
class BandShot {
public:
    explicit BandShot(const CDlgLrc& band) : m_surface(band.Pixels()) {
        const uint32_t* p = m_surface.pBits;
        m_pixels.assign(p, p + static_cast<size_t>(m_surface.nWidth) * m_surface.nHeight);
    }

    uint32_t At(int x, int y) const { return m_pixels[static_cast<size_t>(y) * m_surface.nWidth + x]; }

    // Pixels of exactly this value in [left, right) x [top, bottom), clipped to the band.
    int Count(uint32_t v, int left, int top, int right, int bottom) const {
        int n = 0;
        for (int y = std::max(top, 0); y < std::min(bottom, m_surface.nHeight); ++y)
            for (int x = std::max(left, 0); x < std::min(right, m_surface.nWidth); ++x)
                n += At(x, y) == v;
        return n;
    }
    int CountAll(uint32_t v) const { return Count(v, 0, 0, m_surface.nWidth, m_surface.nHeight); }

private:
    BandSurface m_surface;
    std::vector<uint32_t> m_pixels;
};

// One band for the whole suite: under Wine without a window manager every hide of a shown
// window waits two seconds for the window to be withdrawn.
class LyricBand : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pfnRealCounter = CDlgLrc::s_pfnCounter;
        CDlgLrc::s_pfnCounter = [] { return s_llNow; };
        s_pBand = new CDlgLrc;
        s_pBand->Create(IDD_LRC, nullptr);
    }
    static void TearDownTestSuite() {
        delete s_pBand;
        s_pBand = nullptr;
        CDlgLrc::s_pfnCounter = s_pfnRealCounter;
    }

    void SetUp() override {
        ASSERT_TRUE(::IsWindow(m_band));
        if (!m_band.IsWindowVisible())
            m_band.ShowWindow(SW_SHOW);
        ASSERT_TRUE(::CreateDirectoryA("Lrc", nullptr));
        ResetPlayerState();
        g_nLrcPosStarts = s_nStarts;  // the band counts on from the last test's
        s_dwPublished = 0;
        g_strSongPath = L"D:\\Music\\song.mp3";
        State().strTopLine = State().strBottomLine = L"";
        State().strLrcMessage = "";
        State().bLrcLoaded = false;
        State().bTopCurrent = true;
        State().nTopFill = State().nBottomFill = 0;
        State().nTopSeconds = State().nBottomSeconds = 0;
        g_lyc.Load(L"no such file");
        Ticks(10);  // a notice an earlier test left runs out
    }

    // The main window's reading of g_nLrcPos, when it moved: a song that moved on by up to a
    // second played that long, any other move is a seek.
    void Tick() {
        if (g_nLrcPos != s_dwPublished) {
            const bool bPlayedOn = g_nLrcPos > s_dwPublished && g_nLrcPos - s_dwPublished <= 1000;
            s_llNow += bPlayedOn ? (g_nLrcPos - s_dwPublished) * (Frequency() / 1000) : 1;
            PublishLrcPos(g_nLrcPos, s_llNow, !bPlayedOn);
            s_dwPublished = g_nLrcPos;
            s_nStarts = g_nLrcPosStarts;
        }
        m_band.SendMessage(WM_TIMER, 1);
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i)
            Tick();
    }
    // Ticks while the song plays on 200 ms a tick.
    void PlayTicks(int n) {
        for (int i = 0; i < n; ++i) {
            g_nLrcPos += 200;
            Tick();
        }
    }
    BandState& State() { return m_band.Model().State(); }
    int BandWidth() { return m_band.Model().BandWidth(); }
    // The top of the lower slot's text; the upper one's stands at 5 at this DPI.
    int Y1() const { return m_band.Layout().nSlotY[1]; }
    static LONGLONG Frequency() {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }

    // Loads the song's lyrics on one tick and starts playing at the given position.
    void StartSong(const std::string& lyrics, DWORD dwPosMs) {
        WriteFileBytes("Lrc\\song.lrc", lyrics);
        g_nLrcPos = dwPosMs;
        g_bStartSong = true;
        Tick();
        g_bStartSong = false;
        g_bPlaying = true;
    }

    // Width and height of a text in the band's font.
    template <typename Str>
    SIZE TextSize(const Str& str) {
        CClientDC dc(&m_band);
        CFont font;
        font.CreatePointFont(280, "宋体");
        const CSelectScope selected(dc, font);
        SIZE size = dc.GetTextExtent(str, str.GetLength());
        TEXTMETRICA tm = {};
        dc.GetTextMetrics(&tm);
        size.cy = tm.tmHeight;
        return size;
    }
    SIZE TextSize(const char* psz) { return TextSize(CString(psz)); }
    SIZE TextSize(const wchar_t* psz) { return TextSize(CStringW(psz)); }

    static inline CDlgLrc* s_pBand = nullptr;
    static inline LONGLONG (*s_pfnRealCounter)() = nullptr;
    static inline LONGLONG s_llNow = 1;
    static inline DWORD s_dwPublished = 0;
    static inline UINT s_nStarts = 0;
    ScratchDir m_dir;
    CurrentDirScope m_cwd{m_dir.Path()};
    CDlgLrc& m_band = *s_pBand;
};
