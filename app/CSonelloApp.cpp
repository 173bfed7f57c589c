#include "app/CSonelloApp.h"

#include <commctrl.h>

#include "app/CSonelloDlg.h"
#include "app/CWarmUp.h"
#include "app/StartupTimes.h"

BOOL CSonelloApp::InitInstance() {
    StartupTimes::Note("InitInstance");
    RunMainWindow();
    // The warm-up's thread has ended by now: its steps are in too.
    StartupTimes::Write();
    // The dialog was the whole application: no message loop of our own.
    return FALSE;
}

void CSonelloApp::RunMainWindow() {
    // First of all: its loads overlap everything below.
    const CWarmUp warmUp;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    CWinApp::InitInstance();
    SetRegistryKey("应用程序向导生成的本地应用程序");

    CSonelloDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
}
