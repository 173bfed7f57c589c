// Songs played through Media Foundation and wave-out. These tests run with Wine's "mpegvideo"
// switched off (tests/CMakeLists.txt), so an MP3 too can only play this way, as on a Windows
// whose DirectShow refuses it.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include "sound/CSound.h"
#include "sound/CStreamPlayer.h"
#include "support/TestSupport.h"

namespace {

std::wstring Stream(const char* name) {
    return Widen(BuildDataPath(std::string("stream/") + name));
}

DWORD Position() {
    DWORD dw = 0;
    EXPECT_TRUE(CSound::GetPosition(&dw));
    return dw;
}

int ThreadCount() {
    const CHandle hSnap(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    THREADENTRY32 entry = {sizeof(entry)};
    int n = 0;
    for (BOOL b = ::Thread32First(hSnap.Get(), &entry); b; b = ::Thread32Next(hSnap.Get(), &entry))
        n += entry.th32OwnerProcessID == ::GetCurrentProcessId();
    return n;
}

class StreamPlayback : public ::testing::Test {
protected:
    void TearDown() override {
        CSound::Close();
        ::DestroyWindow(m_hWnd);
    }
    // Takes the end notices posted to m_hWnd into m_ends until one comes or the time is up.
    bool WaitForEnd(DWORD dwMs) {
        MSG msg;
        for (const ULONGLONG ullEnd = ::GetTickCount64() + dwMs; ::GetTickCount64() < ullEnd; ::Sleep(20)) {
            while (::PeekMessageA(&msg, m_hWnd, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE))
                m_ends.emplace_back(msg.wParam, msg.lParam);
            if (!m_ends.empty())
                return true;
        }
        return false;
    }
    DWORD Play() { return CSound::PlayFromResume(m_hWnd); }

    const HWND m_hWnd = ::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    std::vector<std::pair<WPARAM, LPARAM>> m_ends;
    ScratchDir m_dir;
};

}  // namespace

// Each format plays from the start, tells its length and position, and reports its end.
TEST_F(StreamPlayback, EachFormatPlaysToItsEnd) {
    // A name that a URL would read otherwise plays as well.
    const std::wstring odd = Widen(m_dir.File("#1 100%20 ")) + L"\x6B4C.flac";
    ::CopyFileW(Stream("tone.flac").c_str(), odd.c_str(), FALSE);
    for (const std::wstring& path :
         {Stream("tone.flac"), Stream("tone.ogg"), Stream("tone.m4a"), Stream("tone.opus"), Stream("tone.mp3"), odd}) {
        SCOPED_TRACE(CStringW(path).ToUtf8());
        ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(path));
        EXPECT_TRUE(CSound::m_bOpened);
        EXPECT_TRUE(CSound::IsStreaming()) << "only Media Foundation plays here";
        DWORD dwLength = 0;
        ASSERT_TRUE(CSound::GetLength(&dwLength));
        EXPECT_NEAR(3000.0, dwLength, 120.0);
        CSound::m_seek.dwTo = 1800;  // the end comes sooner
        const ULONGLONG ullPlayed = ::GetTickCount64();
        ASSERT_EQ(0u, Play());
        ::Sleep(400);
        // Played on from the seek, never further than the clock went (Wine counts 0.1 s at once).
        const DWORD dwPosition = Position();
        EXPECT_GT(dwPosition, 1800u);
        EXPECT_LE(dwPosition, 1800 + (::GetTickCount64() - ullPlayed) + 150);
        ASSERT_TRUE(WaitForEnd(8000));
        EXPECT_EQ(static_cast<WPARAM>(MCI_NOTIFY_SUCCESSFUL), m_ends[0].first);
        EXPECT_TRUE(CSound::TakeEnd(m_ends[0].second, ::GetTickCount()));
        EXPECT_NEAR(3000.0, Position(), 120.0);
        m_ends.clear();
    }
}

TEST_F(StreamPlayback, PauseHoldsTheSampleAndPlayGoesOnFromIt) {
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Stream("tone.flac")));
    ASSERT_EQ(0u, Play());
    ::Sleep(700);
    CSound::Pause();
    const DWORD dwPaused = CSound::m_seek.dwTo;
    EXPECT_GT(dwPaused, 100u) << "it played before the pause";
    ::Sleep(400);
    EXPECT_EQ(dwPaused, Position()) << "nothing is heard while paused";
    ULONGLONG ullPlayed = ::GetTickCount64();
    ASSERT_EQ(0u, Play());
    const DWORD dwResumed = Position();
    EXPECT_GE(dwResumed, dwPaused);
    EXPECT_LE(dwResumed, dwPaused + (::GetTickCount64() - ullPlayed) + 150) << "went on from the same sample";
    // A resume point moved while paused (the slider) seeks there.
    CSound::Pause();
    CSound::m_seek.dwTo = 2500;
    ullPlayed = ::GetTickCount64();
    ASSERT_EQ(0u, Play());
    // Wine's wave-out counts about 0.1 s as played as soon as it starts.
    const DWORD dwSought = Position();
    EXPECT_GE(dwSought, 2500u);
    EXPECT_LE(dwSought, 2500 + (::GetTickCount64() - ullPlayed) + 150);
    EXPECT_TRUE(WaitForEnd(8000));
}

// A pause before any play used to hold a device that had nothing queued, and the play that
// followed resumed that silence, never ending.
TEST_F(StreamPlayback, APauseBeforeAnyPlayLeavesThePlayToStartTheSong) {
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Stream("tone.opus")));
    CSound::Pause();
    EXPECT_EQ(0u, CSound::m_seek.dwTo);
    ASSERT_EQ(0u, Play());
    EXPECT_TRUE(WaitForEnd(8000));
}

// Damaged files are refused or played as far as they decode; neither hangs nor leaves a
// thread, buffer or handle behind.
TEST_F(StreamPlayback, DamagedFilesAreRefusedOrPlayedAsFarAsTheyDecode) {
    const std::string flac = ReadFileBytes(BuildDataPath("stream/tone.flac"));
    std::string ogg = ReadFileBytes(BuildDataPath("stream/tone.ogg"));
    ogg.replace(ogg.size() / 2, 64, std::string(64, '\x5A'));  // one page broken mid-song
    WriteFileBytes(m_dir.File("cut.flac"), flac.substr(0, flac.size() / 2));
    WriteFileBytes(m_dir.File("broken.ogg"), ogg);
    WriteFileBytes(m_dir.File("empty.flac"), "");
    WriteFileBytes(m_dir.File("notes.opus"), "not a song at all\r\n");
    WriteFileBytes(m_dir.File("tone.alac"), flac);  // no MP4 inside
    WriteFileBytes(m_dir.File("mp3.flac"), ReadFileBytes(BuildDataPath("stream/tone.mp3")));

    // The platform's own threads come with the first song played and the first refused; ours
    // must go with each.
    ASSERT_EQ(CSound::OpenResult::Done, CSound::Open(Stream("tone.flac")));
    CSound::m_seek.dwTo = 2800;
    ASSERT_EQ(0u, Play());
    ASSERT_TRUE(WaitForEnd(8000));
    ASSERT_EQ(CSound::OpenResult::Refused, CSound::Open(Widen(m_dir.File("empty.flac"))));
    CSound::Close();
    ::Sleep(200);
    const int nThreads = ThreadCount();
    const struct {
        std::wstring path;
        bool bMayPlay;
    } cases[] = {
        {Widen(m_dir.File("cut.flac")), true},    {Widen(m_dir.File("broken.ogg")), true},
        {Widen(m_dir.File("mp3.flac")), true},    {Stream("video.m4a"), false},
        {Widen(m_dir.File("empty.flac")), false}, {Widen(m_dir.File("notes.opus")), false},
        {Widen(m_dir.File("tone.alac")), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(CStringW(c.path).ToUtf8()));
        m_ends.clear();
        const ULONGLONG ullStart = ::GetTickCount64();
        const CSound::OpenResult result = CSound::Open(c.path);
        EXPECT_LE(::GetTickCount64() - ullStart, CStreamPlayer::kOpenTimeoutMs + 1000) << "the open held the window";
        if (result == CSound::OpenResult::Done) {
            EXPECT_TRUE(c.bMayPlay);
            EXPECT_TRUE(CSound::m_bOpened);
            ASSERT_EQ(0u, Play());
            EXPECT_TRUE(WaitForEnd(8000)) << "what decodes plays out and ends";
        } else {
            EXPECT_EQ(CSound::OpenResult::Refused, result);
            EXPECT_FALSE(CSound::m_bOpened);
        }
        CSound::Close();
    }
    // The platform's pool ends an idle helper after 5 s.
    EXPECT_TRUE(PumpUntil([&] { return ThreadCount() <= nThreads; }, 8000)) << ThreadCount() << " threads";
}
