#include "framework/CDialog.h"

#include "framework/CWinApp.h"

namespace {

// The dialog whose window CreateDialogParam is making; messages before WM_INITDIALOG find it here.
CDialog* g_pDialogInCreation = nullptr;

// Messages whose result a dialog procedure returns itself instead of in DWLP_MSGRESULT.
bool ReturnsDirectly(UINT nMsg) {
    return (nMsg >= WM_CTLCOLORMSGBOX && nMsg <= WM_CTLCOLORSTATIC) || nMsg == WM_INITDIALOG ||
           nMsg == WM_COMPAREITEM || nMsg == WM_VKEYTOITEM || nMsg == WM_CHARTOITEM || nMsg == WM_QUERYDRAGICON;
}

}  // namespace

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd == nullptr)
        rControl.Attach(pDX->m_pDlgWnd->GetDlgItem(nIDC));
}

CDialog::~CDialog() {
    // The derived parts are gone: no message of the window's end may reach them. A class whose
    // cleanup matters destroys its window in its own destructor.
    if (m_hWnd && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 0);
        ::DestroyWindow(Detach());
    }
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    if (pParentWnd)
        m_pParentWnd = pParentWnd;
    CWnd* pOwner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    if (pOwner == this)
        pOwner = nullptr;
    CDialog* pOuter = g_pDialogInCreation;
    g_pDialogInCreation = this;
    const HINSTANCE hInstance = ::GetModuleHandleA(nullptr);
    const HWND hOwner = pOwner ? pOwner->m_hWnd : nullptr;
    const LPARAM lParam = reinterpret_cast<LPARAM>(this);
    // One dialog procedure for both: the system hands it each message in the window's own form.
    HWND h = m_chars == Chars::Unicode
                 ? ::CreateDialogParamW(hInstance, MAKEINTRESOURCEW(nIDTemplate), hOwner, DialogProc, lParam)
                 : ::CreateDialogParamA(hInstance, MAKEINTRESOURCEA(nIDTemplate), hOwner, DialogProc, lParam);
    g_pDialogInCreation = pOuter;
    return h != nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    m_bModal = true;
    m_nModalResult = -1;
    if (!Create(m_nIDTemplate, m_pParentWnd)) {
        m_bModal = false;
        return -1;
    }
    if (hOwner)
        ::EnableWindow(hOwner, FALSE);
    if (!IsWindowVisible())
        ShowWindow(SW_SHOW);

    MSG msg;
    bool bQuit = false;
    // A window destroyed from elsewhere ends the loop too. Messages are taken in UTF-16, so that
    // a character typed into a Unicode window arrives whole; ANSI windows get them converted.
    while (m_nModalResult == -1 && ::IsWindow(m_hWnd)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            bQuit = got == 0;
            break;
        }
        if (!WalkPreTranslateTree(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    if (hOwner)
        ::EnableWindow(hOwner, TRUE);
    DestroyWindow();
    m_bModal = false;
    if (bQuit)
        ::PostQuitMessage(static_cast<int>(msg.wParam));
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    if (m_bModal) {
        m_nModalResult = nResult;
        PostMessage(WM_NULL);  // wakes the loop
    } else {
        ShowWindow(SW_HIDE);
    }
}

BOOL CDialog::DestroyWindow() {
    return m_hWnd ? ::DestroyWindow(m_hWnd) : FALSE;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return ::IsDialogMessageW(m_hWnd, pMsg);  // the loops take messages in UTF-16
    return FALSE;
}

LRESULT CDialog::DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) {
    // DefDlgProc asks our dialog procedure first; it answers FALSE for this one message.
    const CurrentMsg msg = {nMsg, wParam, lParam};
    const CurrentMsg* pOuter = m_pDefaulting;
    m_pDefaulting = &msg;
    // In the window's own form: the other would convert the message and miss the mark above.
    const LRESULT r = ::IsWindowUnicode(m_hWnd) ? ::DefDlgProcW(m_hWnd, nMsg, wParam, lParam)
                                                : ::DefDlgProcA(m_hWnd, nMsg, wParam, lParam);
    m_pDefaulting = pOuter;
    return r;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    auto* pDlg = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (!pDlg) {
        pDlg = nMsg == WM_INITDIALOG ? reinterpret_cast<CDialog*>(lParam) : g_pDialogInCreation;
        if (!pDlg)
            return FALSE;
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pDlg));
        pDlg->Attach(hWnd);
    }
    if (pDlg->m_pDefaulting && pDlg->m_pDefaulting->nMsg == nMsg && pDlg->m_pDefaulting->wParam == wParam &&
        pDlg->m_pDefaulting->lParam == lParam) {
        pDlg->m_pDefaulting = nullptr;
        return FALSE;
    }
    if (nMsg == WM_INITDIALOG)
        return pDlg->OnInitDialog();

    LRESULT result = 0;
    const bool bHandled = pDlg->OnWndMsg(nMsg, wParam, lParam, &result);
    if (nMsg == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        pDlg->Detach();
        return FALSE;
    }
    if (!bHandled)
        return FALSE;
    if (ReturnsDirectly(nMsg))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
