// The main window's ways to the lyric band: the unlock from its system menu, from the
// notification-area menu and from the hot key, and the band's menu doing what the Ctrl keys do.
#include "MainWindowFixture.h"

#include "app/PlayerKeys.h"
#include "lyrics/CLrcSwitch.h"

TEST_F(MainWindow, TheBandIsUnlockedFromTheSystemMenuTheTrayMenuAndTheHotKey) {
    CDlgLrc& band = *g_pDlgLrc;
    const struct {
        const char* pszRoute;
        UINT nMsg;
        WPARAM wParam;
    } kRoutes[] = {
        {"system menu", WM_SYSCOMMAND, IDM_BAND_UNLOCK},
        {"notification-area menu", WM_COMMAND, IDM_BAND_UNLOCK},
        {"hot key", WM_HOTKEY, HOTKEY_BAND_LOCK},
    };
    for (const auto& route : kRoutes) {
        band.SetLocked(true);
        m_dlg->SendMessage(route.nMsg, route.wParam, MAKELPARAM(BAND_LOCK_MODIFIERS, BAND_LOCK_KEY));
        EXPECT_FALSE(band.IsLocked()) << route.pszRoute;
        EXPECT_FALSE(band.GetExStyle() & WS_EX_TRANSPARENT) << route.pszRoute;
    }
    // The hot key locks again; the menus only ever unlock.
    m_dlg->SendMessage(WM_HOTKEY, HOTKEY_BAND_LOCK, MAKELPARAM(BAND_LOCK_MODIFIERS, BAND_LOCK_KEY));
    EXPECT_TRUE(band.IsLocked());
    m_dlg->SendMessage(WM_COMMAND, IDM_BAND_UNLOCK, 0);
    m_dlg->SendMessage(WM_COMMAND, IDM_BAND_UNLOCK, 0);
    EXPECT_FALSE(band.IsLocked());
}

TEST_F(MainWindow, TheBandsMenuShowsAndHidesAsTheLrcButtonAndSwitchesTranslationsAsCtrlT) {
    const bool bTranslations = g_pDlgLrc->ShowsTranslations();
    g_pDlgLrc->RunBandCommand(ID_BAND_TRANSLATION);
    EXPECT_NE(bTranslations, g_pDlgLrc->ShowsTranslations());
    EXPECT_EQ(g_pDlgLrc->ShowsTranslations(), CLrcSwitch("Lrc\\不显示翻译").IsOn());

    Click(IDC_SHOWLRC);
    EXPECT_TRUE(g_bLrcShown && g_pDlgLrc->IsWindowVisible());
    g_pDlgLrc->RunBandCommand(ID_BAND_CLOSE);
    EXPECT_FALSE(g_bLrcShown || g_pDlgLrc->IsWindowVisible());
    Click(IDC_SHOWLRC);
    EXPECT_TRUE(g_bLrcShown && g_pDlgLrc->IsWindowVisible()) << "one press shows it again";
}
