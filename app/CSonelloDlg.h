#pragma once

#include "framework/CDialog.h"
#include "res/resource.h"

class CSonelloDlg : public CDialog {
public:
    CSonelloDlg() : CDialog(IDD_SONELLO_DIALOG, nullptr) {}
};
