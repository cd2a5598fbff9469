// A small HTTP/1.1 server on 127.0.0.1 inside the test process: one Winsock thread that answers
// each request with a canned response, optionally in pieces with pauses between them, or, while
// holding, keeps the connection open without an answer (a navigation that stays pending).
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/NoCopy.h"

struct CannedResponse
{
    std::string head;          // status line and headers, without the empty line that ends them
    std::string body;
    size_t pieceBytes = 0;     // 0: everything in one send
    DWORD pauseMs = 0;         // between two pieces
    bool chunked = false;      // send the body with chunked transfer coding, one chunk per piece

    // "HTTP/1.1 <status>" with Content-Length (unless bWithLength is false) and Connection: close.
    static CannedResponse Make(const char* status, const std::string& body, bool bWithLength = true);
    // "200 OK" with a short HTML page holding one link: what a browser may load and leave.
    static CannedResponse LinkPage();
    // "206 Partial Content" with the bytes of a file of nTotal bytes that start at nFrom.
    static CannedResponse Partial(const std::string& body, size_t nFrom, size_t nTotal);
};

// A Winsock user's start and end, and a listening socket on 127.0.0.1 with a port of the system's
// choosing (INVALID_SOCKET when any step failed).
class CLoopbackListener : CNoCopy
{
public:
    explicit CLoopbackListener(int nBacklog);
    ~CLoopbackListener();

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

// A host that takes connections (the system's backlog does) and never says a word: a request to it
// waits until its client gives up.
class CSilentListener : public CLoopbackListener
{
public:
    CSilentListener() : CLoopbackListener(4) {}
};

class CLoopbackHttpServer : CNoCopy
{
public:
    // Paths not added are answered with otherPaths: by default 404.
    explicit CLoopbackHttpServer(
        CannedResponse otherPaths = CannedResponse::Make("404 Not Found", "no such page here"));
    ~CLoopbackHttpServer();

    bool IsListening() const { return m_listener.IsListening(); }
    unsigned short Port() const { return m_listener.Port(); }
    // "http://127.0.0.1:<port>" + path
    std::wstring Url(const char* path) const;
    std::wstring Url(const wchar_t* path) const;

    void Add(const std::string& path, CannedResponse response);
    // While holding, a request is counted and kept open without an answer until the server ends.
    void SetHold(bool bHold) { m_bHold = bHold; }

    int RequestCount() const { return m_nRequests; }
    std::string LastRequest() const;
    // The request targets seen so far ("/login?x=1"), in order.
    std::vector<std::string> Requests() const;
    int CountRequestsContaining(const char* text) const;

    // A loopback port that nothing listens on (bound, then released).
    static unsigned short ClosedPort();

private:
    void Serve();
    // False when the connection is held open unanswered.
    bool Answer(SOCKET s);
    // False when the client has gone.
    static bool SendAll(SOCKET s, const std::string& data);

    CLoopbackListener m_listener{64};
    const CannedResponse m_otherPaths;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bHold{false};
    std::atomic<int> m_nRequests{0};
    mutable std::mutex m_lock;
    std::map<std::string, CannedResponse> m_responses;
    std::string m_lastRequest;
    std::vector<std::string> m_targets;
    std::vector<SOCKET> m_held;      // only the server's thread touches it until the thread ends
    std::thread m_thread;
};

// A server for a browser to load from: every path not added is a short page with one link.
class CPageServer : public CLoopbackHttpServer
{
public:
    CPageServer() : CLoopbackHttpServer(CannedResponse::LinkPage()) {}
};
