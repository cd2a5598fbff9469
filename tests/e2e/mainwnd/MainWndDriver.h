// Driving the real client's main window from outside: finding it among the client's windows,
// answering its skinned message boxes and closing it through its close prompt.
#pragma once
#include "support/ClientWindows.h"
#include "support/ResourcePatch.h"

// The client's title, shared by its main window and its start window.
extern const wchar_t kClientTitle[];
// A login address that holds the game-start marker on a loopback port nothing listens on.
extern const wchar_t kUnreachableGameUrl[];

// The main window: the client's title and the title-strip buttons (the start window has neither).
bool IsMainWindow(HWND hWnd);
// Waits for a visible main window of the process with this id; null on timeout.
HWND WaitForMainWindow(DWORD dwProcessId, DWORD nTimeoutMs = 20000);

// A copy of the client in a folder of its own whose login address (string 114) is strLoginUrl. With
// an address that holds "play_gamecode" the start window hands it over at once, without a page.
class CPatchedClient
{
public:
    explicit CPatchedClient(const CString& strLoginUrl);
    ~CPatchedClient();
    bool Ready() const { return m_bReady; }
    const CString& Path() const { return m_strExe; }
    // Starts the copy with its own path as the command line.
    bool Start(ClientProcess& client) const;

private:
    CString m_strFolder, m_strExe;
    bool m_bReady = false;
};
