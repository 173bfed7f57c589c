// The yardstick for start-up: the main window's template shown by the same framework,
// built the same way, with nothing of the player's own initialisation.
#include <windows.h>

#include "framework/CDialog.h"
#include "framework/CWinApp.h"
#include "res/resource.h"

namespace {

class CBareApp : public CWinApp {
public:
    BOOL InitInstance() override {
        CDialog dlg(IDD_SONELLO_DIALOG);
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
        return FALSE;
    }
};

CBareApp theApp;

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    return AfxWinMain(hInstance);
}
