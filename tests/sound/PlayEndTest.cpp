// The end of a play, as CSound tells it for each engine: "mpegvideo" (on for these tests),
// "waveaudio" and Media Foundation. Wine's "mpegvideo" names device 0 in its notices and
// "waveaudio" the device's own ID, so nothing may rest on what the notice carries.
#include <gtest/gtest.h>

#include "sound/CSound.h"
#include "support/TestSupport.h"

namespace {

class PlayEnd : public ::testing::Test {
protected:
    void TearDown() override {
        CSound::Close();
        ::DestroyWindow(m_hWnd);
    }
    // The next end notice posted to m_hWnd; 0 in wParam when none came in time.
    MSG NextEnd(DWORD dwMs) {
        MSG msg = {};
        if (WaitUntilEndQueued(m_hWnd, dwMs))
            ::PeekMessageA(&msg, m_hWnd, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE);
        return msg;
    }
    void PlayFrom(DWORD dwMs) {
        CSound::m_seek.dwTo = dwMs;
        ASSERT_EQ(0u, CSound::PlayFromResume(m_hWnd));
    }

    const HWND m_hWnd = ::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ScratchDir m_dir;
};

}  // namespace

// The notice of a play paused, played again from elsewhere or replaced before it is read speaks
// for nothing; the end of the play after it counts, once.
TEST_F(PlayEnd, OnlyTheEndOfThePlayUnderWayCounts) {
    const std::string wav = m_dir.File("tone.wav");
    WriteWav(wav, 1500);
    enum class Act { Pause, PlayAgain, Replace };
    for (const std::string& song : {BuildDataPath("tone.mp3"), wav, BuildDataPath("stream/tone.flac")}) {
        for (Act act : {Act::Pause, Act::PlayAgain, Act::Replace}) {
            SCOPED_TRACE(song + " " + std::to_string(static_cast<int>(act)));
            ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Widen(song)));
            DWORD dwLength = 0;
            ASSERT_TRUE(CSound::GetLength(&dwLength));
            PlayFrom(dwLength - 200);
            ASSERT_TRUE(WaitUntilEndQueued(m_hWnd, 8000));
            if (act == Act::Pause)
                CSound::Pause();
            if (act == Act::Replace)
                ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Widen(song)));
            if (act != Act::Pause)
                PlayFrom(dwLength - 700);
            const MSG stale = NextEnd(0);
            ASSERT_EQ(static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL), stale.wParam);
            EXPECT_FALSE(CSound::TakeEnd(stale.lParam, stale.time));
            if (act != Act::Pause) {
                const MSG end = NextEnd(8000);
                ASSERT_EQ(static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL), end.wParam);
                EXPECT_TRUE(CSound::TakeEnd(end.lParam, end.time));
                EXPECT_FALSE(CSound::TakeEnd(end.lParam, end.time)) << "an end counts once";
            }
            CSound::Close();
            PumpMessages(50);
        }
    }
}
