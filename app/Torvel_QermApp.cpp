#include "app/Torvel_QermApp.h"
#include "app/CommandLine.h"
#include "app/GameWndProcess.h"
#include "app/Paths.h"
#include "app/Uninstall.h"
#include "app/update/UpdateHandOver.h"
#include "app/UpdateStep.h"
#include "mainwnd/Torvel_QermDlg.h"
#include "res/resource.h"
#include <commctrl.h>
#include <gdiplus.h>

BOOL CTorvel_QermApp::InitInstance()
{
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);
    CWinApp::InitInstance();
    m_pOleInit = std::make_unique<OleInitScope>();
    SetRegistryKey(LoadResString(IDS_PLATFORM_CODE) + LoadResString(IDS_GAME_CODE));
    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplusInput, nullptr);

    const CString strCmdLine = GetCommandLineW();
    switch (ClassifyCommandLine(strCmdLine)) {
    case ProcessRole::UpdateStep:
        // "-d" alone, a failed step and an exception all continue as a normal run.
        if (strCmdLine.GetLength() > 2) {
            bool bUpdated = false;
            try {
                bUpdated = RunUpdateStep(SwitchArgument(strCmdLine));
            } catch (...) {
                bUpdated = false;
            }
            if (bUpdated)
                ExitProcess(0);
        }
        break;
    case ProcessRole::UninstallPrompt:
        RunUninstallPrompt();
        return FALSE;
    case ProcessRole::Uninstall:
        RunUninstall(SwitchArgument(strCmdLine));
        return FALSE;
    case ProcessRole::Other:
        break;
    }

    GameWindowSwitches switches = ParseGameWindowSwitches(strCmdLine);
    if (switches.hFrameWnd) {
        // A handle that names no window would leave a process without any window to end it.
        if (!IsWindow(switches.hFrameWnd))
            return FALSE;
        return RunGameWindowProcess(*this, switches.hFrameWnd, switches.strGameUrl);
    }

    // A newer version downloaded at an earlier start takes over before any window shows.
    if (HandOverDownloadedUpdate())
        return FALSE;

    CTorvel_QermDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

int CTorvel_QermApp::ExitInstance()
{
    if (m_gdiplusToken) {
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
        m_gdiplusToken = 0;
    }
    m_pOleInit.reset();
    return CWinApp::ExitInstance();
}
