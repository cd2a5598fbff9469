#include "support/LoopbackHttpServer.h"

#include <ws2tcpip.h>

#include <cstdio>

CannedResponse CannedResponse::Make(const char* status, const std::string& body, bool bWithLength)
{
    CannedResponse r;
    r.head = std::string("HTTP/1.1 ") + status + "\r\nContent-Type: text/plain\r\nConnection: close\r\n";
    if (bWithLength)
        r.head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    r.body = body;
    return r;
}

CannedResponse CannedResponse::Partial(const std::string& body, size_t nFrom, size_t nTotal)
{
    CannedResponse r = Make("206 Partial Content", body);
    r.head += "Content-Range: bytes " + std::to_string(nFrom) + "-" + std::to_string(nFrom + body.size() - 1) + "/" +
              std::to_string(nTotal) + "\r\n";
    return r;
}

CannedResponse CannedResponse::LinkPage()
{
    CannedResponse r = Make("200 OK", "<html><body><a href=x>x</a></body></html>");
    r.head.replace(r.head.find("text/plain"), 10, "text/html");
    return r;
}

CLoopbackListener::CLoopbackListener(int nBacklog)
{
    if (WSAStartup(MAKEWORD(2, 2), &m_wsa) != 0)
        return;
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int len = sizeof addr;
    if (m_listener == INVALID_SOCKET || bind(m_listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(m_listener, nBacklog) != 0 || getsockname(m_listener, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        if (m_listener != INVALID_SOCKET)
            closesocket(m_listener);
        m_listener = INVALID_SOCKET;
        return;
    }
    m_port = ntohs(addr.sin_port);
}

CLoopbackListener::~CLoopbackListener()
{
    if (m_listener != INVALID_SOCKET)
        closesocket(m_listener);
    WSACleanup();
}

bool CLoopbackListener::WaitForConnection(DWORD nTimeoutMs) const
{
    fd_set pending;
    FD_ZERO(&pending);
    FD_SET(m_listener, &pending);
    timeval tv{long(nTimeoutMs / 1000), long(nTimeoutMs % 1000) * 1000};
    return select(0, &pending, nullptr, nullptr, &tv) == 1;
}

CLoopbackHttpServer::CLoopbackHttpServer(CannedResponse otherPaths) : m_otherPaths(std::move(otherPaths))
{
    if (m_listener.IsListening())
        m_thread = std::thread(&CLoopbackHttpServer::Serve, this);
}

CLoopbackHttpServer::~CLoopbackHttpServer()
{
    m_bStop = true;
    if (m_thread.joinable())
        m_thread.join();
    for (SOCKET s : m_held)
        closesocket(s);
}

std::wstring CLoopbackHttpServer::Url(const char* path) const
{
    std::wstring url = L"http://127.0.0.1:" + std::to_wstring(Port());
    for (const char* p = path; *p; ++p)
        url += static_cast<wchar_t>(*p);
    return url;
}

std::wstring CLoopbackHttpServer::Url(const wchar_t* path) const
{
    return L"http://127.0.0.1:" + std::to_wstring(Port()) + path;
}

void CLoopbackHttpServer::Add(const std::string& path, CannedResponse response)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_responses[path] = std::move(response);
}

std::string CLoopbackHttpServer::LastRequest() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_lastRequest;
}

std::vector<std::string> CLoopbackHttpServer::Requests() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_targets;
}

int CLoopbackHttpServer::CountRequestsContaining(const char* text) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    int n = 0;
    for (const std::string& target : m_targets)
        n += target.find(text) != std::string::npos ? 1 : 0;
    return n;
}

unsigned short CLoopbackHttpServer::ClosedPort()
{
    return CLoopbackListener(1).Port();
}

void CLoopbackHttpServer::Serve()
{
    while (!m_bStop) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_listener.Socket(), &readable);
        timeval tv{0, 50 * 1000};
        if (select(0, &readable, nullptr, nullptr, &tv) <= 0)
            continue;
        SOCKET s = accept(m_listener.Socket(), nullptr, nullptr);
        if (s == INVALID_SOCKET)
            continue;
        if (Answer(s))
            closesocket(s);
        else
            m_held.push_back(s);
    }
}

bool CLoopbackHttpServer::SendAll(SOCKET s, const std::string& data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        const int n = send(s, data.data() + sent, static_cast<int>(data.size() - sent), 0);
        if (n <= 0)
            return false; // the client went away (for instance after cutting a long body)
        sent += static_cast<size_t>(n);
    }
    return true;
}

bool CLoopbackHttpServer::Answer(SOCKET s)
{
    DWORD timeoutMs = 5000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
    // A client that stops reading a long body (one that refused it half-way) must not hold the
    // server from answering the next request.
    DWORD sendTimeoutMs = 2000;
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&sendTimeoutMs), sizeof sendTimeoutMs);
    std::string request;
    char buf[4096];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < 65536) {
        const int n = recv(s, buf, sizeof buf, 0);
        if (n <= 0)
            return true;
        request.append(buf, static_cast<size_t>(n));
    }
    ++m_nRequests;

    // "GET /path HTTP/1.1"
    const size_t first = request.find(' ');
    const size_t second = request.find(' ', first + 1);
    const std::string path = request.substr(first + 1, second - first - 1);
    CannedResponse response = m_otherPaths;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_lastRequest = request;
        m_targets.push_back(path);
        const auto it = m_responses.find(path);
        if (it != m_responses.end())
            response = it->second;
    }
    if (m_bHold)
        return false;

    std::string head = response.head;
    if (response.chunked)
        head += "Transfer-Encoding: chunked\r\n";
    SendAll(s, head + "\r\n");
    const size_t piece = response.pieceBytes ? response.pieceBytes : response.body.size();
    // A slow body ends early when its client has gone or the server stops: the next request (or the
    // test's end) must not wait for the rest of a drip nobody reads.
    for (size_t at = 0; at < response.body.size() && !m_bStop; at += piece) {
        if (at && response.pauseMs)
            Sleep(response.pauseMs);
        const std::string part = response.body.substr(at, piece);
        bool bSent = true;
        if (response.chunked) {
            char size[16];
            snprintf(size, sizeof size, "%lx\r\n", static_cast<unsigned long>(part.size()));
            bSent = SendAll(s, size + part + "\r\n");
        } else
            bSent = SendAll(s, part);
        if (!bSent)
            return true;
    }
    if (response.chunked)
        SendAll(s, "0\r\n\r\n");
    shutdown(s, SD_SEND);
    // Let the client read everything before the socket goes away.
    while (recv(s, buf, sizeof buf, 0) > 0) {
    }
    return true;
}
