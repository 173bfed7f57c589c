#pragma once

#include "framework/CWinApp.h"

class CSonelloApp : public CWinApp {
public:
    CSonelloApp() = default;
    BOOL InitInstance() override;
};
