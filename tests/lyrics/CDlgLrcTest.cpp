#include "lyrics/CDlgLrc.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "lyrics/LrcBand.h"
#include "support/SongFileBytes.h"
#include "support/TestSupport.h"
#include "LyricBandFixture.h"

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
