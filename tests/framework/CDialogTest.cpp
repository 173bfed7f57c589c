#include "framework/CDialog.h"

#include <gtest/gtest.h>

#include "framework/CStatic.h"
#include "res/resource.h"
#include "support/TestSupport.h"

namespace {

// The about box's template, with handlers that watch what the framework hands them.
class CProbeDlg : public CDialog {
public:
    explicit CProbeDlg(Chars chars = Chars::Ansi) : CDialog(IDD_ABOUTBOX, nullptr, chars) {}
    void DoDataExchange(CDataExchange* pDX) override {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDOK, m_btnOk);
    }
    LRESULT OnSetText(WPARAM /*wParam*/, LPARAM /*lParam*/) {
        m_strBefore = GetWindowText();
        const LRESULT r = Default();  // the system stores the text
        m_strAfter = GetWindowText();
        return r;
    }
    void OnTimer(UINT_PTR nIDEvent) {
        m_timers.push_back(nIDEvent);
        CDialog::OnTimer(nIDEvent);
    }
    void OnOK() { ++m_nOk; }

    CStatic m_btnOk;
    CString m_strBefore;
    CString m_strAfter;
    std::vector<UINT_PTR> m_timers;
    int m_nOk = 0;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CProbeDlg, CDialog)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_WM_TIMER()
    ON_COMMAND(IDOK, OnOK)
END_MESSAGE_MAP()

}  // namespace

TEST(DialogFramework, HandlersGetTypedArgumentsAndDefaultReachesTheSystem) {
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_ABOUTBOX));
    EXPECT_EQ(dlg.GetDlgItem(IDOK), dlg.m_btnOk.m_hWnd) << "bound by data exchange";
    EXPECT_EQ(&dlg, CWnd::FromHandlePermanent(dlg.m_hWnd));

    dlg.SetWindowText("新标题");
    EXPECT_EQ(CString("关于 Sonello"), dlg.m_strBefore);
    EXPECT_EQ(CString("新标题"), dlg.m_strAfter);

    dlg.SendMessage(WM_TIMER, 7);
    EXPECT_EQ(std::vector<UINT_PTR>({7}), dlg.m_timers);
}

TEST(DialogFramework, TheDerivedMapComesBeforeTheBaseMap) {
    CProbeDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_ABOUTBOX));
    dlg.ShowWindow(SW_SHOW);
    dlg.SendMessage(WM_COMMAND, IDOK);
    EXPECT_EQ(1, dlg.m_nOk);
    EXPECT_TRUE(dlg.IsWindowVisible()) << "the base's OnOK did not run";
    dlg.SendMessage(WM_COMMAND, IDCANCEL);
    EXPECT_FALSE(dlg.IsWindowVisible()) << "a modeless dialog's cancel hides it";
}

TEST(DialogFramework, TheModalLoopEndsWithEndDialogOrWhenTheWindowIsDestroyed) {
    static int s_nStep = 0;
    s_nStep = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        HWND h = ::FindWindowA("#32770", "关于 Sonello");
        if (!h)
            return;
        if (s_nStep++ == 0)
            ::PostMessageA(h, WM_COMMAND, IDCANCEL, 0);
        else
            ::DestroyWindow(h);
    });
    CDialog modal(IDD_ABOUTBOX);
    EXPECT_EQ(IDCANCEL, modal.DoModal());
    EXPECT_EQ(nullptr, modal.m_hWnd);
    CDialog destroyed(IDD_ABOUTBOX);
    EXPECT_EQ(-1, destroyed.DoModal());
    ::KillTimer(nullptr, timer);
}

// Song paths in any script: a Unicode dialog's handlers, its default processing and its
// controls keep every character, while GBK texts still arrive through the A calls.
TEST(DialogFramework, AUnicodeDialogKeepsTextInEveryScript) {
    CProbeDlg dlg(CDialog::Chars::Unicode);
    ASSERT_TRUE(dlg.Create(IDD_ABOUTBOX));
    EXPECT_TRUE(::IsWindowUnicode(dlg.m_hWnd));
    EXPECT_TRUE(::IsWindowUnicode(dlg.GetDlgItem(IDOK)));
    const CStringW kTitle = L"한국어 ไทย 😀 Ærø";
    dlg.SetWindowText(kTitle);  // through OnSetText and Default
    CStringW strTitle;
    dlg.GetWindowText(strTitle);
    EXPECT_TRUE(kTitle == strTitle);
    dlg.SetWindowText("新标题");
    EXPECT_EQ(CString("新标题"), dlg.m_strAfter);
}

TEST(DialogFramework, TheModalLoopHandsTypedCharactersToAUnicodeWindowWhole) {
    static CDialog* s_pModal = nullptr;
    static CStringW s_strTyped;
    static int s_nStep = 0;
    s_nStep = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR, DWORD) {
        const HWND hEdit = s_pModal->GetDlgItem(IDC_LISTNAME);
        if (s_nStep++ == 0) {
            ::PostMessageW(hEdit, WM_CHAR, 0xB178, 1);  // a Korean syllable, as TranslateMessage posts it
        } else {
            CWnd(hEdit).GetWindowText(s_strTyped);
            s_pModal->PostMessage(WM_COMMAND, IDCANCEL);
        }
    });
    CDialog modal(IDD_PLAYLIST, nullptr, CDialog::Chars::Unicode);
    s_pModal = &modal;
    EXPECT_EQ(IDCANCEL, modal.DoModal());
    ::KillTimer(nullptr, timer);
    EXPECT_TRUE(CStringW(L"\xB178") == s_strTyped);
}
