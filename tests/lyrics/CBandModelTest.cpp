// The band's model driven update by update, without a window: texts measure 10 pixels a code
// unit on a band 800 wide.
#include "lyrics/CBandModel.h"

#include <gtest/gtest.h>

#include <string>

#include "lyrics/CLyc.h"
#include "lyrics/LrcBand.h"
#include "support/TestSupport.h"

namespace {

struct Step {
    int nPosMs;
    int nPlayedMs;  // of the song since the update before
    const wchar_t* pszTop;
    const wchar_t* pszBottom;
    int nRedSlot;
    int nRed;
    bool bMoving;
};

class BandModel : public testing::Test {
protected:
    void SetUp() override {
        m_model.SetMeasure([](const CStringW& /*str*/, int nChars) { return 10 * nChars; });
        m_model.SetBandWidth(800);
    }
    void Load(const wchar_t* pszLyrics, bool bTranslations = true) {
        m_lyc.LoadText(pszLyrics);
        m_model.State().bLrcLoaded = true;
        m_situation.bPlaying = true;
        m_situation.bTranslations = bTranslations;
        m_model.StartSlots(0.0, bTranslations);
    }
    void Run(const std::vector<Step>& steps) {
        for (const Step& s : steps) {
            const BandScene& scene = m_model.Compose(s.nPosMs, s.nPlayedMs, m_situation);
            const std::string where = "at " + std::to_string(s.nPosMs) + " ms";
            ASSERT_EQ(BandKind::Lyrics, scene.kind) << where;
            EXPECT_EQ(CStringW(s.pszTop), scene.arrText[0]) << where;
            EXPECT_EQ(CStringW(s.pszBottom), scene.arrText[1]) << where;
            EXPECT_EQ(s.nRedSlot, scene.nRedSlot) << where;
            EXPECT_EQ(s.nRed, scene.RedIn(s.nRedSlot)) << where;
            EXPECT_EQ(s.bMoving, scene.bMoving) << where;
            EXPECT_EQ(TopSlotX(800, scene.arrText[0].GetLength() * 10), scene.arrX[0]) << where;
            EXPECT_EQ(BottomSlotX(800, scene.arrText[1].GetLength() * 10), scene.arrX[1]) << where;
        }
    }

    CLyc m_lyc;
    CBandModel m_model{m_lyc};
    CBandModel::Situation m_situation;
};

}  // namespace

// "aaaa" is paced as one second: 8 pixels for every 200 ms played.
TEST_F(BandModel, APacedFillMovesWithTheSongAndHandsOverOncePastItsText) {
    Load(L"[00:01.00]aaaa\r\n[00:02.50]bb\r\n[00:09.00]end\r\n");
    Run({
        {0, 0, L"aaaa", L"bb", -1, 0, false},   // before the first line
        {1000, 0, L"aaaa", L"bb", 0, 0, true},  // a seek: nothing played
        {1200, 200, L"aaaa", L"bb", 0, 8, true},
        {1800, 600, L"aaaa", L"bb", 0, 32, true},
        {2000, 200, L"aaaa", L"bb", 0, 40, true},
        {2200, 200, L"aaaa", L"bb", 0, 48, true},  // past the text: drawn whole, the lower slot is next
        {2400, 200, L"aaaa", L"bb", 1, 4, true},   // paced by the line still sung
        {2500, 100, L"end", L"bb", 1, 4, false},   // 6.5 s for 20 pixels: no step to move by
        {5000, 5000, L"end", L"bb", 1, 4, false},
    });
    EXPECT_FALSE(m_model.State().bTopCurrent);
}

// "ab" is sung from the line's start, "cd" from 1 s after it until the next line.
TEST_F(BandModel, AWordTimedFillFollowsThePositionEvenBackwards) {
    Load(L"[00:01.00]ab<00:02.00>cd\r\n[00:03.00]x\r\n");
    Run({
        {1500, 0, L"abcd", L"x", 0, 10, true},
        {2500, 1000, L"abcd", L"x", 0, 30, true},
        {1250, 0, L"abcd", L"x", 0, 5, true},
        {2999, 0, L"abcd", L"x", 0, 39, true},
        {3000, 1, L" ", L"x", -1, 0, false},  // the last line, nothing after it to pace by
        {9000, 6000, L" ", L"x", -1, 0, false},
    });
}

TEST_F(BandModel, ATranslationStandsBeneathItsLineUnlessTranslationsAreOff) {
    const wchar_t* pszLyrics = L"[00:01.00]one\r\n[00:01.00]一\r\n[00:02.00]two\r\n[00:04.00]three\r\n";
    Load(pszLyrics);
    Run({
        {1000, 0, L"one", L"一", 0, 0, true},
        {1600, 600, L"one", L"一", 0, 18, true},
        {2200, 600, L"two", L"three", 0, 0, true},  // back to line and next, both afresh
    });
    Load(pszLyrics, false);
    Run({{1000, 0, L"one", L"two", 0, 0, true}});
    EXPECT_FALSE(m_model.State().bBottomTranslation);
}

TEST_F(BandModel, AMessageStandsInPlaceOfTheLyrics) {
    Load(L"[00:01.00]aaaa\r\n[00:03.00]bb\r\n");
    m_model.State().strLrcMessage = "没有找到歌词";
    const CString strNotice("翻译：已隐藏");
    const struct {
        bool bPlaying, bLoaded, bNotice;
        const char* pszMessage;  // nullptr: the lyrics show
    } cases[] = {
        {true, true, false, nullptr},       {false, true, false, "没有歌曲"},     {true, false, false, "没有找到歌词"},
        {true, true, true, "翻译：已隐藏"}, {false, false, true, "翻译：已隐藏"},
    };
    for (const auto& c : cases) {
        m_situation.bPlaying = c.bPlaying;
        m_situation.pNotice = c.bNotice ? &strNotice : nullptr;
        m_model.State().bLrcLoaded = c.bLoaded;
        const BandScene& scene = m_model.Compose(1200, 200, m_situation);
        EXPECT_EQ(c.pszMessage ? BandKind::Message : BandKind::Lyrics, scene.kind) << c.pszMessage;
        EXPECT_EQ(CString(c.pszMessage ? c.pszMessage : ""), scene.strMessage);
    }
    // Under the notice the fill went on: 200 ms of a 2 s line is 4 pixels at a time.
    m_situation = {true, true, nullptr};
    m_model.State().bLrcLoaded = true;
    EXPECT_EQ(8, m_model.Compose(1400, 200, m_situation).nRed);
}
