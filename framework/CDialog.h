// A dialog from a template, modal with its own message loop or modeless. One dialog procedure
// serves every dialog: it keeps the object in GWLP_USERDATA and runs the object's message map.
// A dialog is an ANSI window, whose texts are GBK, or a Unicode one, whose controls keep text
// in every script (song paths); GBK texts reach a Unicode window unchanged through the A calls.
#pragma once

#include "framework/CDataExchange.h"
#include "framework/CWnd.h"

class CDialog : public CWnd {
public:
    enum class Chars { Ansi, Unicode };

    explicit CDialog(UINT nIDTemplate = 0, CWnd* pParentWnd = nullptr, Chars chars = Chars::Ansi)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd), m_chars(chars) {}
    ~CDialog() override;

    // Modeless: the window lives until the owner ends or DestroyWindow.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    // Modal: runs until EndDialog; PreTranslateMessage sees every message of the loop.
    INT_PTR DoModal();
    void EndDialog(int nResult);
    BOOL DestroyWindow();

    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* /*pDX*/) {}
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT DefWindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

    void OnOK() { EndDialog(IDOK); }
    void OnCancel() { EndDialog(IDCANCEL); }

    DECLARE_MESSAGE_MAP()

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
    const Chars m_chars;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam);

    bool m_bModal = false;
    INT_PTR m_nModalResult = -1;
    // The message that Default() hands back to the system's dialog procedure.
    const CurrentMsg* m_pDefaulting = nullptr;
};

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()
