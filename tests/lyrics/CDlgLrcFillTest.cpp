// The band's slots filling, tick by tick, and their pixels.
#include "lyrics/CDlgLrc.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "lyrics/LrcBand.h"
#include "support/SongFileBytes.h"
#include "support/TestSupport.h"
#include "LyricBandFixture.h"

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
