// HttpGetText against a real HTTP server on the loopback interface, run by this test process.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>
#include <string>

#include "framework/InternetAccess.h"
#include "start/HttpGet.h"
#include "support/LoopbackHttpServer.h"

namespace {

// Printable, position-dependent content, so a lost or repeated piece shows.
std::string Pattern(size_t n)
{
    std::string s(n, ' ');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return s;
}

std::wstring Widen(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::wstring Get(const std::wstring& url)
{
    return std::wstring(static_cast<LPCWSTR>(HttpGetText(url.c_str())));
}

// Runs httpget_tool.exe (beside this program) on url with extra environment variables; returns
// the text it got, or "<failed>" when the tool did not run to its end.
std::wstring GetFromProcess(const std::wstring& url, const std::wstring& extraEnvironment)
{
    wchar_t szSelf[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, szSelf, MAX_PATH);
    std::wstring dir(szSelf);
    dir = dir.substr(0, dir.rfind(L'\\') + 1);
    const std::wstring out = dir + L"httpget_tool_" + std::to_wstring(GetCurrentProcessId()) + L".txt";

    // This process's environment, then the extra variables; each entry ends in a zero.
    std::wstring block;
    LPWCH pEnv = GetEnvironmentStringsW();
    for (LPWCH p = pEnv; *p; p += wcslen(p) + 1)
        block.append(p, wcslen(p) + 1);
    FreeEnvironmentStringsW(pEnv);
    block += extraEnvironment;
    block += L'\0';

    std::wstring cmd = L"httpget_tool.exe \"" + url + L"\" \"" + out + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW((dir + L"httpget_tool.exe").c_str(), &cmd[0], nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT, &block[0], nullptr, &si, &pi))
        return L"<failed>";
    DWORD code = 1;
    if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &code);
    else
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    std::wstring text = L"<failed>";
    HANDLE h = CreateFileW(out.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (code == 0 && h != INVALID_HANDLE_VALUE) {
        wchar_t buf[4096];
        DWORD got = 0;
        text.clear();
        while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got)
            text.append(buf, got / sizeof(wchar_t));
    }
    if (h != INVALID_HANDLE_VALUE)
        CloseHandle(h);
    DeleteFileW(out.c_str());
    return text;
}

class HttpGet : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_server.IsListening()); }
    CLoopbackHttpServer m_server;
};

} // namespace

TEST_F(HttpGet, BodyOf3000BytesArrivesWhole)
{
    const std::string body = Pattern(3000);
    m_server.Add("/ok", CannedResponse::Make("200 OK", body));

    const std::wstring text = Get(m_server.Url("/ok"));

    EXPECT_EQ(text.size(), 3000u);
    EXPECT_EQ(text, Widen(body));
    // The agent is the application's name: here the test program's.
    EXPECT_NE(m_server.LastRequest().find("\r\nUser-Agent: HttpGetTests\r\n"), std::string::npos)
        << m_server.LastRequest();
}

TEST_F(HttpGet, BodySentInSmallPiecesWithPausesArrivesWhole)
{
    const std::string body = Pattern(3000);
    CannedResponse slow = CannedResponse::Make("200 OK", body);
    slow.pieceBytes = 100;
    slow.pauseMs = 20;
    m_server.Add("/slow", slow);
    CannedResponse slowNoLength = CannedResponse::Make("200 OK", body, false);
    slowNoLength.pieceBytes = 700;
    slowNoLength.pauseMs = 50;
    m_server.Add("/slow-unsized", slowNoLength);
    CannedResponse chunked = CannedResponse::Make("200 OK", body, false);
    chunked.chunked = true;
    chunked.pieceBytes = 300;
    chunked.pauseMs = 30;
    m_server.Add("/chunked", chunked);

    EXPECT_EQ(Get(m_server.Url("/slow")), Widen(body));
    EXPECT_EQ(Get(m_server.Url("/slow-unsized")), Widen(body));
    EXPECT_EQ(Get(m_server.Url("/chunked")), Widen(body));
}

TEST_F(HttpGet, StatusOf400AndAboveGivesEmptyText)
{
    m_server.Add("/gone", CannedResponse::Make("404 Not Found", "the page you wanted"));
    m_server.Add("/bad", CannedResponse::Make("400 Bad Request", "bad"));
    m_server.Add("/broken", CannedResponse::Make("500 Internal Server Error", "oops"));
    m_server.Add("/fine", CannedResponse::Make("399 Whatever", "still a body"));

    EXPECT_EQ(Get(m_server.Url("/gone")), L"");
    EXPECT_EQ(Get(m_server.Url("/bad")), L"");
    EXPECT_EQ(Get(m_server.Url("/broken")), L"");
    EXPECT_EQ(Get(m_server.Url("/fine")), L"still a body");
    EXPECT_EQ(m_server.RequestCount(), 4);
}

TEST_F(HttpGet, ClosedPortGivesEmptyText)
{
    const unsigned short port = CLoopbackHttpServer::ClosedPort();
    const std::wstring url = L"http://127.0.0.1:" + std::to_wstring(port) + L"/x";

    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(Get(url), L"");
    RecordProperty("closed_port_ms", static_cast<int>(GetTickCount64() - start));
}

TEST_F(HttpGet, HostThatNeverAnswersGivesUpWithinSeconds)
{
    CSilentListener listener;
    ASSERT_TRUE(listener.IsListening());
    struct Call
    {
        std::wstring url;
        std::wstring text = L"<unanswered>";
        static DWORD WINAPI Run(LPVOID pParam)
        {
            auto* call = static_cast<Call*>(pParam);
            call->text = Get(call->url);
            return 0;
        }
    } call{L"http://127.0.0.1:" + std::to_wstring(listener.Port()) + L"/first-start"};
    HANDLE hThread = CreateThread(nullptr, 0, Call::Run, &call, 0, nullptr);
    ASSERT_NE(hThread, nullptr);
    // The start window calls it on its own thread: far less than the system's patience with a
    // window that does not answer, and less than WinINet's own defaults.
    const bool bReturned = WaitForSingleObject(hThread, 20000) == WAIT_OBJECT_0;
    closesocket(listener.Socket());
    WaitForSingleObject(hThread, INFINITE);
    CloseHandle(hThread);
    EXPECT_TRUE(bReturned) << "still waiting for the host after 20 s";
    EXPECT_EQ(call.text, L"");
}

TEST_F(HttpGet, AddressThatIsNoUrlGivesEmptyText)
{
    EXPECT_EQ(Get(L"not an address"), L"");
    EXPECT_EQ(Get(L""), L"");
}

TEST_F(HttpGet, BodyOverTheLimitIsCutAtTheLimit)
{
    const std::string body = Pattern(kHttpBodyLimit + 4096);
    m_server.Add("/big", CannedResponse::Make("200 OK", body));
    // A server that never says how long its body is, and sends far more than we keep.
    m_server.Add("/endless", CannedResponse::Make("200 OK", Pattern(3 * kHttpBodyLimit), false));

    const std::wstring big = Get(m_server.Url("/big"));
    EXPECT_EQ(big.size(), 1048576u);
    EXPECT_EQ(big, Widen(body.substr(0, 1048576)));

    const std::wstring endless = Get(m_server.Url("/endless"));
    EXPECT_EQ(endless.size(), 1048576u);
}

TEST_F(HttpGet, BodyOfExactlyTheLimitIsKeptWhole)
{
    const std::string body = Pattern(1048576);
    m_server.Add("/exact", CannedResponse::Make("200 OK", body));
    EXPECT_EQ(Get(m_server.Url("/exact")), Widen(body));
}

TEST_F(HttpGet, TextEndsAtTheFirstZeroByte)
{
    m_server.Add("/zero", CannedResponse::Make("200 OK", std::string("abc\0def", 7)));
    EXPECT_EQ(Get(m_server.Url("/zero")), L"abc");
}

TEST_F(HttpGet, BodyIsReadInTheAnsiCodePage)
{
    if (GetACP() != 936)
        GTEST_SKIP() << "needs the Chinese ANSI code page (936), this system has " << GetACP();
    m_server.Add("/gbk", CannedResponse::Make("200 OK", "\xd6\xd0\xce\xc4 ok"));
    EXPECT_EQ(Get(m_server.Url("/gbk")), L"\x4e2d\x6587 ok");
}

TEST_F(HttpGet, EveryCallAsksTheServerAgain)
{
    m_server.Add("/notify", CannedResponse::Make("200 OK", "noted"));
    EXPECT_EQ(Get(m_server.Url("/notify")), L"noted");
    m_server.Add("/notify", CannedResponse::Make("200 OK", "noted again"));
    EXPECT_EQ(Get(m_server.Url("/notify")), L"noted again");
    EXPECT_EQ(m_server.RequestCount(), 2);
}

TEST_F(HttpGet, ProxyVariablesDoNotCaptureLoopbackRequests)
{
    // A "proxy" that would answer every request it is given with 502.
    CLoopbackHttpServer proxy;
    ASSERT_TRUE(proxy.IsListening());
    const std::wstring proxyUrl = L"http://127.0.0.1:" + std::to_wstring(proxy.Port());
    m_server.Add("/direct", CannedResponse::Make("200 OK", "straight here"));

    const std::wstring environment = L"http_proxy=" + proxyUrl + L'\0';
    EXPECT_EQ(GetFromProcess(m_server.Url("/direct"), environment), L"straight here");
    EXPECT_EQ(proxy.RequestCount(), 0);
    EXPECT_EQ(m_server.RequestCount(), 1);
}

TEST(LoopbackUrl, RecognisesThisMachineOnly)
{
    EXPECT_TRUE(IsLoopbackUrl(L"http://127.0.0.1:18680/getClientVersion.php"));
    EXPECT_TRUE(IsLoopbackUrl(L"http://127.1.2.3/"));
    EXPECT_TRUE(IsLoopbackUrl(L"http://localhost/x"));
    EXPECT_TRUE(IsLoopbackUrl(L"https://LocalHost:8443/"));
    EXPECT_TRUE(IsLoopbackUrl(L"http://[::1]:8080/"));
    EXPECT_FALSE(IsLoopbackUrl(L"http://127.0.0.1.example.com/"));
    EXPECT_FALSE(IsLoopbackUrl(L"http://10.0.0.1/"));
    EXPECT_FALSE(IsLoopbackUrl(L"http://example.com/127.0.0.1"));
    EXPECT_FALSE(IsLoopbackUrl(L"localhost"));
    EXPECT_FALSE(IsLoopbackUrl(L""));
}
