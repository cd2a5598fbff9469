#include "CDialog.h"
#include "CWinApp.h"

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (!rControl.m_hWnd)
        rControl.SubclassDlgItem(static_cast<UINT>(nIDC), pDX->m_pDlgWnd);
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    // Destroy while this object is still a CDialog, so the last messages see its handlers.
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        ::DestroyWindow(m_hWnd);
}

INT_PTR CALLBACK CDialog::DlgProc(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    CWnd* self = FromHandlePermanent(hwnd);
    if (!self) {
        // The dialog's first message: bind it to the object that is creating it and route its
        // window procedure through the object; this procedure then only answers WM_INITDIALOG.
        self = SetInitTarget(nullptr);
        if (!self)
            return FALSE;
        self->BindAndSubclass(hwnd);
    }
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* dlg = static_cast<CDialog*>(self);
    try {
        return dlg->OnInitDialog();
    } catch (...) {
        return FALSE;
    }
}

bool CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    if (m_hWnd)
        return false;
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    CWnd* prev = SetInitTarget(this);
    HWND hwnd = ::CreateDialogParamW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDTemplate),
                                     pParentWnd ? pParentWnd->m_hWnd : nullptr, &CDialog::DlgProc, 0);
    SetInitTarget(prev);
    return hwnd != nullptr && m_hWnd == hwnd;
}

INT_PTR CDialog::DoModal()
{
    HWND hOwner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    bool bOwnerDisabled = hOwner && ::IsWindowEnabled(hOwner);
    if (bOwnerDisabled)
        ::EnableWindow(hOwner, FALSE);

    m_bEndModal = false;
    m_nModalResult = -1;
    m_bModalLoop = true;
    if (Create(m_nIDTemplate, m_pParentWnd))
        RunModalLoop();
    m_bModalLoop = false;

    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (bOwnerDisabled) {
        // Re-enable before destroying, so activation returns to the owner.
        ::EnableWindow(hOwner, TRUE);
        if (m_hWnd && ::GetActiveWindow() == m_hWnd)
            ::SetActiveWindow(hOwner);
    }
    DestroyWindow();
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    // A template without WS_VISIBLE is shown once the queue is first empty, unless initialisation
    // already showed (or ended) the dialog.
    bool bShowOnIdle = m_hWnd && !(GetStyle() & WS_VISIBLE);
    MSG msg;
    while (!m_bEndModal && m_hWnd) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (bShowOnIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                bShowOnIdle = false;
                continue;
            }
            CWnd::DeleteTempMap();
            ::WaitMessage();
            continue;
        }
        if (!::GetMessageW(&msg, nullptr, 0, 0)) {
            // The outer loops must see the quit message too.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            break;
        }
        if (!CWnd::WalkPreTranslateTree(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_bModalLoop) {
        m_bEndModal = true;
        // Wake the loop if it is waiting.
        if (m_hWnd)
            ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, nResult);
    }
}

bool CDialog::UpdateData(bool bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (...) {
        return false;
    }
    return true;
}

bool CDialog::PreTranslateMessage(MSG* pMsg)
{
    // Keyboard navigation (Tab, Enter, Escape) of the dialog.
    if ((pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
        (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST))
        return ::IsDialogMessageW(m_hWnd, pMsg) != FALSE;
    return false;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(true))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}
