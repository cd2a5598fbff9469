// The client's windows and processes as a test sees them from outside.
#pragma once
#include "ClientProcess.h"
#include <windows.h>
#include <vector>

// The first window of a normal run: the start window, titled "《Vantor》微端".
HWND WaitForStartWindow(const ClientProcess& client, DWORD nTimeoutMs = 20000);
// The start window of any process that runs this file, as one client starts another.
HWND WaitForStartWindowOf(const CString& strExe, DWORD nTimeoutMs = 30000);
// The skinned message box: a visible 253 x 106 window (at 100 %) without a title, with OK and Cancel.
bool IsSkinnedMessageBox(HWND hWnd);
// The visible skinned message box of the process (by default this one), or null.
HWND FindMessageBox(DWORD dwProcessId = ::GetCurrentProcessId());
// The skinned message box of the process with this id; null when none came in the time.
HWND WaitForMessageBox(DWORD dwProcessId, DWORD nTimeoutMs = 10000);
inline HWND WaitForMessageBox(const ClientProcess& client, DWORD nTimeoutMs = 10000)
{
    return WaitForMessageBox(client.Id(), nTimeoutMs);
}
// Clicks a button of a dialog of another process the way the button reports a click (posted: the
// click may open a modal loop there).
void ClickDialogButton(HWND hDialog, int nID);
// Clicks a button of this thread (BM_CLICK): its parent has handled the click when this returns.
void ClickButton(HWND hButton);
// Waits for the skinned message box of the process and clicks its button nID; false when none came.
bool AnswerMessageBox(DWORD dwProcessId, int nID, DWORD nTimeoutMs = 10000);
// Sends the close command to a window of the client (its start or main window) and confirms the
// prompt; true when the process then ended with exit code 0.
bool CloseThroughPrompt(ClientProcess& client, HWND hWnd);
// Ids of the running processes whose executable file has this name (no folder).
std::vector<DWORD> ProcessesNamed(const wchar_t* pszExeName);
// Waits for the process to end; false when it did not within the time. Its exit code in *pExitCode.
bool WaitForProcessId(DWORD dwProcessId, DWORD nTimeoutMs, DWORD* pExitCode = nullptr);
// Ids of the running processes whose executable is exactly this file (Wine starts helpers of its
// own from the client, so the image decides, not the name); with dwParent, only its children.
std::vector<DWORD> ProcessesRunning(const CString& strExe, DWORD dwParent = 0);
// Ends every process running this file and waits for each to go, up to nWaitMs.
void EndProcessesRunning(const CString& strExe, DWORD nWaitMs = 5000);
