#include "ClientProcess.h"

#include <string>

#include "ClientWindows.h"
#include "Wait.h"

CString TestBinDir()
{
    wchar_t path[MAX_PATH * 4] = L"";
    GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
    CString s(path);
    return s.Left(s.ReverseFind(L'\\') + 1);
}

CString ClientExePath()
{
    return TestBinDir() + L"Torvel_Qerm.exe";
}

namespace {
// The child gets NUL for its standard handles: a child holding the test runner's output pipe would
// keep the runner waiting after the test has ended.
bool CreateWithNulHandles(const wchar_t* pszApplication, CString strCommandLine, PROCESS_INFORMATION& pi)
{
    SECURITY_ATTRIBUTES sa{};
    sa.nLength = sizeof sa;
    sa.bInheritHandle = TRUE;
    UniqueFile nul(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                               OPEN_EXISTING, 0, nullptr));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul.get();
    return CreateProcessW(pszApplication, strCommandLine.GetBuffer(strCommandLine.GetLength()), nullptr, nullptr,
                          TRUE, 0, nullptr, nullptr, &si, &pi) != FALSE;
}

// Wine's name of a Windows path on the Unix side, as UTF-16; empty outside Wine.
CString UnixPathOf(const CString& strPath)
{
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* pszUnix = toUnix ? toUnix(strPath) : nullptr;
    if (!pszUnix)
        return CString();
    const CString strUnix = CString::FromUtf8(pszUnix);
    HeapFree(GetProcessHeap(), 0, pszUnix);
    return strUnix;
}
}  // namespace

bool ClientProcess::Start(const CString& strApplication, const CString& strCommandLine)
{
    PROCESS_INFORMATION pi{};
    if (!CreateWithNulHandles(strApplication, strCommandLine, pi))
        return false;
    m_hProcess.reset(pi.hProcess);
    CloseHandle(pi.hThread);
    m_dwProcessId = pi.dwProcessId;
    m_dwExitCode = STILL_ACTIVE;
    return true;
}

bool ClientProcess::StartWithWineDiagnostics(const CString& strExe, const char* pszChannels, const CString& strLog)
{
    wchar_t szLoader[MAX_PATH] = L"";
    const CString strUnixLog = UnixPathOf(strLog);
    if (!GetEnvironmentVariableW(L"WINELOADER", szLoader, MAX_PATH) || strUnixLog.IsEmpty())
        return false;
    // The Windows path stays the program's command line, as when the player starts it. The shell
    // becomes the program: Wine knows no more of it than that it started.
    PROCESS_INFORMATION pi{};
    if (!CreateWithNulHandles(nullptr, CString(L"Z:\\bin\\sh -c \"exec 2>>'") + strUnixLog + L"'; WINEDEBUG=" +
                                           CString::FromUtf8(pszChannels) + L" exec '" + szLoader + L"' '" + strExe +
                                           L"'\"", pi))
        return false;
    const UniqueHandle shellProcess(pi.hProcess), shellThread(pi.hThread);
    std::vector<DWORD> ids;
    if (!WaitUntil([&] { return !(ids = ProcessesRunning(strExe)).empty(); }, 15000, 100))
        return false;
    m_hProcess.reset(
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, ids.front()));
    m_dwProcessId = ids.front();
    m_dwExitCode = STILL_ACTIVE;
    return bool(m_hProcess);
}

namespace {
struct Collect
{
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND>* out;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lp)
{
    auto* c = reinterpret_cast<Collect*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == c->pid && (!c->visibleOnly || IsWindowVisible(hwnd)))
        c->out->push_back(hwnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD dwProcessId, bool bVisibleOnly)
{
    std::vector<HWND> windows;
    Collect c{dwProcessId, bVisibleOnly, &windows};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&c));
    return windows;
}

std::vector<HWND> ClientProcess::TopLevelWindows(bool bVisibleOnly) const
{
    return TopLevelWindowsOf(m_dwProcessId, bVisibleOnly);
}

HWND ClientProcess::WaitForWindow(const wchar_t* title, DWORD timeoutMs) const
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        for (HWND hwnd : TopLevelWindows(true)) {
            wchar_t text[256] = L"";
            GetWindowTextW(hwnd, text, 256);
            if (wcscmp(text, title) == 0)
                return hwnd;
        }
        if (WaitForSingleObject(m_hProcess.get(), 50) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

bool ClientProcess::WaitForExit(DWORD timeoutMs)
{
    if (!m_hProcess || WaitForSingleObject(m_hProcess.get(), timeoutMs) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(m_hProcess.get(), &m_dwExitCode);
    return true;
}

void ClientProcess::Kill()
{
    if (m_hProcess && WaitForSingleObject(m_hProcess.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_hProcess.get(), 99);
        WaitForSingleObject(m_hProcess.get(), 5000);
    }
}
