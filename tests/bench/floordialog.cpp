// The floor for start-up: the main window's template shown by the same framework, whose
// initialisation does only the platform work the player cannot do without: the mixer's wave-out
// line, a small XML file through the DOM, a hidden modeless dialog, a layered topmost window
// shown and hidden. Nothing of the player's own.
#include <windows.h>
#include <mmsystem.h>
#include <msxml2.h>

#include "app/StartupTimes.h"
#include "framework/CDialog.h"
#include "framework/CWinApp.h"
#include "framework/Holders.h"
#include "res/resource.h"

namespace {

const CLSID kClsidDomDocument = {0x2933BF90, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};
const IID kIidXmlDomDocument = {0x2933BF81, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

// A dialog of the usual kind: TRUE from WM_INITDIALOG lets the dialog manager give the first
// control the focus.
INT_PTR CALLBACK PlainDialogProc(HWND, UINT nMsg, WPARAM, LPARAM) {
    return nMsg == WM_INITDIALOG;
}

void OpenWaveOutLine() {
    CMixerHandle hMixer;
    if (::mixerOpen(&hMixer, 0, 0, 0, 0) != MMSYSERR_NOERROR)
        return;
    MIXERLINEA line = {};
    line.cbStruct = sizeof(line);
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_SRC_WAVEOUT;
    ::mixerGetLineInfoA(reinterpret_cast<HMIXEROBJ>(hMixer.Get()), &line, MIXER_GETLINEINFOF_COMPONENTTYPE);
}

// The song-list file the bench's first, unmeasured player run wrote.
void LoadXmlFile() {
    const CComInit com;
    CComPtr<IXMLDOMDocument> pDoc;
    if (FAILED(::CoCreateInstance(kClsidDomDocument, nullptr, CLSCTX_ALL, kIidXmlDomDocument,
                                  reinterpret_cast<void**>(&pDoc))))
        return;
    pDoc->put_async(VARIANT_FALSE);
    CVariant source;
    VARIANT* pSource = &source;
    pSource->vt = VT_BSTR;
    pSource->bstrVal = ::SysAllocString(L"MySongList.xml");
    VARIANT_BOOL bOk = VARIANT_FALSE;
    pDoc->load(source.Get(), &bOk);
}

class CFloorDlg : public CDialog {
public:
    CFloorDlg() : CDialog(IDD_SONELLO_DIALOG) {}
    ~CFloorDlg() override {
        if (m_hBand)
            ::DestroyWindow(m_hBand);
        if (m_hList)
            ::DestroyWindow(m_hList);
    }

    BOOL OnInitDialog() override {
        StartupTimes::Note("dialog created");
        CDialog::OnInitDialog();
        OpenWaveOutLine();
        LoadXmlFile();
        const HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
        m_hList = ::CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_PLAYLIST), m_hWnd, PlainDialogProc, 0);
        m_hBand = ::CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_LRC), m_hWnd, PlainDialogProc, 0);
        if (m_hBand) {
            ::SetWindowLongA(m_hBand, GWL_EXSTYLE, ::GetWindowLongA(m_hBand, GWL_EXSTYLE) | WS_EX_LAYERED);
            ::SetLayeredWindowAttributes(m_hBand, RGB(255, 255, 255), 0, LWA_COLORKEY);
            ::SetWindowPos(m_hBand, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
            ::ShowWindow(m_hBand, SW_HIDE);
        }
        StartupTimes::Note("initialised");
        return TRUE;
    }

private:
    HWND m_hList = nullptr;
    HWND m_hBand = nullptr;
};

class CFloorApp : public CWinApp {
public:
    BOOL InitInstance() override {
        StartupTimes::Note("InitInstance");
        CFloorDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
        StartupTimes::Write();
        return FALSE;
    }
};

CFloorApp theApp;

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    return AfxWinMain(hInstance);
}
