// The yardstick for start-up: the main window's template shown by the same framework,
// built the same way, with nothing of the player's own initialisation.
#include <windows.h>

#include "app/StartupTimes.h"
#include "framework/CDialog.h"
#include "framework/CWinApp.h"
#include "res/resource.h"

namespace {

// Notes the same milestones as the player, for the benchmark's comparison.
class CBareDlg : public CDialog {
public:
    CBareDlg() : CDialog(IDD_SONELLO_DIALOG) {}
    BOOL OnInitDialog() override {
        StartupTimes::Note("dialog created");
        CDialog::OnInitDialog();
        StartupTimes::Note("initialised");
        return TRUE;
    }
};

class CBareApp : public CWinApp {
public:
    BOOL InitInstance() override {
        StartupTimes::Note("InitInstance");
        CBareDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
        StartupTimes::Write();
        return FALSE;
    }
};

CBareApp theApp;

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    return AfxWinMain(hInstance);
}
