// The application object: one per process, run by AfxWinMain.
#pragma once

#include "framework/CWnd.h"

class CWinApp {
public:
    explicit CWinApp(const char* pszAppName = nullptr);
    virtual ~CWinApp();
    virtual BOOL InitInstance() { return TRUE; }
    // The message loop of an application that returns TRUE from InitInstance.
    virtual int Run();
    // Nothing is stored under the key; it is kept for whoever asks.
    void SetRegistryKey(const char* pszKey) { m_strRegistryKey = pszKey; }
    HICON LoadIcon(UINT nIDResource) const;

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    CString m_strAppName;
    CString m_strRegistryKey;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
int AfxWinMain(HINSTANCE hInstance);
