#include "MainWindowFixture.h"

namespace {

// Drives a running modal main window from a thread timer, as the user's keys would.
struct ModalScript {
    static ModalScript* s_pActive;
    std::vector<std::function<void(HWND)>> steps;
    size_t next = 0;
    std::vector<bool> alive;

    static HWND MainWindow() {
        HWND found = nullptr;
        ::EnumThreadWindows(
            ::GetCurrentThreadId(),
            [](HWND h, LPARAM l) -> BOOL {
                if (::GetDlgItem(h, IDC_PLAY) && ::IsWindowVisible(h)) {
                    *reinterpret_cast<HWND*>(l) = h;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        return found;
    }
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript* p = s_pActive;
        HWND h = MainWindow();
        p->alive.push_back(h != nullptr);
        if (h && p->next < p->steps.size())
            p->steps[p->next++](h);
    }
    INT_PTR Run() {
        s_pActive = this;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 300, OnTick);
        CSonelloDlg dlg;
        const INT_PTR result = dlg.DoModal();
        ::KillTimer(nullptr, timer);
        s_pActive = nullptr;
        return result;
    }
};
ModalScript* ModalScript::s_pActive = nullptr;

void PostKey(HWND hDlg, UINT vk) {
    // To the control with the focus, as the keyboard would.
    HWND target = ::GetFocus();
    if (!target || (target != hDlg && !::IsChild(hDlg, target)))
        target = hDlg;
    ::PostMessageA(target, WM_KEYDOWN, vk, 1);
    ::PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
}

class Shutdown : public ::testing::Test {
protected:
    ScratchDir m_dir;
    CurrentDirScope m_cwd{m_dir.Path()};
};

}  // namespace

TEST_F(Shutdown, EscapeAndEnterDoNotCloseThePlayerButCancelDoes) {
    ModalScript script;
    script.steps = {
        [](HWND h) { PostKey(h, VK_ESCAPE); },
        [](HWND h) { PostKey(h, VK_RETURN); },
        [](HWND h) { ::PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_CLOSE, BN_CLICKED), 0); },
    };
    EXPECT_EQ(IDCANCEL, script.Run());
    ASSERT_GE(script.alive.size(), 3u);
    EXPECT_TRUE(script.alive[1]) << "alive after Escape";
    EXPECT_TRUE(script.alive[2]) << "alive after Enter";
    EXPECT_EQ(nullptr, g_pPlayList);
    EXPECT_EQ(0u, CSound::m_wDeviceID);
}

using Teardown = MainWindow;

// The object goes while its window is open, as when a test or an owner drops it: the window's
// own cleanup must still run.
TEST_F(Teardown, DeletingALiveMainWindowRunsItsCleanup) {
    Click(IDC_MINIMIZE);
    const HWND hWnd = m_dlg->m_hWnd;
    ASSERT_TRUE(IconInTray(hWnd));
    const HWND hList = g_pPlayList->m_hWnd;
    const HWND hBand = g_pDlgLrc->m_hWnd;
    m_dlg.reset();
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_FALSE(::IsWindow(hList));
    EXPECT_FALSE(::IsWindow(hBand));
    EXPECT_EQ(nullptr, g_pPlayList);
    EXPECT_EQ(nullptr, g_pDlgLrc);
    EXPECT_FALSE(IconInTray(hWnd));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hWnd));
}

TEST_F(Shutdown, TheSystemMenusCloseEndsThePlayer) {
    ModalScript script;
    script.steps = {[](HWND h) { ::PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0); }};
    EXPECT_EQ(IDCANCEL, script.Run());
}
