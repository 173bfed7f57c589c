// The band driven tick by tick: the shared player state is set by hand and WM_TIMER is sent
// straight to the window, so no real timer tick slips in between. The band's clock reads a
// counter that moves only with the song: the position it draws is g_nLrcPos itself.
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

namespace {

// Pixels of the band as it pushes them: premultiplied 0xAARRGGBB.
const uint32_t kClear = 0;
const uint32_t kBlue = 0xFF0000FF;
const uint32_t kRed = 0xFFFF0000;

// Two seconds for the first line, so the fill moves a tenth of its width a tick.
const char kLyrics[] = "[00:01.00]WWWWWWWW\r\n[00:03.00]MMMMMMMM\r\n[00:09.00]end\r\n";

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

    static CDlgLrc* s_pBand;
    static LONGLONG (*s_pfnRealCounter)();
    static LONGLONG s_llNow;
    static DWORD s_dwPublished;
    static UINT s_nStarts;
    ScratchDir m_dir;
    CurrentDirScope m_cwd{m_dir.Path()};
    CDlgLrc& m_band = *s_pBand;
};

CDlgLrc* LyricBand::s_pBand = nullptr;
LONGLONG (*LyricBand::s_pfnRealCounter)() = nullptr;
LONGLONG LyricBand::s_llNow = 1;
DWORD LyricBand::s_dwPublished = 0;
UINT LyricBand::s_nStarts = 0;

}  // namespace

TEST_F(LyricBand, StartsAsATopmostLayeredBandAcrossTheBottomOfTheScreen) {
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(m_band, MONITOR_DEFAULTTOPRIMARY), &mi));
    RECT rc;
    m_band.GetWindowRect(&rc);
    EXPECT_EQ(mi.rcWork.left, rc.left);
    EXPECT_EQ(std::min(mi.rcWork.bottom, mi.rcMonitor.bottom), rc.bottom) << "the lower line is never off the screen";
    EXPECT_EQ(BandWidth(), rc.right - rc.left);
    EXPECT_EQ(m_band.Layout().nHeight, rc.bottom - rc.top);
    EXPECT_GE(m_band.Layout().nHeight, 100) << "at 96 DPI the band is at least as high as it was";
    EXPECT_EQ(5, m_band.Layout().nSlotY[0]);
    EXPECT_LE(Y1() + TextSize("M").cy, m_band.Layout().nHeight) << "the lower line is not cut";
    EXPECT_EQ(m_band.Pixels().nHeight, rc.bottom - rc.top);
    EXPECT_TRUE(m_band.IsWindowVisible());
    EXPECT_TRUE(m_band.GetExStyle() & WS_EX_TOPMOST);
    EXPECT_TRUE(m_band.GetExStyle() & WS_EX_LAYERED);
}

TEST_F(LyricBand, ItsOwnTimerPicksUpAStartRequest) {
    WriteFileBytes("Lrc\\song.lrc", kLyrics);
    g_bStartSong = true;
    EXPECT_TRUE(PumpUntil([this] { return State().bLrcLoaded; }, 3000));
    EXPECT_EQ(CStringW(L"WWWWWWWW"), State().strTopLine);
}

TEST_F(LyricBand, ReloadsTheSameSongOnlyOnTicksThatSeeTheStartRequest) {
    WriteFileBytes("Lrc\\song.lrc", kLyrics);
    g_bStartSong = true;
    Tick();
    EXPECT_TRUE(State().bLrcLoaded);
    EXPECT_EQ(CStringW(L"WWWWWWWW"), State().strTopLine);
    EXPECT_EQ(CStringW(L"MMMMMMMM"), State().strBottomLine);

    g_bStartSong = false;
    g_bPlaying = true;
    WriteFileBytes("Lrc\\song.lrc", "[00:01.00]new one\r\n[00:05.00]new two\r\n");
    Ticks(3);
    EXPECT_EQ(CStringW(L"WWWWWWWW"), State().strTopLine);
    g_bStartSong = true;
    Tick();
    EXPECT_EQ(CStringW(L"new one"), State().strTopLine);
    EXPECT_EQ(CStringW(L"new two"), State().strBottomLine);
}

// The main window may start a song within 200 ms of its request, before any tick of the band
// saw it; the band used to go on showing the previous song's lyrics.
TEST_F(LyricBand, ASongStartedBeforeAnyTickSawItsRequestStillGetsItsLyrics) {
    StartSong(kLyrics, 0);
    ASSERT_EQ(CStringW(L"WWWWWWWW"), State().strTopLine);
    WriteFileBytes("Lrc\\other.lrc", "[00:00.00]other one\r\n[00:04.00]other two\r\n");
    g_strSongPath = L"D:\\Music\\other.mp3";
    g_nLrcPos = 0;
    Tick();
    EXPECT_TRUE(State().bLrcLoaded);
    EXPECT_EQ(CStringW(L"other one"), State().strTopLine);
    EXPECT_EQ(CStringW(L"other two"), State().strBottomLine);
}

TEST_F(LyricBand, EachRequestedTickRestartsTheSlotsAtThePositionOfThen) {
    StartSong(kLyrics, 0);
    State().bTopCurrent = false;
    State().nTopFill = 40;
    State().nBottomFill = 70;
    g_nLrcPos = 3500;  // still the previous song's position while the request waits
    g_bStartSong = true;
    g_bPlaying = false;
    Tick();
    EXPECT_TRUE(State().bTopCurrent);
    EXPECT_EQ(0, State().nTopFill);
    EXPECT_EQ(0, State().nBottomFill);
    EXPECT_EQ(CStringW(L"MMMMMMMM"), State().strTopLine);
    EXPECT_EQ(CStringW(L"end"), State().strBottomLine);
}

TEST_F(LyricBand, WithoutALyricFileItShowsTheSearchMessage) {
    g_bPlaying = true;
    g_bStartSong = true;
    Tick();
    EXPECT_FALSE(State().bLrcLoaded);
    EXPECT_EQ(CString("正在从网络搜索歌词........."), State().strLrcMessage);
    const SIZE size = TextSize(State().strLrcMessage);
    const int x = CentredX(BandWidth(), size.cx);
    const BandShot shot(m_band);
    EXPECT_GT(shot.Count(kBlue, x, 30, x + size.cx, 30 + size.cy), 0);
    EXPECT_EQ(0, shot.CountAll(kRed));

    // A later song with a lyric file shows its lyrics.
    StartSong(kLyrics, 0);
    EXPECT_TRUE(State().bLrcLoaded);
    EXPECT_EQ(CStringW(L"WWWWWWWW"), State().strTopLine);
}

TEST_F(LyricBand, TimedLyricsKeptInsideASongWithoutALyricFileShowLikeAFile) {
    using namespace song_bytes;
    const std::string lrc = "[00:01.00]WWWWWWWW\n[00:03.00]MMMMMMMM";
    const std::string uslt = std::string("\001eng\xFF\xFE\0\0\xFF\xFE", 10) + Utf16(Widen(lrc), false);
    const std::pair<std::string, std::string> songs[] = {
        {"a.mp3", Id3v23({{"USLT", uslt}}) + "\xFF\xFB"},
        {"a.flac", Flac({"LYRICS=" + lrc})},
        {"a.ogg", OggVorbis({"UNSYNCEDLYRICS=" + lrc})},
        {"a.opus", Opus({"lyrics=" + lrc})},
        {"a.m4a", M4a({{"\251lyr", lrc}})},
        {"plain.flac", Flac({"LYRICS=words without a time"})},
        {"song.flac", Flac({"LYRICS=" + lrc})},  // its lyric file comes first
    };
    WriteFileBytes("Lrc\\song.lrc", "[00:01.00]from the file\r\n");
    for (const auto& [name, bytes] : songs) {
        WriteFileBytes(name, bytes);
        g_strSongPath = Widen(m_dir.File(name));
        State().strTopLine = L"";
        g_bStartSong = true;
        Tick();
        g_bStartSong = false;
        const bool bTimed = name != "plain.flac";
        EXPECT_EQ(bTimed, State().bLrcLoaded) << name;
        EXPECT_EQ(CStringW(!bTimed               ? L""
                           : name == "song.flac" ? L"from the file"
                                                 : L"WWWWWWWW"),
                  State().strTopLine)
            << name;
        if (!bTimed) {
            EXPECT_EQ(CString("正在从网络搜索歌词........."), State().strLrcMessage);
        }
    }
}

TEST_F(LyricBand, NotPlayingShowsOnlyTheNoSongTextAndPlayResumesWithoutReloading) {
    StartSong(kLyrics, 1000);
    PlayTicks(1);
    const int nFill = State().nTopFill;
    ASSERT_GT(nFill, 0);

    g_bPlaying = false;  // paused
    WriteFileBytes("Lrc\\song.lrc", "[00:01.00]other\r\n");
    Ticks(3);
    EXPECT_EQ(nFill, State().nTopFill);
    const SIZE noSong = TextSize("没有歌曲");
    const SIZE top = TextSize(State().strTopLine);
    const int xNoSong = CentredX(BandWidth(), noSong.cx);
    const int xTop = TopSlotX(BandWidth(), top.cx);
    const BandShot shot(m_band);
    EXPECT_GT(shot.Count(kBlue, xNoSong, 30, xNoSong + noSong.cx, 30 + noSong.cy), 0);
    EXPECT_EQ(0, shot.Count(kBlue, xTop, 5, xTop + top.cx, 30));
    EXPECT_EQ(0, shot.CountAll(kRed));

    g_bPlaying = true;
    PlayTicks(1);
    EXPECT_EQ(CStringW(L"WWWWWWWW"), State().strTopLine);
    EXPECT_GT(State().nTopFill, nFill);
}

TEST_F(LyricBand, TheFilledPartIsPureRedTheRestPureBlueInADarkOutlineOnNothing) {
    StartSong(kLyrics, 1000);
    PlayTicks(3);
    const SIZE top = TextSize(State().strTopLine);
    const SIZE bottom = TextSize(State().strBottomLine);
    const int nFill = State().nTopFill;
    ASSERT_EQ(3 * ((top.cx / 2) / 5), nFill);
    const int x1 = TopSlotX(BandWidth(), top.cx);
    const int x2 = BottomSlotX(BandWidth(), bottom.cx);
    const BandLayout& layout = m_band.Layout();

    const BandShot shot(m_band);
    // Top slot: red up to the fill, blue after it, to the pixel.
    EXPECT_GT(shot.Count(kRed, x1, 5, x1 + nFill, 5 + top.cy), 0);
    EXPECT_EQ(0, shot.Count(kBlue, x1, 5, x1 + nFill, 5 + top.cy));
    EXPECT_GT(shot.Count(kBlue, x1 + nFill, 5, x1 + top.cx, 5 + top.cy), 0);
    EXPECT_EQ(shot.CountAll(kRed), shot.Count(kRed, x1, 5, x1 + nFill, 5 + top.cy));
    // Bottom slot: blue only.
    EXPECT_GT(shot.Count(kBlue, x2, Y1(), x2 + bottom.cx, Y1() + bottom.cy), 0);
    // Nothing at all around and between the texts.
    const int nBetween = 5 + top.cy + layout.PadBelow();
    EXPECT_EQ(BandWidth() * (Y1() - layout.PadAbove() - nBetween),
              shot.Count(kClear, 0, nBetween, BandWidth(), Y1() - layout.PadAbove()));
    EXPECT_EQ(kClear, shot.At(0, 0));
    EXPECT_EQ(kClear, shot.At(BandWidth() - 1, layout.nHeight - 1));
    EXPECT_EQ(kClear, shot.At(x1 + top.cx + layout.PadSide(), 5 + top.cy / 2));

    // An outline darker than either colour rings the letters; the style can drop it.
    const auto darkRing = [&](const BandShot& s) {
        int n = 0;
        for (int y = 0; y < Y1() - layout.PadAbove(); ++y)
            for (int x = x1 - layout.PadSide(); x < x1 + top.cx + layout.PadSide(); ++x) {
                const uint32_t v = s.At(x, y);
                n += v >> 24 == 0xFF && std::max({(v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF}) < 0x50;
            }
        return n;
    };
    const int nPure = shot.Count(kRed, x1, 0, x1 + top.cx, Y1()) + shot.Count(kBlue, x1, 0, x1 + top.cx, Y1());
    EXPECT_GT(darkRing(shot), nPure / 3);
    BandStyle style;
    style.bOutline = false;
    m_band.SetStyle(style);
    EXPECT_EQ(0, darkRing(BandShot(m_band)));
    EXPECT_EQ(nPure, BandShot(m_band).Count(kRed, x1, 0, x1 + top.cx, Y1()) +
                         BandShot(m_band).Count(kBlue, x1, 0, x1 + top.cx, Y1()));
    m_band.SetStyle(BandStyle());
}

// The first line lasts 2.9 s, paced as 2: its fill passes the text before the song reaches the next.
TEST_F(LyricBand, TheFillHandsOverWhenItPassesTheWidth) {
    StartSong("[00:01.00]WWWWWWWW\r\n[00:03.90]MMMMMMMM\r\n[00:09.90]end\r\n", 1000);
    const int w1 = TextSize("WWWWWWWW").cx;
    const int nStep = (w1 / 2) / 5;
    ASSERT_GT(nStep, 0);
    int nTicks = 0;
    while (State().bTopCurrent && nTicks < 100) {
        PlayTicks(1);
        ++nTicks;
        if (State().bTopCurrent) {
            EXPECT_EQ(nTicks * nStep, State().nTopFill);
        }
    }
    EXPECT_FALSE(State().bTopCurrent);
    EXPECT_GT(nTicks * nStep, w1);
    EXPECT_LE((nTicks - 1) * nStep, w1);
    EXPECT_EQ(0, State().nTopFill);
    ASSERT_LT(g_nLrcPos, 3700u);

    // The song has not reached the next line: the texts stay, and the bottom slot fills
    // from its own count at the pace of the line still in effect.
    PlayTicks(1);
    EXPECT_EQ(CStringW(L"WWWWWWWW"), State().strTopLine);
    EXPECT_EQ(CStringW(L"MMMMMMMM"), State().strBottomLine);
    EXPECT_EQ(2, State().nBottomSeconds);
    EXPECT_EQ((TextSize("MMMMMMMM").cx / 2) / 5, State().nBottomFill);
    const BandShot shot(m_band);
    EXPECT_EQ(0, shot.Count(kRed, 0, 0, BandWidth(), Y1() - 5));
    EXPECT_GT(shot.Count(kRed, 0, Y1(), BandWidth(), Y1() + 50), 0);

    // Once the song reaches the next line the bottom slot takes it and the top the one after.
    g_nLrcPos = 3900;
    Tick();
    EXPECT_FALSE(State().bTopCurrent);
    EXPECT_EQ(CStringW(L"end"), State().strTopLine);
    EXPECT_EQ(CStringW(L"MMMMMMMM"), State().strBottomLine);
    EXPECT_EQ(6, State().nBottomSeconds);
}

TEST_F(LyricBand, AZeroFillStepNeverHandsOverWhileTheTextsMoveOn) {
    // "i" is far narrower than 5 pixels for each of its 100 seconds.
    StartSong("[00:01.00]i\r\n[01:41.00]two\r\n[01:50.00]three\r\n[02:00.00]four\r\n", 1000);
    Ticks(50);
    EXPECT_TRUE(State().bTopCurrent);
    EXPECT_EQ(0, State().nTopFill);
    EXPECT_EQ(100, State().nTopSeconds);

    g_nLrcPos = 101000;  // "two" is what the bottom slot already shows: no change
    Tick();
    EXPECT_EQ(CStringW(L"i"), State().strTopLine);
    g_nLrcPos = 110000;
    Tick();
    EXPECT_TRUE(State().bTopCurrent);
    EXPECT_EQ(CStringW(L"three"), State().strTopLine);
    EXPECT_EQ(CStringW(L"four"), State().strBottomLine);
}

TEST_F(LyricBand, AnEmptyLineNeverHandsOver) {
    StartSong("[00:01.00]\r\n[00:03.00]after\r\n", 1000);
    Ticks(30);
    EXPECT_TRUE(State().bTopCurrent);
    EXPECT_EQ(0, State().nTopFill);
    EXPECT_EQ(CStringW(L""), State().strTopLine);
}

TEST_F(LyricBand, BeforeTheFirstLineBothLinesShowAndNothingIsRed) {
    StartSong(kLyrics, 0);
    Ticks(5);
    EXPECT_EQ(CStringW(L"WWWWWWWW"), State().strTopLine);
    EXPECT_EQ(CStringW(L"MMMMMMMM"), State().strBottomLine);
    EXPECT_EQ(0, State().nTopFill);
    const BandShot shot(m_band);
    EXPECT_GT(shot.CountAll(kBlue), 0);
    EXPECT_EQ(0, shot.CountAll(kRed));
}

TEST_F(LyricBand, PastTheLastLineTheTextsStayAndNothingIsRed) {
    StartSong(kLyrics, 4000);
    Ticks(2);
    g_nLrcPos = 60000;
    Ticks(5);
    EXPECT_EQ(CStringW(L"MMMMMMMM"), State().strTopLine);
    EXPECT_EQ(CStringW(L"end"), State().strBottomLine);
    const BandShot shot(m_band);
    EXPECT_EQ(0, shot.CountAll(kRed));
}

TEST_F(LyricBand, NoLineDurationDrawsNoFillAndLeavesTheFillAlone) {
    // At exactly the last start time there is no next line to measure to.
    StartSong(kLyrics, 9000);
    State().nTopFill = 7;
    Ticks(3);
    EXPECT_EQ(0, State().nTopSeconds);
    EXPECT_EQ(7, State().nTopFill);
    EXPECT_TRUE(State().bTopCurrent);
    EXPECT_EQ(0, BandShot(m_band).CountAll(kRed));

    // The position is in range but the offset moves the lookup before the first line.
    StartSong(std::string("[offset:-5000]\r\n") + kLyrics, 2000);
    State().nTopFill = 7;
    Ticks(3);
    EXPECT_EQ(7, State().nTopFill);
    EXPECT_EQ(0, BandShot(m_band).CountAll(kRed));

    // A lyric file that exists but cannot be opened; the old first and last times still apply.
    StartSong(kLyrics, 1000);
    ::DeleteFileA("Lrc\\song.lrc");
    ASSERT_TRUE(::CreateDirectoryA("Lrc\\song.lrc", nullptr));
    g_nLrcPos = 2000;
    g_bStartSong = true;
    Tick();
    g_bStartSong = false;
    EXPECT_TRUE(State().bLrcLoaded);
    EXPECT_FALSE(g_lyc.IsLoaded());
    EXPECT_EQ(CStringW(L" "), State().strTopLine);
    State().nTopFill = 7;
    Ticks(3);
    EXPECT_EQ(7, State().nTopFill);
    EXPECT_TRUE(State().bTopCurrent);
    EXPECT_EQ(0, BandShot(m_band).CountAll(kRed));
}

TEST_F(LyricBand, ALyricFileWithoutTimesShowsBlankSlots) {
    StartSong("[ti:Instrumental]\r\n纯音乐\r\n", 0);
    EXPECT_TRUE(State().bLrcLoaded);
    Ticks(5);
    EXPECT_EQ(CStringW(L" "), State().strTopLine);
    EXPECT_EQ(CStringW(L" "), State().strBottomLine);
    EXPECT_EQ(0, State().nTopFill);
    const BandShot shot(m_band);
    EXPECT_EQ(0, shot.CountAll(kRed));
    EXPECT_EQ(0, shot.CountAll(kBlue));
}

TEST_F(LyricBand, ASongNameWithABackslashTrailByteFindsItsLyrics) {
    const CString strName = CString("\xDA\x5C") + "歌";
    WriteFileBytes(std::string("Lrc\\") + strName.GetString() + ".lrc", "[00:01.00]found\r\n");
    g_strSongPath = CStringW::FromGbk(("C:\\音乐\\" + strName + ".mp3").Str());
    g_bStartSong = true;
    g_bPlaying = true;
    Tick();
    EXPECT_TRUE(State().bLrcLoaded);
    EXPECT_EQ(CStringW(L"found"), State().strTopLine);
}

// "WW" sung from 1 s, "MM" from 1.5 s, "WM" from 2 s to 3 s; then a word-timed last line.
TEST_F(LyricBand, AWordTimedLineFillsFromThePositionOfEachTickAlsoAfterASeekBack) {
    StartSong("[00:01.00]WW<00:01.50>MM<00:02.00>WM\r\n[00:03.00]C<00:03.50>D\r\n", 1000);
    const int xMM = TextSize("WW").cx, xWM = TextSize("WWMM").cx, w = TextSize("WWMMWM").cx;
    const int x1 = TopSlotX(BandWidth(), w);
    const std::pair<DWORD, int> ticks[] = {{1000, 0},
                                           {1250, xMM / 2},
                                           {1750, (xMM + xWM) / 2},
                                           {2500, (xWM + w) / 2},
                                           {1600, xMM + (xWM - xMM) / 5},
                                           {2999, xWM + (w - xWM) * 999 / 1000}};
    for (const auto& [dwPos, nRed] : ticks) {
        g_nLrcPos = dwPos;
        Tick();
        EXPECT_NEAR(nRed, State().nTopFill, 1) << dwPos;
        const BandShot shot(m_band);
        EXPECT_EQ(nRed > 2, shot.Count(kRed, x1, 5, x1 + State().nTopFill, Y1() - 5) > 0) << dwPos;
        EXPECT_EQ(shot.CountAll(kRed), shot.Count(kRed, x1, 5, x1 + State().nTopFill, Y1() - 5)) << dwPos;
    }
    // The position leaves the line: the other slot takes the last line, and nothing follows it.
    g_nLrcPos = 3250;
    Tick();
    EXPECT_FALSE(State().bTopCurrent);
    EXPECT_EQ(CStringW(L"CD"), State().strBottomLine);
    EXPECT_EQ(CStringW(L" "), State().strTopLine);
    EXPECT_NEAR(TextSize("C").cx / 2, State().nBottomFill, 1);
    g_nLrcPos = 60000;  // its last word lasted a second
    Tick();
    EXPECT_EQ(TextSize("CD").cx, State().nBottomFill);
}

TEST_F(LyricBand, TheRedCopyOfALineCoversItsBlueTextAmpersandsIncluded) {
    StartSong("[00:01.00]R&B<00:01.50>&&x\r\n", 1000);
    g_nLrcPos = 2600;  // the last word lasted a second: the whole line is red
    Tick();
    const int w = TextSize("R&B&&x").cx;
    ASSERT_EQ(w, State().nTopFill);
    const int x1 = TopSlotX(BandWidth(), w);
    const BandShot shot(m_band);
    EXPECT_GT(shot.Count(kRed, x1, 5, x1 + w, Y1() - 5), 0);
    EXPECT_EQ(0, shot.Count(kBlue, x1, 5, x1 + w, Y1() - 5)) << "a '&' taken for a prefix shifts the red text";
}

TEST_F(LyricBand, ANoticeStandsForTenTicksWhileTheLyricsGoOnUnseen) {
    g_strSongPath = L"D:\\Music\\shifted.mp3";  // the shift stays with this path while the band lives
    WriteFileBytes("Lrc\\shifted.lrc", "[00:01.00]WWWWWWWW\r\n[00:09.00]end\r\n");
    g_nLrcPos = 1000;
    g_bPlaying = true;
    Tick();
    const int nStep = (TextSize("WWWWWWWW").cx / 8) / 5;
    m_band.ShiftLyrics(0.5);
    EXPECT_DOUBLE_EQ(0.5, g_lyc.Offset());
    const SIZE notice = TextSize("歌词提前 0.5 秒");
    const int x = CentredX(BandWidth(), notice.cx);
    for (int i = 1; i <= 11; ++i) {
        PlayTicks(1);
        const BandShot shot(m_band);
        EXPECT_EQ(i <= 10, shot.Count(kBlue, x, 30, x + notice.cx, 30 + notice.cy) == shot.CountAll(kBlue)) << i;
        EXPECT_EQ(i <= 10, shot.CountAll(kRed) == 0) << i;
        EXPECT_EQ(i * nStep, State().nTopFill) << "the fill moves on under the notice";
    }
    m_band.ResetLyricsShift();
    EXPECT_DOUBLE_EQ(0.0, g_lyc.Offset());
}

// A word-timed line and a paced one with translations, then a line without, then the last.
TEST_F(LyricBand, ATranslatedLineFillsItsOriginalAboveItsTranslationUntilCtrlTHidesIt) {
    StartSong(
        "[00:01.00]WW<00:01.50>MM\r\n[00:01.00]tr one\r\n[00:03.00]WWWWWWWW\r\n[00:03.00]tr two\r\n"
        "[00:05.90]plain\r\n[00:07.90]end\r\n",
        0);
    EXPECT_EQ(CStringW(L"WWMM"), State().strTopLine);
    EXPECT_EQ(CStringW(L"tr one"), State().strBottomLine);
    const auto expectOnlyTheTopRed = [&](int nRed) {
        const SIZE top = TextSize(State().strTopLine), bottom = TextSize(State().strBottomLine);
        const int x1 = TopSlotX(BandWidth(), top.cx), x2 = BottomSlotX(BandWidth(), bottom.cx);
        const BandShot shot(m_band);
        EXPECT_EQ(shot.CountAll(kRed), shot.Count(kRed, x1, 5, x1 + nRed, 5 + top.cy));
        EXPECT_GT(shot.Count(kRed, x1, 5, x1 + nRed, 5 + top.cy), 0);
        EXPECT_GT(shot.Count(kBlue, x2, Y1(), x2 + bottom.cx, Y1() + bottom.cy), 0);
    };
    g_nLrcPos = 1250;
    Tick();
    EXPECT_NEAR(TextSize("WW").cx / 2, State().nTopFill, 1);
    expectOnlyTheTopRed(State().nTopFill);

    // A paced original fills at the pace of its line and then stays filled: nothing to hand over to.
    g_nLrcPos = 3000;
    Tick();
    EXPECT_EQ(0, State().nTopFill);
    PlayTicks(1);
    const int w = TextSize("WWWWWWWW").cx;
    EXPECT_EQ(CStringW(L"tr two"), State().strBottomLine);
    EXPECT_EQ((w / 2) / 5, State().nTopFill);
    PlayTicks(12);
    EXPECT_TRUE(State().bTopCurrent);
    EXPECT_EQ(w, State().nTopFill);
    expectOnlyTheTopRed(w);

    m_band.ToggleTranslations();
    EXPECT_TRUE((::GetFileAttributesW(L"Lrc\\不显示翻译") != INVALID_FILE_ATTRIBUTES));
    EXPECT_EQ(CStringW(L"WWWWWWWW"), State().strTopLine);
    EXPECT_EQ(CStringW(L"plain"), State().strBottomLine);
    EXPECT_FALSE(State().bBottomTranslation);
    Tick();
    const SIZE notice = TextSize("翻译：已隐藏");
    const int x = CentredX(BandWidth(), notice.cx);
    const BandShot shot(m_band);
    EXPECT_EQ(shot.CountAll(kBlue), shot.Count(kBlue, x, 30, x + notice.cx, 30 + notice.cy));
    EXPECT_GT(shot.CountAll(kBlue), 0);
    m_band.ToggleTranslations();
    EXPECT_FALSE((::GetFileAttributesW(L"Lrc\\不显示翻译") != INVALID_FILE_ATTRIBUTES));
    EXPECT_EQ(CStringW(L"tr two"), State().strBottomLine);

    // A line without a translation shows as before: it fills afresh, the next line beneath it.
    g_nLrcPos = 5900;
    Tick();
    PlayTicks(1);
    EXPECT_EQ(CStringW(L"plain"), State().strTopLine);
    EXPECT_EQ(CStringW(L"end"), State().strBottomLine);
    EXPECT_FALSE(State().bBottomTranslation);
    EXPECT_EQ((TextSize("plain").cx / 2) / 5, State().nTopFill);
}

TEST_F(LyricBand, TranslationsHiddenInAnEarlierRunStayHidden) {
    WriteFileBytes("Lrc\\不显示翻译", "");
    CDlgLrc band;
    ASSERT_TRUE(band.Create(IDD_LRC, nullptr));
    WriteFileBytes("Lrc\\song.lrc", "[00:01.00]one\r\n[00:01.00]一\r\n[00:02.00]two\r\n");
    g_bStartSong = true;
    band.SendMessage(WM_TIMER, 1);
    EXPECT_EQ(CStringW(L"one"), band.Model().State().strTopLine);
    EXPECT_EQ(CStringW(L"two"), band.Model().State().strBottomLine);
}

// Hangul is full-width in the band's font: drawn as question marks the line would be half as wide.
TEST_F(LyricBand, AKoreanLineIsDrawnAsWideAsItsSyllables) {
    StartSong("\xEF\xBB\xBF[00:01.00]\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 \xEB\x85\xB8\xEB\x9E\x98\r\n", 0);
    Tick();
    ASSERT_EQ(CStringW(L"\xD55C\xAD6D\xC5B4 \xB178\xB798"), State().strTopLine);
    const SIZE top = TextSize(State().strTopLine);
    ASSERT_GT(top.cx, TextSize("??? ??").cx * 3 / 2);
    const int x1 = TopSlotX(BandWidth(), top.cx);
    const BandShot shot(m_band);
    int nLeft = INT_MAX, nRight = -1;
    for (int y = 5; y < 5 + top.cy; ++y)
        for (int x = 0; x < BandWidth() / 2; ++x)
            if (shot.At(x, y) == kBlue) {
                nLeft = std::min(nLeft, x);
                nRight = std::max(nRight, x);
            }
    EXPECT_GE(nLeft, x1);
    EXPECT_LE(nRight, x1 + top.cx);
    EXPECT_GT(nRight - nLeft, top.cx * 4 / 5);
}

TEST_F(LyricBand, ClosingOnlyHidesTheBandSoItCanBeShownAgain) {
    g_bLrcShown = true;
    m_band.SendMessage(WM_CLOSE);
    EXPECT_FALSE(g_bLrcShown);
    EXPECT_TRUE(PumpUntil([this] { return !m_band.IsWindowVisible(); }, 2000));
    EXPECT_TRUE(::IsWindow(m_band));

    // Hidden, it still ticks and loads.
    WriteFileBytes("Lrc\\song.lrc", kLyrics);
    g_bStartSong = true;
    EXPECT_TRUE(PumpUntil([this] { return State().bLrcLoaded; }, 3000));

    m_band.ShowWindow(SW_SHOW);
    g_bLrcShown = true;
    EXPECT_TRUE(m_band.IsWindowVisible());
}

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
