// Dialogs from templates. DoModal runs its own loop so that every message first walks
// PreTranslateMessage from its window up to the dialog, and nested modal dialogs work even from
// inside OnInitDialog of a dialog that is not visible yet.
#pragma once
#include "CWnd.h"

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, bool bSaveAndValidate) : m_pDlgWnd(pDlgWnd), m_bSaveAndValidate(bSaveAndValidate) {}
    CWnd* m_pDlgWnd;
    bool m_bSaveAndValidate;
};

// Binds a control of the dialog to an object (once), so its messages reach that object.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    virtual INT_PTR DoModal();
    // Modeless creation.
    virtual bool Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    void EndDialog(int nResult);
    bool UpdateData(bool bSaveAndValidate = true);
    bool PreTranslateMessage(MSG* pMsg) override;
    bool IsModalLoopRunning() const { return m_bModalLoop; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

protected:
    virtual void DoDataExchange(CDataExchange*) {}

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void RunModalLoop();

    bool m_bModalLoop = false;
    bool m_bEndModal = false;
    INT_PTR m_nModalResult = -1;
};
