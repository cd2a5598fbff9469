#include "ClientWindows.h"
#include "framework/Dpi.h"
#include "Wait.h"
#include <tlhelp32.h>
#include <cwchar>

namespace {

HWND StartWindowOf(DWORD dwProcessId)
{
    for (HWND hwnd : TopLevelWindowsOf(dwProcessId, true)) {
        wchar_t text[64] = L"";
        GetWindowTextW(hwnd, text, 64);
        if (wcscmp(text, L"《Vantor》微端") == 0)
            return hwnd;
    }
    return nullptr;
}

// Ids of the running processes whose snapshot entry matches.
template <typename Match>
std::vector<DWORD> ProcessesWhere(Match match)
{
    std::vector<DWORD> ids;
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL ok = snapshot && Process32FirstW(snapshot.get(), &entry); ok; ok = Process32NextW(snapshot.get(), &entry)) {
        if (match(entry))
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}

}  // namespace

HWND WaitForStartWindow(const ClientProcess& client, DWORD nTimeoutMs)
{
    HWND hwnd = nullptr;
    WaitUntil([&] { return (hwnd = StartWindowOf(client.Id())) != nullptr; }, nTimeoutMs);
    return hwnd;
}

HWND WaitForStartWindowOf(const CString& strExe, DWORD nTimeoutMs)
{
    HWND hwnd = nullptr;
    WaitUntil([&] {
        for (DWORD dwProcessId : ProcessesRunning(strExe)) {
            if ((hwnd = StartWindowOf(dwProcessId)) != nullptr)
                return true;
        }
        return false;
    }, nTimeoutMs, 100);
    return hwnd;
}

bool IsSkinnedMessageBox(HWND hWnd)
{
    RECT rc{};
    GetWindowRect(hWnd, &rc);
    // 253 x 106 at 100 %, scaled with the DPI of the box's process, which another process cannot ask
    // (Wine answers with the asker's own): any scale that gives exactly this size will do.
    const int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    bool bSize = false;
    for (UINT nDpi = 48; nDpi <= 480 && !bSize; ++nDpi)
        bSize = cx == ScaleForDpi(253, nDpi) && cy == ScaleForDpi(106, nDpi);
    return IsWindowVisible(hWnd) && GetWindowTextLengthW(hWnd) == 0 && bSize && GetDlgItem(hWnd, IDOK) &&
           GetDlgItem(hWnd, IDCANCEL);
}

HWND FindMessageBox(DWORD dwProcessId)
{
    for (HWND hwnd : TopLevelWindowsOf(dwProcessId, true)) {
        if (IsSkinnedMessageBox(hwnd))
            return hwnd;
    }
    return nullptr;
}

HWND WaitForMessageBox(DWORD dwProcessId, DWORD nTimeoutMs)
{
    HWND hBox = nullptr;
    WaitUntil([&] { return (hBox = FindMessageBox(dwProcessId)) != nullptr; }, nTimeoutMs);
    return hBox;
}

void ClickDialogButton(HWND hDialog, int nID)
{
    PostMessageW(hDialog, WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(hDialog, nID)));
}

void ClickButton(HWND hButton)
{
    SendMessageW(hButton, BM_CLICK, 0, 0);
}

bool AnswerMessageBox(DWORD dwProcessId, int nID, DWORD nTimeoutMs)
{
    const HWND hBox = WaitForMessageBox(dwProcessId, nTimeoutMs);
    if (hBox)
        ClickDialogButton(hBox, nID);
    return hBox != nullptr;
}

bool CloseThroughPrompt(ClientProcess& client, HWND hWnd)
{
    PostMessageW(hWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    return AnswerMessageBox(client.Id(), IDOK) && client.WaitForExit() && client.ExitCode() == 0;
}

std::vector<DWORD> ProcessesNamed(const wchar_t* pszExeName)
{
    return ProcessesWhere([pszExeName](const PROCESSENTRY32W& e) { return _wcsicmp(e.szExeFile, pszExeName) == 0; });
}

bool WaitForProcessId(DWORD dwProcessId, DWORD nTimeoutMs, DWORD* pExitCode)
{
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcessId));
    if (!process)
        return true;  // gone already
    if (WaitForSingleObject(process.get(), nTimeoutMs) != WAIT_OBJECT_0)
        return false;
    if (pExitCode)
        GetExitCodeProcess(process.get(), pExitCode);
    return true;
}

std::vector<DWORD> ProcessesRunning(const CString& strExe, DWORD dwParent)
{
    return ProcessesWhere([&strExe, dwParent](const PROCESSENTRY32W& entry) {
        if (dwParent && (entry.th32ParentProcessID != dwParent || entry.th32ProcessID == dwParent))
            return false;
        UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        wchar_t szImage[MAX_PATH * 2] = L"";
        DWORD n = MAX_PATH * 2;
        return process && QueryFullProcessImageNameW(process.get(), 0, szImage, &n) &&
               CString(szImage).CompareNoCase(strExe) == 0;
    });
}

void EndProcessesRunning(const CString& strExe, DWORD nWaitMs)
{
    for (DWORD id : ProcessesRunning(strExe)) {
        UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
        if (process && TerminateProcess(process.get(), 99))
            WaitForSingleObject(process.get(), nWaitMs);
    }
}
