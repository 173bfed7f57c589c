#pragma once

#include "framework/CWinApp.h"

class CSonelloApp : public CWinApp {
public:
    CSonelloApp() = default;
    BOOL InitInstance() override;

private:
    // The main window as a modal dialog, with the warm-up running beside its start.
    void RunMainWindow();
};
