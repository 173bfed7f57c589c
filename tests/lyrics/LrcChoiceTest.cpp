// The choice among the network's matches, against a stand-in for the lyrics service on
// 127.0.0.1 that answers as the test says, when the test says: several candidates, none, no
// service at all, and an answer held back while the window goes on answering.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "lyrics/CDlgLrc.h"
#include "lyrics/CDlgLrcChoice.h"
#include "lyrics/CLrcSearch.h"
#include "lyrics/CLyc.h"
#include "res/resource.h"
#include "state/PlayerState.h"
#include "support/TestSupport.h"

namespace {

// One HTTP answer a connection, after the gate opens.
class StandIn {
public:
    explicit StandIn(std::string strBody) : m_strBody(std::move(strBody)) {
        WSADATA wsa;
        ::WSAStartup(MAKEWORD(2, 2), &wsa);
        m_listen = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        ::listen(m_listen, 4);
        int nLen = sizeof(addr);
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &nLen);
        m_nPort = ::ntohs(addr.sin_port);
        m_thread = std::thread([this] { Serve(); });
    }
    ~StandIn() {
        Open();
        m_bStop = true;
        // A connection of its own wakes the accept.
        const SOCKET wake = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        addr.sin_port = ::htons(static_cast<u_short>(m_nPort));
        ::connect(wake, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
        m_thread.join();
        ::closesocket(wake);
        ::closesocket(m_listen);
        ::WSACleanup();
    }
    std::wstring Url() const { return L"http://127.0.0.1:" + std::to_wstring(m_nPort); }
    void Hold() { m_bHeld = true; }
    void Open() { m_bHeld = false; }
    std::vector<std::string> Asked() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_asked;
    }

private:
    void Serve() {
        for (;;) {
            const SOCKET s = ::accept(m_listen, nullptr, nullptr);
            if (s == INVALID_SOCKET || m_bStop) {
                ::closesocket(s);
                return;
            }
            std::string strRequest;
            char buf[4096];
            int n;
            while (strRequest.find("\r\n\r\n") == std::string::npos && (n = ::recv(s, buf, sizeof(buf), 0)) > 0)
                strRequest.append(buf, static_cast<size_t>(n));
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_asked.push_back(strRequest.substr(0, strRequest.find(" HTTP/")));
            }
            while (m_bHeld)
                ::Sleep(10);
            const std::string strAnswer = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                                          std::to_string(m_strBody.size()) + "\r\nConnection: close\r\n\r\n" +
                                          m_strBody;
            ::send(s, strAnswer.data(), static_cast<int>(strAnswer.size()), 0);
            ::shutdown(s, SD_SEND);
            ::closesocket(s);
        }
    }

    const std::string m_strBody;
    SOCKET m_listen = INVALID_SOCKET;
    int m_nPort = 0;
    std::atomic<bool> m_bHeld{false};
    std::atomic<bool> m_bStop{false};
    std::mutex m_mutex;
    std::vector<std::string> m_asked;
    std::thread m_thread;
};

const char kTwo[] =
    u8R"json([{"trackName":"灯塔","artistName":"夜航","albumName":"海边","duration":8,
    "plainLyrics":"灯塔"}, {"trackName":"灯塔 (Live)","artistName":"夜航","duration":9,
    "syncedLyrics":"[00:00.50]现场的灯塔\n[00:03.00]第二行"}])json";

// A band of its own playing 夜航 - 灯塔.wav, in a scratch folder of its own.
class LrcChoice : public testing::Test {
protected:
    void SetUp() override {
        ::CreateDirectoryA("Lrc", nullptr);
        ResetPlayerState();
        g_strSongPath = Widen(m_dir.File("夜航 - 灯塔.wav"));
        g_nSongLength = 8000;
        // Not playing: the band's own search at a song's start stays out of the way.
        g_bPlaying = false;
        m_band.Create(IDD_LRC, nullptr);
    }
    void TearDown() override { ::SetEnvironmentVariableA("SONELLO_LYRICS_URL", "http://127.0.0.1:9"); }
    CDlgLrcChoice& Open(const std::wstring& strUrl) {
        ::SetEnvironmentVariableW(L"SONELLO_LYRICS_URL", strUrl.c_str());
        m_band.ChooseLyrics();
        return *m_band.LyricsChoice();
    }
    // The worker's answer reaches the window as a message: waits until the window shows it.
    static bool Answered(CDlgLrcChoice& choice) {
        return PumpUntil(
            [&] {
                return choice.State() != LrcCandidatesState::Asking && choice.StatusText().Str().find(L"正在搜索") != 0;
            },
            15000);
    }

    ScratchDir m_dir;
    CurrentDirScope m_cwd{m_dir.Path()};
    CDlgLrc m_band;
};

}  // namespace

TEST_F(LrcChoice, EachAnswerOfTheServiceGivesItsRowsOrAClearMessage) {
    StandIn two(kTwo);
    StandIn none("[]");
    const struct {
        std::wstring strUrl;
        LrcCandidatesState state;
        int nRows;
        const wchar_t* pszStatus;
    } cases[] = {
        {two.Url(), LrcCandidatesState::Found, 2, L"找到 2 项"},
        {none.Url(), LrcCandidatesState::NoneFound, 0, L"没有找到歌词"},
        {L"http://127.0.0.1:9", LrcCandidatesState::Offline, 0, L"连不上歌词服务"},
    };
    for (const auto& c : cases) {
        CDlgLrcChoice& choice = Open(c.strUrl);
        ASSERT_TRUE(Answered(choice));
        EXPECT_EQ(c.state, choice.State());
        EXPECT_EQ(c.nRows, choice.RowCount());
        EXPECT_EQ(0u, choice.StatusText().Str().find(c.pszStatus)) << choice.StatusText().ToUtf8();
    }
    // With an artist and nothing found, the title alone is asked too.
    ASSERT_EQ(2u, none.Asked().size());
    EXPECT_EQ("GET /api/search?track_name=%E7%81%AF%E5%A1%94&artist_name=%E5%A4%9C%E8%88%AA", none.Asked()[0]);
    EXPECT_EQ("GET /api/search?track_name=%E7%81%AF%E5%A1%94", none.Asked()[1]);
    // Switched off in the window: nothing is asked, and the switch is the file the search honours.
    CDlgLrcChoice& choice = *m_band.LyricsChoice();
    ::CheckDlgButton(choice, IDC_LRC_CHOICE_SEARCH, BST_UNCHECKED);
    choice.OnSearchSwitch();
    EXPECT_FALSE(CLrcSearch::IsEnabled());
    EXPECT_EQ(0, choice.RowCount());
    EXPECT_EQ(0u, choice.StatusText().Str().find(L"联网搜索歌词已关闭")) << choice.StatusText().ToUtf8();
}

TEST_F(LrcChoice, TheWindowAnswersWhileTheServiceHoldsItsAnswer) {
    StandIn slow(kTwo);
    slow.Hold();
    CDlgLrcChoice& choice = Open(slow.Url());
    // Open returned with the question still out: nothing waits for the network on this thread.
    ASSERT_TRUE(PumpUntil([&] { return !slow.Asked().empty(); }, 10000));
    EXPECT_EQ(LrcCandidatesState::Asking, choice.State());
    EXPECT_EQ(CStringW(L"正在搜索……"), choice.StatusText());
    EXPECT_FALSE(choice.Choose(0)) << "nothing to choose yet";
    choice.OnCancel();
    EXPECT_FALSE(choice.IsWindowVisible());
    slow.Open();
    ASSERT_TRUE(Answered(choice));
    EXPECT_EQ(2, choice.RowCount());
}

TEST_F(LrcChoice, AChoiceBecomesTheLyricFileShownAtOnceAndTheOldFileIsKept) {
    WriteFileBytes("Lrc\\夜航 - 灯塔.lrc", "[00:01.00]old words\r\n");
    WriteFileBytes("Lrc\\夜航 - 灯塔.lrc.bak", "an older backup");
    StandIn two(kTwo);
    CDlgLrcChoice& choice = Open(two.Url());
    ASSERT_TRUE(Answered(choice));
    EXPECT_FALSE(choice.Choose(1)) << "plain text cannot follow the song";
    EXPECT_EQ("[00:01.00]old words\r\n", ReadFileBytes("Lrc\\夜航 - 灯塔.lrc"));
    ASSERT_TRUE(choice.Choose(0)) << "the timed one comes first: " << choice.StatusText().ToUtf8();
    EXPECT_EQ("[00:01.00]old words\r\n", ReadFileBytes("Lrc\\夜航 - 灯塔.lrc.bak1"));
    EXPECT_EQ("an older backup", ReadFileBytes("Lrc\\夜航 - 灯塔.lrc.bak"));
    EXPECT_EQ(u8"\uFEFF[ti:灯塔 (Live)]\r\n[ar:夜航]\r\n[al:]\r\n[00:00.50]现场的灯塔\r\n[00:03.00]第二行\r\n",
              ReadFileBytes("Lrc\\夜航 - 灯塔.lrc"));
    ASSERT_TRUE(PumpUntil(
        [&] { return m_band.Model().State().bLrcLoaded && g_lyc.GetCurrentLine(0.6) == L"现场的灯塔"; }, 3000));
}
