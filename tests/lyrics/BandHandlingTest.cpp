// The band in the user's hands: its menu's commands, the lock under a real click, the drag,
// and its place and choices across restarts, each run in a scratch folder with its own
// Sonello.ini. The band's owner is a bare window that notes the lyric keys it is sent.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "lyrics/BandPlace.h"
#include "lyrics/CDlgLrc.h"
#include "res/resource.h"
#include "state/CSettings.h"
#include "state/PlayerState.h"
#include "support/TestSupport.h"

namespace {

std::vector<UINT> s_arrKeys;  // WM_LRC_KEY as the owner got them
int s_nClicks = 0;            // presses the window beneath the band got

LRESULT CALLBACK NotingProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    if (nMsg == WM_LRC_KEY)
        s_arrKeys.push_back(static_cast<UINT>(wParam));
    if (nMsg == WM_LBUTTONDOWN)
        ++s_nClicks;
    return ::DefWindowProcW(hWnd, nMsg, wParam, lParam);
}

HWND MakeWindow(DWORD dwStyle, const RECT& rc) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = NotingProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BandTestWindow";
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    ::RegisterClassW(&wc);
    return ::CreateWindowExW(0, wc.lpszClassName, L"", dwStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                             nullptr, nullptr, wc.hInstance, nullptr);
}

void SendMouse(DWORD dwFlags, POINT pt = {}) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = dwFlags;
    if (dwFlags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = MulDiv(pt.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(pt.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    ASSERT_EQ(1u, ::SendInput(1, &input, sizeof(input)));
}

class BandInHand : public testing::Test {
protected:
    void SetUp() override {
        s_arrKeys.clear();
        s_nClicks = 0;
        ResetPlayerState();
        // Songs without lyrics are not looked for on the network here.
        ::CreateDirectoryA("Lrc", nullptr);
        WriteFileBytes("Lrc\\不联网", "");
        m_hOwner = MakeWindow(WS_POPUP, {0, 0, 10, 10});
        m_owner = std::make_unique<CWnd>(m_hOwner);
        Start();
    }
    void TearDown() override {
        m_pBand.reset();
        m_owner.reset();
        ::DestroyWindow(m_hOwner);
        g_pfnMonitorWorkAreas = EnumMonitorWorkAreas;
        ResetPlayerState();
    }
    // As the main window starts it: hidden, then shown if it was shown at the last end.
    void Start() {
        m_pBand = std::make_unique<CDlgLrc>(m_owner.get());
        ASSERT_TRUE(m_pBand->Create(IDD_LRC, nullptr));
        m_pBand->ShowWindow(SW_HIDE);
        g_bLrcShown = false;
        m_pBand->ShowAsLeft();
    }
    void Restart() {
        m_pBand.reset();
        Start();
    }
    CDlgLrc& Band() { return *m_pBand; }
    RECT Place() const {
        RECT rc;
        m_pBand->GetWindowRect(&rc);
        return rc;
    }
    bool Visible() const { return m_pBand->IsWindowVisible() != FALSE; }
    void Tick() { m_pBand->SendMessage(WM_TIMER, 1); }
    // A point of the band with ink: the message it shows while no song plays.
    POINT InkPoint() const {
        const BandSurface& s = m_pBand->Pixels();
        const RECT rc = Place();
        for (int y = 0; y < s.nHeight; ++y)
            for (int x = s.nWidth / 2; x < s.nWidth; ++x)
                if ((s.At(x, y) >> 24) == 0xFF)
                    return {rc.left + x, rc.top + y};
        ADD_FAILURE() << "the band shows nothing";
        return {rc.left + s.nWidth / 2, rc.top + s.nHeight / 2};
    }

    ScratchDir m_dir;
    CurrentDirScope m_cwd{m_dir.Path()};
    HWND m_hOwner = nullptr;
    std::unique_ptr<CWnd> m_owner;
    std::unique_ptr<CDlgLrc> m_pBand;
};

}  // namespace

TEST_F(BandInHand, EachMenuCommandChangesTheBandAndWhatIsKeptSurvivesARestart) {
    Band().SetShown(true);
    Tick();
    const int nHeight = Place().bottom - Place().top;
    // Shown and wanted, is the band hidden at a tick under these conditions?
    const auto hiddenAtTick = [this](bool bPlaying) {
        g_bPlaying = bPlaying;
        g_bLrcShown = true;
        Band().ShowWindow(SW_SHOWNA);
        Tick();
        return !Visible();
    };
    const auto sentKey = [](UINT nKey) { return [nKey] { return !s_arrKeys.empty() && s_arrKeys.back() == nKey; }; };
    const struct {
        UINT nID;
        std::function<bool()> changed;
        bool bKept;
    } kCommands[] = {
        {ID_BAND_CLOSE, [&] { return !Visible() && !g_bLrcShown && !Band().BandSettings().Shown(); }, true},
        {ID_BAND_SIZE_FIRST + 5,
         [&] { return Band().Model().Style().nPointSize == 44 && Place().bottom - Place().top > nHeight; }, true},
        {ID_BAND_SCHEME_FIRST + 3,
         [&] {
             const BandStyle& style = Band().Model().Style();
             return style.crText == RGB(255, 225, 0) && style.crFill == RGB(0, 200, 80);
         },
         true},
        {ID_BAND_OUTLINE, [&] { return !Band().Model().Style().bOutline; }, true},
        {ID_BAND_SHADOW, [&] { return Band().Model().Style().bShadow; }, true},
        {ID_BAND_LOCK, [&] { return Band().IsLocked() && (Band().GetExStyle() & WS_EX_TRANSPARENT); }, true},
        {ID_BAND_HIDE_PAUSED, [&] { return hiddenAtTick(false); }, true},
        {ID_BAND_HIDE_NO_LYRICS, [&] { return hiddenAtTick(true); }, true},
        {ID_BAND_TRANSLATION, sentKey('T'), false},
        {ID_BAND_EARLIER, sentKey(VK_UP), false},
        {ID_BAND_LATER, sentKey(VK_DOWN), false},
        {ID_BAND_RESET_SHIFT, sentKey('0'), false},
        {ID_BAND_RESEARCH, sentKey('L'), false},
    };
    for (const auto& command : kCommands) {
        EXPECT_FALSE(command.changed()) << command.nID << " before";
        Band().RunBandCommand(command.nID);
        EXPECT_TRUE(command.changed()) << command.nID;
    }
    Restart();
    for (const auto& command : kCommands)
        if (command.bKept)
            EXPECT_TRUE(command.changed()) << command.nID << " after a restart";
}

TEST_F(BandInHand, ALockedBandPassesARealClickToTheWindowBeneath) {
    Band().SetShown(true);
    Tick();
    const RECT rcBand = Place();
    const HWND hBeneath = MakeWindow(WS_POPUP | WS_VISIBLE, rcBand);
    ::SetWindowPos(Band(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    const POINT pt = InkPoint();
    for (const bool bLocked : {true, false}) {
        Band().SetLocked(bLocked);
        s_nClicks = 0;
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, pt);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        SendMouse(MOUSEEVENTF_LEFTUP);
        PumpUntil([] { return s_nClicks > 0; }, bLocked ? 3000 : 500);
        EXPECT_EQ(bLocked ? 1 : 0, s_nClicks) << (bLocked ? "locked" : "unlocked");
    }
    // Unlocked, the mouse over the band shows a strip right beneath it; locked, none.
    Tick();
    const HWND hStrip = ::FindWindowW(L"SonelloBandBackdrop", nullptr);
    EXPECT_TRUE(hStrip && ::IsWindowVisible(hStrip));
    EXPECT_EQ(hStrip, ::GetWindow(Band(), GW_HWNDNEXT));
    Band().SetLocked(true);
    Tick();
    EXPECT_FALSE(::IsWindowVisible(hStrip));
    ::DestroyWindow(hBeneath);
}

TEST_F(BandInHand, ADragMovesTheBandAndThePlaceComesBackAfterARestart) {
    Band().SetShown(true);
    Tick();
    const RECT rcStart = Place();
    // Up by 300; down past the screen's foot, where dropped it comes back onto the screen; up by 200.
    const struct {
        int dy;
        LONG nExpectedTop;
    } kDrags[] = {{-300, rcStart.top - 300}, {+360, rcStart.top}, {-200, rcStart.top - 200}};
    for (const auto& drag : kDrags) {
        Tick();
        const POINT pt = InkPoint();
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, pt);
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        PumpMessages(50);
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, {pt.x, pt.y + drag.dy / 2});
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, {pt.x, pt.y + drag.dy});
        PumpMessages(50);
        SendMouse(MOUSEEVENTF_LEFTUP);
        EXPECT_TRUE(PumpUntil([&] { return ::GetCapture() == nullptr; }, 3000));
        EXPECT_EQ(drag.nExpectedTop, Place().top) << drag.dy;
        EXPECT_EQ(rcStart.left, Place().left) << drag.dy;
    }
    Restart();
    EXPECT_TRUE(Visible());
    EXPECT_EQ(rcStart.top - 200, Place().top);
    EXPECT_EQ(rcStart.left, Place().left);
}

// Xvfb gives Wine one monitor: a second one stands in through the enumeration's seam.
TEST_F(BandInHand, AKeptPlaceOffEveryMonitorComesBackOnScreen) {
    static RECT s_rcPrimary;
    s_rcPrimary = EnumMonitorWorkAreas().front();
    const RECT rcSecond = {s_rcPrimary.right, 0, s_rcPrimary.right + 1600, 900};
    static std::vector<RECT> s_arrWork;
    s_arrWork = {s_rcPrimary, rcSecond};
    g_pfnMonitorWorkAreas = [] { return s_arrWork; };
    const int nWidth = Place().right - Place().left;
    g_settings.SetInt(L"band", L"left", rcSecond.left + 100);
    g_settings.SetInt(L"band", L"top", 300);
    Restart();
    EXPECT_EQ(rcSecond.left + 100, Place().left) << "wholly on the second monitor: where it was left";
    EXPECT_EQ(300, Place().top);
    EXPECT_EQ(nWidth, Place().right - Place().left);

    s_arrWork = {s_rcPrimary};  // the second monitor is unplugged
    Band().SendMessage(WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 800));
    EXPECT_EQ(s_rcPrimary.left, Place().left);
    EXPECT_EQ(300, Place().top);

    g_settings.SetInt(L"band", L"left", -50000);
    g_settings.SetInt(L"band", L"top", 90000);
    Restart();
    const RECT rc = Place();
    EXPECT_TRUE(CoveredByWorkAreas(rc, s_arrWork)) << rc.left << ", " << rc.top;
    EXPECT_EQ(s_rcPrimary.bottom, rc.bottom);
}

TEST_F(BandInHand, AMalformedSettingsFileGivesTheBandAsItHasAlwaysBeen) {
    const RECT rcDesign = Place();
    WriteFileBytes("Sonello.ini",
                   "[band]\r\nscheme=9\r\noutline=maybe\r\nshadow=\r\nlocked=yes\r\nleft=12px\r\ntop=300\r\n"
                   "hide_paused=2\r\nshown=-1\r\nsize=30\r\n\x01\x02\xFF garbage [band\r\n=\r\n");
    Restart();
    const BandStyle a, &b = Band().Model().Style();
    EXPECT_EQ(std::tie(a.crText, a.crFill, a.crOutline, a.nPointSize, a.bOutline, a.bShadow),
              std::tie(b.crText, b.crFill, b.crOutline, b.nPointSize, b.bOutline, b.bShadow));
    EXPECT_FALSE(Band().IsLocked());
    EXPECT_FALSE(Band().GetExStyle() & WS_EX_TRANSPARENT);
    EXPECT_FALSE(Visible());
    const RECT rc = Place();
    EXPECT_TRUE(::EqualRect(&rcDesign, &rc)) << "a place with no left stands at the design's";
    g_bLrcShown = true;
    Band().ShowWindow(SW_SHOWNA);
    Tick();
    EXPECT_TRUE(Visible()) << "not hidden while nothing plays";
}

TEST_F(BandInHand, ARightClickOpensTheMenuInChineseWithTheBandsChoicesTicked) {
    Band().SetShown(true);
    Tick();
    static std::vector<std::string> s_arrItems;
    static UINT s_nOutlineState;
    s_arrItems.clear();
    s_nOutlineState = 0;
    // Read while the menu's own loop runs, then closed.
    const UINT_PTR nTimer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        const HWND hMenuWnd = ::FindWindowW(L"#32768", nullptr);
        if (!hMenuWnd || !::IsWindowVisible(hMenuWnd) || !s_arrItems.empty())
            return;
        const HMENU hMenu = reinterpret_cast<HMENU>(::SendMessageW(hMenuWnd, MN_GETHMENU, 0, 0));
        for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
            char szText[64] = {};
            if (::GetMenuStringA(hMenu, i, szText, sizeof(szText), MF_BYPOSITION) > 0)
                s_arrItems.push_back(szText);
        }
        s_nOutlineState = ::GetMenuState(hMenu, ID_BAND_OUTLINE, MF_BYCOMMAND);
        ::EndMenu();
    });
    const POINT pt = InkPoint();
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, pt);
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(PumpUntil([] { return !s_arrItems.empty(); }, 5000));
    ::KillTimer(nullptr, nTimer);
    const std::vector<std::string> kExpected = {"锁定歌词",
                                                "字体",
                                                "配色",
                                                "描边",
                                                "阴影",
                                                "显示翻译\tCtrl+T",
                                                "歌词提前 0.5 秒\tCtrl+↑",
                                                "歌词延后 0.5 秒\tCtrl+↓",
                                                "还原\tCtrl+0",
                                                "重新搜索歌词\tCtrl+L",
                                                "暂停时隐藏",
                                                "没有歌词时隐藏",
                                                "关闭歌词"};
    EXPECT_EQ(kExpected, s_arrItems);
    EXPECT_TRUE(s_nOutlineState & MF_CHECKED) << "the outline is on from the start";
}
