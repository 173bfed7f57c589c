#include <windows.h>

#include "app/CSonelloApp.h"
#include "framework/CWinApp.h"

// The one application object; the framework's entry runs it.
CSonelloApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE /*hPrevInstance*/, LPSTR /*lpCmdLine*/, int /*nCmdShow*/) {
    return AfxWinMain(hInstance);
}
