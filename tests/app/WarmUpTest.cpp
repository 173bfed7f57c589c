#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "app/CWarmUp.h"
#include "res/resource.h"
#include "support/TestSupport.h"

namespace {

INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

}  // namespace

// The font cache finds only an identical request: the warm-up must ask for exactly the font
// each window gets.
TEST(WarmUp, AsksForTheFontsTheDialogsAreDrawnWith) {
    for (UINT nID : {IDD_SONELLO_DIALOG, IDD_PLAYLIST, IDD_LRC}) {
        LOGFONTW expected;
        ASSERT_TRUE(CWarmUp::TemplateFont(nID, &expected)) << nID;
        const HWND hDlg =
            ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(nID), nullptr, PlainDialogProc, 0);
        ASSERT_NE(nullptr, hDlg) << nID;
        LOGFONTW actual = {};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageA(hDlg, WM_GETFONT, 0, 0)), sizeof(actual), &actual);
        ::DestroyWindow(hDlg);
        EXPECT_EQ(0, std::memcmp(&expected, &actual, offsetof(LOGFONTW, lfFaceName))) << nID;
        EXPECT_STREQ(expected.lfFaceName, actual.lfFaceName) << nID;
    }
}
