#include "LoopbackServer.h"

#include <ws2tcpip.h>

CLoopbackServer::~CLoopbackServer()
{
    Stop();
}

bool CLoopbackServer::Start()
{
    WSADATA wsa;
    if (WSAStartup(MAKEWORD(2, 2), &wsa) != 0)
        return false;
    m_bWsa = true;
    m_listen = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (m_listen == INVALID_SOCKET)
        return false;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(m_listen, 64) != 0)
        return false;
    int nLen = sizeof addr;
    getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &nLen);
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread(&CLoopbackServer::Run, this);
    return true;
}

void CLoopbackServer::Stop()
{
    m_bStop = true;
    if (m_thread.joinable())
        m_thread.join();
    for (SOCKET s : m_vecHeld)
        closesocket(s);
    m_vecHeld.clear();
    if (m_listen != INVALID_SOCKET)
        closesocket(m_listen);
    m_listen = INVALID_SOCKET;
    if (m_bWsa)
        WSACleanup();
    m_bWsa = false;
}

std::wstring CLoopbackServer::Url(const wchar_t* pszPath) const
{
    return L"http://127.0.0.1:" + std::to_wstring(m_port) + pszPath;
}

std::vector<std::string> CLoopbackServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_vecRequests;
}

int CLoopbackServer::CountRequestsContaining(const char* pszText) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int n = 0;
    for (const std::string& str : m_vecRequests)
        n += str.find(pszText) != std::string::npos ? 1 : 0;
    return n;
}

void CLoopbackServer::Run()
{
    while (!m_bStop) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(m_listen, &set);
        timeval tv = {0, 50 * 1000};
        if (select(0, &set, nullptr, nullptr, &tv) <= 0)
            continue;
        SOCKET s = accept(m_listen, nullptr, nullptr);
        if (s != INVALID_SOCKET)
            Serve(s);
    }
}

void CLoopbackServer::Serve(SOCKET s)
{
    std::string strRequest;
    char buf[2048];
    DWORD dwTimeout = 2000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&dwTimeout), sizeof dwTimeout);
    while (strRequest.find("\r\n\r\n") == std::string::npos && strRequest.size() < 65536) {
        int n = recv(s, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        strRequest.append(buf, static_cast<size_t>(n));
    }
    // "GET /path HTTP/1.1": keep the target.
    size_t nFirst = strRequest.find(' ');
    size_t nSecond = nFirst == std::string::npos ? std::string::npos : strRequest.find(' ', nFirst + 1);
    if (nSecond != std::string::npos) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_vecRequests.push_back(strRequest.substr(nFirst + 1, nSecond - nFirst - 1));
    }
    if (m_bHold) {
        m_vecHeld.push_back(s);
        return;
    }
    static const char kResponse[] =
        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 41\r\nConnection: close\r\n\r\n"
        "<html><body><a href=x>x</a></body></html>";
    send(s, kResponse, static_cast<int>(sizeof kResponse - 1), 0);
    shutdown(s, SD_SEND);
    closesocket(s);
}
