// Starting the real client from a test and finding its windows.
#pragma once
#include "framework/CString.h"
#include "framework/Handles.h"
#include <vector>

// Folder of the running test program, with a trailing backslash; the client exe lies there too.
CString TestBinDir();
CString ClientExePath();
// The top-level windows of the process with this id.
std::vector<HWND> TopLevelWindowsOf(DWORD dwProcessId, bool bVisibleOnly);

class ClientProcess
{
public:
    // Starts strApplication with exactly strCommandLine (no program path is added).
    bool Start(const CString& strApplication, const CString& strCommandLine);
    // Starts strExe with its path as the command line, its Wine diagnostic channels set to
    // pszChannels (as WINEDEBUG takes them) and what Wine writes on them appended to the file
    // strLog. Wine writes them only to the Unix standard error, which a Windows program cannot
    // hand to a child, so a Unix shell starts the process; this object then owns the process.
    bool StartWithWineDiagnostics(const CString& strExe, const char* pszChannels, const CString& strLog);
    // Waits for a visible top-level window of this process with the given title.
    HWND WaitForWindow(const wchar_t* title, DWORD timeoutMs = 15000) const;
    std::vector<HWND> TopLevelWindows(bool bVisibleOnly) const;
    // Waits for the process to end; false on timeout. The exit code is then in ExitCode().
    bool WaitForExit(DWORD timeoutMs = 15000);
    DWORD ExitCode() const { return m_dwExitCode; }
    DWORD Id() const { return m_dwProcessId; }
    void Kill();
    ~ClientProcess() { Kill(); }

private:
    UniqueHandle m_hProcess;
    DWORD m_dwProcessId = 0;
    DWORD m_dwExitCode = STILL_ACTIVE;
};
