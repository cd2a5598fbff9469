#include "MainWndDriver.h"

#include "framework/Handles.h"
#include "res/resource.h"

#include <tlhelp32.h>

#include <cwchar>
#include <vector>

const wchar_t kClientTitle[] = L"《Vantor》微端";

namespace {
struct Search
{
    DWORD dwProcessId;
    bool (*pfnMatch)(HWND);
    HWND hFound;
};

BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM lParam)
{
    auto* s = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if ((s->dwProcessId == 0 || pid == s->dwProcessId) && ::IsWindowVisible(hWnd) && s->pfnMatch(hWnd)) {
        s->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}

HWND WaitFor(DWORD dwProcessId, bool (*pfnMatch)(HWND), DWORD nTimeoutMs)
{
    for (DWORD waited = 0;; waited += 50) {
        Search s{dwProcessId, pfnMatch, nullptr};
        ::EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&s));
        if (s.hFound || waited >= nTimeoutMs)
            return s.hFound;
        ::Sleep(50);
    }
}

bool IsMessageBox(HWND hWnd)
{
    RECT rc{};
    ::GetWindowRect(hWnd, &rc);
    return ::GetWindowTextLengthW(hWnd) == 0 && rc.right - rc.left == 253 && rc.bottom - rc.top == 106 &&
           ::GetDlgItem(hWnd, IDOK) && ::GetDlgItem(hWnd, IDCANCEL);
}
}  // namespace

bool IsMainWindow(HWND hWnd)
{
    wchar_t text[64] = L"";
    ::GetWindowTextW(hWnd, text, 64);
    return std::wcscmp(text, kClientTitle) == 0 && ::GetDlgItem(hWnd, 1001) && ::GetDlgItem(hWnd, 1030);
}

HWND WaitForMainWindow(DWORD dwProcessId, DWORD nTimeoutMs)
{
    return WaitFor(dwProcessId, &IsMainWindow, nTimeoutMs);
}

HWND WaitForMessageBox(DWORD dwProcessId, DWORD nTimeoutMs)
{
    return WaitFor(dwProcessId, &IsMessageBox, nTimeoutMs);
}

void AnswerMessageBox(HWND hBox, int nId)
{
    ::PostMessageW(hBox, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(hBox, nId)));
}

bool CloseThroughPrompt(ClientProcess& client, HWND hMain)
{
    ::PostMessageW(hMain, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND hBox = WaitForMessageBox(client.Id());
    if (!hBox)
        return false;
    AnswerMessageBox(hBox, IDOK);
    return client.WaitForExit() && client.ExitCode() == 0;
}

CPatchedClient::CPatchedClient(const CString& strLoginUrl)
{
    wchar_t temp[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, temp);
    m_strFolder.Format(L"%sTorvelMainWndE2E%lu", temp, ::GetCurrentProcessId());
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
    UniqueHandle hSnapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof pe;
    for (BOOL more = ::Process32FirstW(hSnapshot.get(), &pe); more; more = ::Process32NextW(hSnapshot.get(), &pe)) {
        UniqueHandle hProcess(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pe.th32ProcessID));
        wchar_t image[MAX_PATH * 2] = L"";
        DWORD n = MAX_PATH * 2;
        if (hProcess && ::QueryFullProcessImageNameW(hProcess.get(), 0, image, &n) &&
            m_strExe.CompareNoCase(image) == 0) {
            ::TerminateProcess(hProcess.get(), 99);
            ::WaitForSingleObject(hProcess.get(), 5000);
        }
    }
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
