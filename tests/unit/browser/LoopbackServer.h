// A small HTTP server on 127.0.0.1 inside the test process (its own Winsock thread), so a test can
// see which requests arrived. It answers every request with a short page, or, while holding, keeps
// the connection open without an answer (a navigation that stays pending).
#pragma once

#include <winsock2.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CLoopbackServer
{
public:
    CLoopbackServer() = default;
    CLoopbackServer(const CLoopbackServer&) = delete;
    CLoopbackServer& operator=(const CLoopbackServer&) = delete;
    ~CLoopbackServer();

    bool Start();
    void Stop();
    // "http://127.0.0.1:<port>" + pszPath
    std::wstring Url(const wchar_t* pszPath) const;
    void SetHold(bool bHold) { m_bHold = bHold; }

    // Request targets seen so far ("/login?x=1").
    std::vector<std::string> Requests() const;
    int CountRequestsContaining(const char* pszText) const;

private:
    void Run();
    void Serve(SOCKET s);

    SOCKET m_listen = INVALID_SOCKET;
    unsigned short m_port = 0;
    std::thread m_thread;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bHold{false};
    mutable std::mutex m_mutex;
    std::vector<std::string> m_vecRequests;
    std::vector<SOCKET> m_vecHeld;
    bool m_bWsa = false;
};
