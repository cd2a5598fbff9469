#include "MainWndDriver.h"

#include "framework/Handles.h"
#include "support/ClientWindows.h"
#include "support/FilesAndKeys.h"
#include "support/Wait.h"
#include "res/resource.h"

#include <cwchar>
#include <vector>

const wchar_t kClientTitle[] = L"《Vantor》微端";
const wchar_t kUnreachableGameUrl[] = L"http://127.0.0.1:9/game/start?play_gamecode=e2e";

bool IsMainWindow(HWND hWnd)
{
    wchar_t text[64] = L"";
    ::GetWindowTextW(hWnd, text, 64);
    return std::wcscmp(text, kClientTitle) == 0 && ::GetDlgItem(hWnd, 1001) && ::GetDlgItem(hWnd, 1030);
}

HWND WaitForMainWindow(DWORD dwProcessId, DWORD nTimeoutMs)
{
    HWND hFound = nullptr;
    WaitUntil([&] {
        for (HWND hWnd : TopLevelWindowsOf(dwProcessId, true))
            hFound = IsMainWindow(hWnd) ? hWnd : hFound;
        return hFound != nullptr;
    }, nTimeoutMs);
    return hFound;
}

CPatchedClient::CPatchedClient(const CString& strLoginUrl)
{
    m_strFolder = TempPath(L"TorvelMainWndE2E" + std::to_wstring(::GetCurrentProcessId()));
    m_strExe = CopyExecutableTo(ClientExePath(), m_strFolder);
    if (m_strExe.IsEmpty())
        return;
    CResourcePatch patch(m_strExe);
    patch.SetString(IDS_LOGIN_URL, strLoginUrl);
    m_bReady = patch.Commit();
}

CPatchedClient::~CPatchedClient()
{
    // A client of this copy still running after a failed test would hold the test runner's output
    // open (Wine passes a process's standard handles on to the processes it starts).
    EndProcessesRunning(m_strExe);
    // The copy may stay locked for a moment after its last process ended.
    for (int i = 0; i < 50 && !m_strExe.IsEmpty() && !::DeleteFileW(m_strExe) &&
                    ::GetFileAttributesW(m_strExe) != INVALID_FILE_ATTRIBUTES;
         ++i)
        ::Sleep(100);
    ::RemoveDirectoryW(m_strFolder);
}

bool CPatchedClient::Start(ClientProcess& client) const
{
    return m_bReady && client.Start(m_strExe, L"\"" + m_strExe + L"\"");
}
