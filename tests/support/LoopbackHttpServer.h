// A small HTTP/1.1 server on 127.0.0.1 inside the test process: one Winsock thread that answers
// each request with a canned response, optionally in pieces with pauses between them.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

struct CannedResponse
{
    std::string head;          // status line and headers, without the empty line that ends them
    std::string body;
    size_t pieceBytes = 0;     // 0: everything in one send
    DWORD pauseMs = 0;         // between two pieces
    bool chunked = false;      // send the body with chunked transfer coding, one chunk per piece

    // "HTTP/1.1 <status>" with Content-Length (unless bWithLength is false) and Connection: close.
    static CannedResponse Make(const char* status, const std::string& body, bool bWithLength = true);
};

// A host that takes connections (the system's backlog does) and never says a word: a request to it
// waits until its client gives up.
class CSilentListener
{
public:
    CSilentListener();
    ~CSilentListener();
    CSilentListener(const CSilentListener&) = delete;
    CSilentListener& operator=(const CSilentListener&) = delete;

    bool IsListening() const { return m_listener != INVALID_SOCKET; }
    unsigned short Port() const { return m_port; }
    SOCKET Socket() const { return m_listener; }
    // True when a connection waits in the backlog within nTimeoutMs.
    bool WaitForConnection(DWORD nTimeoutMs) const;

private:
    WSADATA m_wsa{};
    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_port = 0;
};

class CLoopbackHttpServer
{
public:
    CLoopbackHttpServer();
    ~CLoopbackHttpServer();
    CLoopbackHttpServer(const CLoopbackHttpServer&) = delete;
    CLoopbackHttpServer& operator=(const CLoopbackHttpServer&) = delete;

    bool IsListening() const { return m_listener != INVALID_SOCKET; }
    unsigned short Port() const { return m_port; }
    // "http://127.0.0.1:<port>" + path
    std::wstring Url(const char* path) const;

    // Unknown paths are answered with 404.
    void Add(const std::string& path, CannedResponse response);

    int RequestCount() const { return m_nRequests; }
    std::string LastRequest() const;

    // A loopback port that nothing listens on (bound, then released).
    static unsigned short ClosedPort();

private:
    void Serve();
    void Answer(SOCKET s);
    static bool SendAll(SOCKET s, const std::string& data);

    WSADATA m_wsa{};
    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_port = 0;
    std::atomic<bool> m_bStop{false};
    std::atomic<int> m_nRequests{0};
    mutable std::mutex m_lock;
    std::map<std::string, CannedResponse> m_responses;
    std::string m_lastRequest;
    std::thread m_thread;
};
