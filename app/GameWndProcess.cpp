#include "app/GameWndProcess.h"

#include <memory>

#include "app/GameWndDlg.h"
#include "framework/CWinApp.h"

namespace {
// The game window lives as long as the process.
std::unique_ptr<CGameWndDlg> g_pGameWndDlg;
}  // namespace

BOOL RunGameWindowProcess(CWinApp& app, HWND hFrameWnd, const CString& strGameUrl)
{
    auto pDlg = std::make_unique<CGameWndDlg>(hFrameWnd, strGameUrl);
    if (!pDlg->CreateInFrame())
        return FALSE;
    pDlg->ShowWindow(SW_SHOW);
    app.m_pMainWnd = pDlg.get();
    g_pGameWndDlg = std::move(pDlg);
    return TRUE;
}
