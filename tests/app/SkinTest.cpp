#include <vector>

#include "MainWindowFixture.h"
#include "app/PlayingDecorations.h"
#include "framework/CBitmap.h"
#include "framework/CRgn.h"
#include "framework/Holders.h"

using Skin = MainWindow;

namespace {

// The picture's pixels in one block, as top-down 32-bit BGRA.
std::vector<DWORD> PictureBits(UINT nID, int* pnWidth, int* pnHeight) {
    CBitmap picture;
    picture.LoadBitmap(nID);
    BITMAP bm = {};
    picture.GetBitmap(&bm);
    std::vector<DWORD> bits(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    BITMAPINFO bmi = {};
    bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB};
    CClientDC screen(nullptr);
    ::GetDIBits(screen, picture, 0, bm.bmHeight, bits.data(), &bmi, DIB_RGB_COLORS);
    *pnWidth = bm.bmWidth;
    *pnHeight = bm.bmHeight;
    return bits;
}

// What the screen shows in a client rectangle of the window.
std::vector<COLORREF> Screen(HWND hWnd, const RECT& rc) {
    ::RedrawWindow(hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpMessages(50);
    POINT origin = {rc.left, rc.top};
    ::ClientToScreen(hWnd, &origin);
    CClientDC screen(nullptr);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < rc.bottom - rc.top; ++y)
        for (int x = 0; x < rc.right - rc.left; ++x)
            pixels.push_back(::GetPixel(screen, origin.x + x, origin.y + y));
    return pixels;
}

bool Contains(const std::vector<COLORREF>& pixels, COLORREF cr) {
    for (COLORREF p : pixels)
        if (p == cr)
            return true;
    return false;
}

}  // namespace

// The region is read in one block; it must equal the one that one GetPixel per pixel builds.
TEST_F(Skin, TheWindowIsTheNonRedPartOfThePicture) {
    CBitmap picture;
    picture.LoadBitmap(IDB_BACKGROUND);
    CRect client;
    ::GetClientRect(m_dlg->m_hWnd, &client);
    const int w = std::min(461, static_cast<int>(client.Width()));
    const int h = std::min(239, static_cast<int>(client.Height()));
    CRgn expected;
    expected.CreateRectRgn(0, 0, 0, 0);
    int nKept = 0;
    {
        CClientDC screen(nullptr);
        CDC mem;
        mem.CreateCompatibleDC(screen);
        const CSelectScope selected(mem, picture);
        const auto keep = [&](int left, int right, int y) {
            CRgn run;
            run.CreateRectRgn(left, y, right, y + 1);
            expected.CombineRgn(expected, run, RGN_OR);
            ++nKept;
        };
        for (int y = 0; y < h; ++y) {
            int start = 0;
            for (int x = 0; x < w; ++x) {
                if (::GetPixel(mem, x, y) != RGB(255, 0, 0))
                    continue;
                if (start != x)
                    keep(start, x, y);
                start = x + 1;
            }
            if (start != w)
                keep(start, w, y);
        }
    }

    CRgn actual;
    actual.CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, ::GetWindowRgn(m_dlg->m_hWnd, actual));
    EXPECT_TRUE(::EqualRgn(expected, actual));
    EXPECT_GT(nKept, 239) << "rows with more than one run: the picture has holes";
    EXPECT_FALSE(::PtInRegion(actual, 0, 0)) << "the top-left corner is cut out";
    EXPECT_TRUE(::PtInRegion(actual, 108, 180)) << "the left speaker is kept";
    EXPECT_FALSE(::PtInRegion(actual, 470, 100)) << "nothing beyond the picture";
}

TEST_F(Skin, TheTransportButtonsShowTheirDisabledPictures) {
    int w = 0;
    int h = 0;
    const std::vector<DWORD> disabled = PictureBits(IDB_PLAY_DISABLED, &w, &h);
    const std::vector<COLORREF> shown = Screen(m_dlg->m_hWnd, CRect(203, 211, 237, 224));
    ASSERT_EQ(static_cast<size_t>(34 * 13), shown.size());
    int nSame = 0;
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 34; ++x) {
            const DWORD bgra = disabled[static_cast<size_t>(y) * w + x];
            nSame +=
                shown[static_cast<size_t>(y) * 34 + x] == RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
        }
    EXPECT_EQ(34 * 13, nSame);
}

TEST_F(Skin, LabelsDrawGreyAndWhiteTextOnThePicture) {
    const std::vector<COLORREF> status = Screen(m_dlg->m_hWnd, CRect(279, 130, 339, 142));
    EXPECT_TRUE(Contains(status, RGB(100, 100, 100)));
    const std::vector<COLORREF> time = Screen(m_dlg->m_hWnd, CRect(320, 89, 380, 101));
    EXPECT_TRUE(Contains(time, RGB(255, 255, 255)));
    EXPECT_FALSE(Contains(time, ::GetSysColor(COLOR_BTNFACE))) << "no label background";
}

TEST_F(Skin, TheSystemMenuEndsWithTheAboutItem) {
    HMENU hMenu = ::GetSystemMenu(m_dlg->m_hWnd, FALSE);
    ASSERT_NE(nullptr, hMenu);
    const int n = ::GetMenuItemCount(hMenu);
    ASSERT_GE(n, 2);
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), ::GetMenuItemID(hMenu, n - 1));
    char text[64] = {};
    ::GetMenuStringA(hMenu, n - 1, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ("关于 Sonello(&A)...", text);
    EXPECT_TRUE(::GetMenuState(hMenu, n - 2, MF_BYPOSITION) & MF_SEPARATOR);
}

TEST_F(Skin, ElevenControlsHaveTooltips) {
    EXPECT_EQ(11, m_dlg->m_toolTip.GetToolCount());
    TTTOOLINFOA ti = {};
    char text[80] = {};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = m_dlg->m_hWnd;
    ti.uId = reinterpret_cast<UINT_PTR>(m_dlg->GetDlgItem(IDC_SHOWLIST));
    ti.lpszText = text;
    m_dlg->m_toolTip.SendMessage(TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&ti));
    EXPECT_STREQ("显示歌曲列表", text);
}

TEST_F(Skin, TheListButtonShowsTheSongListAtTheNextTick) {
    Click(IDC_SHOWLIST);
    EXPECT_FALSE(g_pPlayList->IsWindowVisible()) << "shown by the timer, not by the click";
    Tick(TIMER_BARS);
    EXPECT_TRUE(g_pPlayList->IsWindowVisible());
    g_pPlayList->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CLOSELIST, BN_CLICKED),
                             reinterpret_cast<LPARAM>(g_pPlayList->GetDlgItem(IDC_CLOSELIST)));
    EXPECT_FALSE(g_pPlayList->IsWindowVisible());
    EXPECT_FALSE(g_bShowList);
    Tick(TIMER_SECOND);
    EXPECT_FALSE(g_pPlayList->IsWindowVisible());
}

TEST_F(Skin, TheLrcButtonShowsAndHidesTheBand) {
    EXPECT_FALSE(g_pDlgLrc->IsWindowVisible());
    Click(IDC_SHOWLRC);
    EXPECT_TRUE(g_pDlgLrc->IsWindowVisible());
    EXPECT_TRUE(g_bLrcShown);
    Click(IDC_SHOWLRC);
    EXPECT_FALSE(g_pDlgLrc->IsWindowVisible());
    EXPECT_FALSE(g_bLrcShown);
}

TEST_F(Skin, MinimisingToTheTrayHidesBothWindowsAndAClickBringsBackOne) {
    Click(IDC_SHOWLIST);
    Tick(TIMER_BARS);
    Click(IDC_SHOWLRC);
    ASSERT_TRUE(g_pPlayList->IsWindowVisible());
    Click(IDC_MINIMIZE);
    EXPECT_TRUE(IconInTray(m_dlg->m_hWnd));
    EXPECT_FALSE(m_dlg->IsWindowVisible());
    EXPECT_FALSE(g_pPlayList->IsWindowVisible());
    EXPECT_FALSE(g_bShowList);
    EXPECT_TRUE(g_pDlgLrc->IsWindowVisible()) << "the band stays on screen";
    Tick(TIMER_BARS);
    EXPECT_FALSE(g_pPlayList->IsWindowVisible());

    m_dlg->SendMessage(WM_TRAYNOTIFY, IDR_MAINFRAME, WM_LBUTTONDOWN);
    EXPECT_TRUE(m_dlg->IsWindowVisible());
    EXPECT_FALSE(IconInTray(m_dlg->m_hWnd));
    EXPECT_FALSE(g_pPlayList->IsWindowVisible());
}

TEST_F(Skin, DestroyingTheWindowLeavesNoIconBehind) {
    Click(IDC_MINIMIZE);
    const HWND hWnd = m_dlg->m_hWnd;
    ASSERT_TRUE(IconInTray(hWnd));
    m_dlg->DestroyWindow();
    EXPECT_FALSE(IconInTray(hWnd));
    EXPECT_EQ(nullptr, g_pPlayList);
    EXPECT_EQ(nullptr, g_pDlgLrc);
}

TEST_F(Skin, TheDotsTurnOnlyWhilePlaying) {
    std::vector<int> phases;
    for (int i = 0; i < 3; ++i) {
        Tick(TIMER_DOTS);
        phases.push_back(m_dlg->m_nDotPhase);
    }
    EXPECT_EQ(std::vector<int>({0, 0, 0}), phases) << "no song, no dots";
    StartSong(Wav("song.wav", 4000));
    phases.clear();
    for (int i = 0; i < 5; ++i) {
        Tick(TIMER_DOTS);
        phases.push_back(m_dlg->m_nDotPhase);
    }
    EXPECT_EQ(std::vector<int>({1, 2, 3, 0, 1}), phases);
    Tick(TIMER_DOTS);
    Click(IDC_PAUSE);
    Tick(TIMER_DOTS);
    Tick(TIMER_DOTS);
    EXPECT_EQ(2, m_dlg->m_nDotPhase);
    Click(IDC_PLAY);
    Tick(TIMER_DOTS);
    EXPECT_EQ(3, m_dlg->m_nDotPhase);
}

TEST_F(Skin, TheBarsDrawTheirValuesOverThePicture) {
    const CRect box(172, 152, 337, 192);
    double values[BAR_COUNT];
    MakeBarValues(42u, values);
    m_dlg->DrawSpectrum(values);
    const std::vector<COLORREF> first = Screen(m_dlg->m_hWnd, box);
    // Screen() repaints the window first; draw again after it, then read without repainting.
    auto Draw = [&](const double* v) {
        m_dlg->DrawSpectrum(v);
        ::GdiFlush();
        PumpMessages(30);
        POINT origin = {box.left, box.top};
        ::ClientToScreen(m_dlg->m_hWnd, &origin);
        CClientDC screen(nullptr);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < box.Height(); ++y)
            for (int x = 0; x < box.Width(); ++x)
                pixels.push_back(::GetPixel(screen, origin.x + x, origin.y + y));
        return pixels;
    };
    const std::vector<COLORREF> a = Draw(values);
    const std::vector<COLORREF> b = Draw(values);
    EXPECT_EQ(a, b);
    EXPECT_NE(first, a) << "the bars replace the picture's box";
    // Bar 0 with value 40 reaches the top of the 40-pixel box; bar 1 with 0 draws nothing.
    double tall[BAR_COUNT] = {};
    tall[0] = 40;
    const std::vector<COLORREF> c = Draw(tall);
    EXPECT_EQ(RGB(0, 245, 245), c[0]);
    EXPECT_EQ(RGB(0, 245, 245), c[static_cast<size_t>(39) * box.Width()]);
    EXPECT_NE(RGB(0, 245, 245), c[1]);
}

namespace {

// Reads and closes the first modal box with this caption that a thread timer finds.
struct BoxCloser {
    static const char* s_pszCaption;
    static std::vector<std::string> s_texts;  // the texts of the box's controls
    static std::string Find(const char* pszPart) {
        for (const std::string& t : s_texts)
            if (t.find(pszPart) != std::string::npos)
                return t;
        return std::string();
    }
    static bool s_bFound;
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
        HWND h = ::FindWindowA("#32770", s_pszCaption);
        if (!h || s_bFound)
            return;
        s_bFound = true;
        ::EnumChildWindows(
            h,
            [](HWND child, LPARAM) -> BOOL {
                char text[512] = {};
                ::GetWindowTextA(child, text, sizeof(text));
                s_texts.push_back(text);
                return TRUE;
            },
            0);
        ::PostMessageA(h, WM_COMMAND, IDOK, 0);
    }
    explicit BoxCloser(const char* pszCaption) {
        s_pszCaption = pszCaption;
        s_texts.clear();
        s_bFound = false;
        m_timer = ::SetTimer(nullptr, 0, 200, OnTick);
    }
    ~BoxCloser() { ::KillTimer(nullptr, m_timer); }
    UINT_PTR m_timer;
};
const char* BoxCloser::s_pszCaption = nullptr;
std::vector<std::string> BoxCloser::s_texts;
bool BoxCloser::s_bFound = false;

}  // namespace

TEST_F(Skin, TheSystemMenusAboutItemOpensTheAboutBox) {
    BoxCloser closer("关于 Sonello");
    m_dlg->SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    EXPECT_TRUE(BoxCloser::s_bFound);
    EXPECT_EQ("Sonello 1.0 版", BoxCloser::Find("Sonello"));
    EXPECT_EQ("确定", BoxCloser::Find("确定"));
}

TEST_F(Skin, TheAboutButtonThanksTheUserInSevenLines) {
    BoxCloser closer("关于本播放器");
    Click(IDC_ABOUT);
    ASSERT_TRUE(BoxCloser::s_bFound);
    const std::string text = BoxCloser::Find("谢谢使用");
    EXPECT_EQ(0u, text.find("谢谢使用！\n由于作者水平有限")) << text;
    size_t nLines = 1;
    for (char c : text)
        nLines += c == '\n';
    EXPECT_EQ(7u, nLines);
}

namespace {

// What the tray menu offered, and the commands that reached the main window.
struct TrayMenuWatch {
    static std::string s_item;
    static std::vector<WPARAM> s_commands;
    static HWND s_hMain;
    static void CALLBACK Choose(HWND, UINT, UINT_PTR, DWORD) {
        HWND hMenuWnd = ::FindWindowA("#32768", nullptr);
        if (!hMenuWnd || !::IsWindowVisible(hMenuWnd))
            return;
        HMENU hMenu = reinterpret_cast<HMENU>(::SendMessageA(hMenuWnd, MN_GETHMENU, 0, 0));
        char text[64] = {};
        ::GetMenuStringA(hMenu, 0, text, sizeof(text), MF_BYPOSITION);
        s_item = text;
        ::PostMessageA(hMenuWnd, WM_KEYDOWN, VK_DOWN, 1);
        ::PostMessageA(hMenuWnd, WM_KEYDOWN, VK_RETURN, 1);
    }
    static LRESULT CALLBACK OnGetMessage(int nCode, WPARAM wParam, LPARAM lParam) {
        const MSG* pMsg = reinterpret_cast<const MSG*>(lParam);
        if (nCode == HC_ACTION && pMsg->hwnd == s_hMain && pMsg->message == WM_COMMAND)
            s_commands.push_back(pMsg->wParam);
        return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    }
};
std::string TrayMenuWatch::s_item;
std::vector<WPARAM> TrayMenuWatch::s_commands;
HWND TrayMenuWatch::s_hMain = nullptr;

}  // namespace

TEST_F(Skin, TheTrayIconsMenuOffersCloseWhichCancelsThePlayer) {
    Click(IDC_MINIMIZE);
    ASSERT_TRUE(IconInTray(m_dlg->m_hWnd));
    TrayMenuWatch::s_hMain = m_dlg->m_hWnd;
    CHookHandle hook(::SetWindowsHookExA(WH_GETMESSAGE, TrayMenuWatch::OnGetMessage, nullptr, ::GetCurrentThreadId()));
    const UINT_PTR chooser = ::SetTimer(nullptr, 0, 100, TrayMenuWatch::Choose);
    m_dlg->SendMessage(WM_TRAYNOTIFY, IDR_MAINFRAME, WM_RBUTTONDOWN);
    ::KillTimer(nullptr, chooser);
    PumpUntil([] { return !TrayMenuWatch::s_commands.empty(); }, 2000);
    hook.Reset();
    EXPECT_EQ("关闭", TrayMenuWatch::s_item);
    ASSERT_EQ(1u, TrayMenuWatch::s_commands.size());
    EXPECT_EQ(static_cast<WPARAM>(IDCANCEL), LOWORD(TrayMenuWatch::s_commands[0]));
}
