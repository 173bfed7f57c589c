// The decoder's ways that Wine's Media Foundation never takes, through a reader of our own.
#include <windows.h>
#include <mmreg.h>

#include <gtest/gtest.h>

#include <memory>

#include "sound/CMfDecoder.h"
#include "sound/CStreamPlayer.h"
#include "support/TestSupport.h"
#include "FakeSourceReader.h"

namespace {

class StreamDecoder : public ::testing::Test {
protected:
    void SetUp() override {
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ASSERT_TRUE(CMfDecoder::StartUp());
        m_pfnOld = CMfDecoder::s_pfnMakeReader;
        CMfDecoder::s_pfnMakeReader = &FakeSourceReader::Make;
    }
    void TearDown() override {
        CMfDecoder::s_pfnMakeReader = m_pfnOld;
        FakeSourceReader::s_rule = {};
        ::DestroyWindow(m_hWnd);
    }
    bool TakeEndOf(CStreamPlayer& player) {
        MSG msg;
        return WaitUntilEndQueued(m_hWnd, 8000) &&
               ::PeekMessageA(&msg, m_hWnd, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE) &&
               player.TakeEnd(msg.lParam, msg.time);
    }

    CMfDecoder::ReaderMaker m_pfnOld = nullptr;
    const HWND m_hWnd = ::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
};

}  // namespace

// 16 bits where the decoder gives them, else its own PCM, else floats: wave-out plays all three.
TEST_F(StreamDecoder, TakesTheDecodersOwnPcmOrFloatsWhereItGivesNo16Bits) {
    const struct {
        FakeSourceReader::Takes takes;
        WORD nBits;
        bool bFloat;
    } kCases[] = {{FakeSourceReader::Takes::Pcm16, 16, false},
                  {FakeSourceReader::Takes::OwnPcm24, 24, false},
                  {FakeSourceReader::Takes::FloatOnly, 32, true}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.nBits);
        FakeSourceReader::s_rule.takes = c.takes;
        CMfDecoder decoder;
        ASSERT_TRUE(decoder.Open(L"song.flac"));
        const auto* pFormat = reinterpret_cast<const WAVEFORMATEX*>(decoder.Format().data());
        EXPECT_EQ(c.nBits, pFormat->wBitsPerSample);
        const bool bFloat =
            pFormat->wFormatTag == WAVE_FORMAT_IEEE_FLOAT ||
            (pFormat->wFormatTag == WAVE_FORMAT_EXTENSIBLE &&
             reinterpret_cast<const WAVEFORMATEXTENSIBLE*>(pFormat)->SubFormat.Data1 == WAVE_FORMAT_IEEE_FLOAT);
        EXPECT_EQ(c.bFloat, bFloat);
        const std::unique_ptr<CStreamPlayer> pPlayer = CStreamPlayer::Open(L"song.flac");
        ASSERT_TRUE(pPlayer) << "wave-out takes it";
        ASSERT_EQ(0u, pPlayer->Play(0, m_hWnd));
        EXPECT_TRUE(TakeEndOf(*pPlayer));
    }
}

// A source that cannot seek plays from its start, where a fresh reader stands, and a play from
// anywhere else ends at once instead of sounding from the wrong place.
TEST_F(StreamDecoder, ASourceThatCannotSeekPlaysFromItsStartAndEndsAPlayFromElsewhere) {
    FakeSourceReader::s_rule.bSeeks = false;
    const std::unique_ptr<CStreamPlayer> pPlayer = CStreamPlayer::Open(L"song.ogg");
    ASSERT_TRUE(pPlayer);
    ASSERT_EQ(0u, pPlayer->Play(0, m_hWnd));
    EXPECT_TRUE(TakeEndOf(*pPlayer));
    EXPECT_EQ(0, FakeSourceReader::s_nSeeks);
    EXPECT_EQ(11, FakeSourceReader::s_nReads) << "the whole second and its end";
    ASSERT_EQ(0u, pPlayer->Play(500, m_hWnd));
    EXPECT_TRUE(TakeEndOf(*pPlayer));
    EXPECT_EQ(1, FakeSourceReader::s_nSeeks);
    EXPECT_EQ(11, FakeSourceReader::s_nReads) << "nothing read after the seek failed";
}
