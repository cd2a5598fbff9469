// The application object: one per process, reached through AfxGetApp(). The process entry hands
// control to it: InitInstance, then the message loop when it returns TRUE, then ExitInstance, whose
// result is the exit code.
#pragma once
#include "CWnd.h"

class CWinApp
{
public:
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

    // Profile values under HKEY_CURRENT_USER\Software\<key>\<application name>\<section>.
    void SetRegistryKey(LPCWSTR lpszRegistryKey);
    CString GetProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszDefault = nullptr);
    bool WriteProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszValue);
    CString GetAppRegistryKeyPath() const;

    CWnd* m_pMainWnd = nullptr;
    HINSTANCE m_hInstance = nullptr;
    CString m_strAppName;       // the exe's file name without extension unless given
    CString m_strRegistryKey;
    int m_nCmdShow = SW_SHOWNORMAL;
    WPARAM m_nQuitCode = 0;     // wParam of the WM_QUIT that ended Run

    // Process entry, called from wWinMain.
    static int AfxWinMain(HINSTANCE hInstance, int nCmdShow);
};

CWinApp* AfxGetApp();
// Full path of the running executable, however long; "" on failure.
CString AfxGetModuleFileName();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
