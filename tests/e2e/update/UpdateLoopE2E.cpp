// The update loop end to end: copies of the real client that trust the test's key and ask a loopback
// version server, in the real data folder (its installed exe and update log are put back afterwards).
#include <gtest/gtest.h>
#include <winsock2.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "app/Paths.h"
#include "framework/Handles.h"
#include "support/ClientWindows.h"
#include "support/FilesAndKeys.h"
#include "support/UpdateLogText.h"
#include "support/UpdateRelease.h"
#include "support/Wait.h"
#include "support/LoopbackHttpServer.h"
#include "unit/updatelog/ScratchFolder.h"

namespace {

const char kQuery[] = "/getClientVersion.php?p=tarnube&g=pelq&v=1.0.0.1";

std::vector<std::wstring> LogMessages()
{
    return UpdateLogMessages(GetDataDir() + L"res\\update.log");
}

bool Logged(const wchar_t* pszFragment)
{
    const std::vector<std::wstring> log = LogMessages();
    return std::any_of(log.begin(), log.end(),
                       [&](const std::wstring& message) { return message.find(pszFragment) != std::wstring::npos; });
}

std::string Narrow(const std::vector<std::wstring>& lines)
{
    std::string text;
    for (const std::wstring& line : lines)
        text += CString(line.c_str()).ToUtf8() + "\n";
    return text;
}

class UpdateLoop : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_key.IsValid());
        m_installed = GetDataDir() + L"Torvel_Qerm.exe";
        m_downloads = GetCacheDir() + L"\\qzrvpelqupdate";
        m_log = GetDataDir() + L"res\\update.log";
        m_bHadInstalled = PathExists(std::wstring(m_installed));
        if (m_bHadInstalled)
            m_savedInstalled = ReadFileBytes(std::wstring(m_installed));
        m_savedLog = ReadFileBytes(std::wstring(m_log));
        EndProcessesRunning(m_installed);
        DeleteFileW(m_installed);
        DeleteFileW(m_log);
        DeleteTree(m_downloads);
    }

    void TearDown() override
    {
        EndProcessesRunning(m_installed);
        EndProcessesRunning(m_downloads + L"\\Torvel_Qerm.exe");
        DeleteTree(m_downloads);
        if (m_bHadInstalled)
            WriteFileBytes(std::wstring(m_installed), m_savedInstalled);
        else
            DeleteFileW(m_installed);
        WriteFileBytes(std::wstring(m_log), m_savedLog);
    }

    // A copy of the client that asks strServer for its version and trusts the test's key.
    CString MakeClient(const wchar_t* pszFolder, const std::wstring& strServer, const char* pszVersion)
    {
        const CString strCopy = MakeUpdateClient(ClientExePath(), m_dir.Sub(pszFolder).c_str(), strServer, m_key, pszVersion);
        EXPECT_FALSE(strCopy.IsEmpty());
        return strCopy;
    }

    std::string SignedManifestFor(const std::string& file, const std::wstring& strUrl)
    {
        return ::SignedManifestFor(m_key, file, strUrl);
    }

    // The next start of the installed client hands over: it ends by itself, before any window, and
    // the new version's start window follows from the same path.
    void ExpectHandOverToTheNewBuild(const std::string& newBuild)
    {
        ClientProcess handing;
        ASSERT_TRUE(handing.Start(m_installed, L"\"" + m_installed + L"\""));
        ASSERT_TRUE(handing.WaitForExit(20000)) << "the start that hands over must end by itself";
        EXPECT_EQ(handing.ExitCode(), 0u);
        EXPECT_TRUE(handing.TopLevelWindows(false).empty());
        EXPECT_NE(WaitForStartWindowOf(m_installed), nullptr)
            << "no start window of the updated client\n" << Narrow(LogMessages());
        EXPECT_TRUE(ReadFileBytes(std::wstring(m_installed)) == newBuild) << "the installed exe is not the new build";
        const std::vector<std::wstring> log = LogMessages();
        const auto at = std::find(log.begin(), log.end(), L"Update 1.0.0.2: handed over to the update step");
        ASSERT_NE(at, log.end()) << Narrow(log);
        ASSERT_GE(log.end() - at, 4) << Narrow(log);
        EXPECT_EQ(at[1].substr(0, 33), L"Finish download,current file md5=");
        EXPECT_EQ(at[1].size(), 33u + 32u);
        EXPECT_EQ(at[2], L"Update success.Current Version:1.0.0.2");
        EXPECT_EQ(at[3], L"=====================");
    }

    CScratchFolder m_dir{L"updateloop"};
    CTestSigningKey m_key;
    CString m_installed, m_downloads, m_log;
    bool m_bHadInstalled = false;
    std::string m_savedInstalled, m_savedLog;
};

TEST_F(UpdateLoop, ANewerBuildCutHalfWayIsContinuedThenHandedOverAndStarts)
{
    CLoopbackHttpServer server;
    ASSERT_TRUE(server.IsListening());
    const CString strOld = MakeClient(L"old", server.Url(""), "1.0.0.1");
    const std::string newBuild = ReadFileBytes(std::wstring(MakeClient(L"new", server.Url(""), "1.0.0.2")));
    server.Add(kQuery, CannedResponse::Make("200 OK", SignedManifestFor(newBuild, server.Url("/new.exe"))));
    const size_t half = newBuild.size() / 2;
    CannedResponse cut = CannedResponse::Make("200 OK", newBuild.substr(0, half), false);
    cut.head += "Content-Length: " + std::to_string(newBuild.size()) + "\r\n";
    server.Add("/new.exe", cut);

    {
        // First start: installs itself, and the download is cut half-way.
        ClientProcess first;
        ASSERT_TRUE(first.Start(strOld, L"\"" + strOld + L"\""));
        ASSERT_NE(WaitForStartWindow(first), nullptr);
        ASSERT_TRUE(WaitUntil([] { return Logged(L"cut short"); }, 30000)) << Narrow(LogMessages());
    }
    ASSERT_TRUE(ReadFileBytes(std::wstring(m_installed)) == ReadFileBytes(std::wstring(strOld)));

    server.Add("/new.exe", CannedResponse::Partial(newBuild.substr(half), half, newBuild.size()));
    {
        // Second start: nothing is ready yet, so it runs as always and continues the download.
        ClientProcess second;
        ASSERT_TRUE(second.Start(m_installed, L"\"" + m_installed + L"\""));
        ASSERT_NE(WaitForStartWindow(second), nullptr);
        ASSERT_TRUE(WaitUntil([] { return Logged(L"Update ready: 1.0.0.2"); }, 30000)) << Narrow(LogMessages());
        EXPECT_NE(server.LastRequest().find("Range: bytes=" + std::to_string(half) + "-"), std::string::npos);
    }
    ExpectHandOverToTheNewBuild(newBuild);
}

TEST_F(UpdateLoop, NoHandOverWhileAnotherClientOfTheInstallationRuns)
{
    CLoopbackHttpServer server;   // answers every question with 404: no update is offered
    const CString strOld = MakeClient(L"old", server.Url(""), "1.0.0.1");
    const std::string newBuild = ReadFileBytes(std::wstring(MakeClient(L"new", server.Url(""), "1.0.0.2")));
    ASSERT_TRUE(CopyFileW(strOld, m_installed, FALSE));

    ClientProcess running;
    ASSERT_TRUE(running.Start(m_installed, L"\"" + m_installed + L"\""));
    ASSERT_NE(WaitForStartWindow(running), nullptr);
    // A verified update waits in the download folder, as an earlier start left it.
    SHCreateDirectoryExW(nullptr, m_downloads, nullptr);
    ASSERT_TRUE(WriteFileBytes(std::wstring(m_downloads + L"\\Torvel_Qerm.exe"), newBuild));
    ASSERT_TRUE(WriteFileBytes(std::wstring(m_downloads + L"\\update.manifest"),
                               SignedManifestFor(newBuild, server.Url("/new.exe"))));
    {
        ClientProcess second;
        ASSERT_TRUE(second.Start(m_installed, L"\"" + m_installed + L"\""));
        EXPECT_NE(WaitForStartWindow(second), nullptr) << "the second client runs as always";
        EXPECT_TRUE(Logged(L"Update 1.0.0.2: waits: another client of this installation is running"))
            << Narrow(LogMessages());
        EXPECT_TRUE(ReadFileBytes(std::wstring(m_installed)) == ReadFileBytes(std::wstring(strOld)));
    }
    running.Kill();
    ASSERT_TRUE(running.WaitForExit());
    ExpectHandOverToTheNewBuild(newBuild);
}

// The player closes the client while its worker is in the middle of a slow download: the close
// prompt's OK ends it at once with 0, the bytes that came stay, and the next start continues from
// exactly there.
TEST_F(UpdateLoop, ClosedDuringADownloadTheClientEndsAndTheNextStartContinuesIt)
{
    CLoopbackHttpServer server;
    ASSERT_TRUE(server.IsListening());
    const CString strOld = MakeClient(L"old", server.Url(""), "1.0.0.1");
    const std::string newBuild = ReadFileBytes(std::wstring(MakeClient(L"new", server.Url(""), "1.0.0.2")));
    server.Add(kQuery, CannedResponse::Make("200 OK", SignedManifestFor(newBuild, server.Url("/new.exe"))));
    CannedResponse drip = CannedResponse::Make("200 OK", newBuild);
    drip.pieceBytes = 8192;
    drip.pauseMs = 250;   // 32 KiB/s: above the download's deadline, and minutes for the whole file
    server.Add("/new.exe", drip);
    auto partial = [&] {
        WIN32_FIND_DATAW found{};
        UniqueFindFile find(FindFirstFileW(m_downloads + L"\\Torvel_Qerm.exe.*.part", &found));
        return find ? m_downloads + L"\\" + found.cFileName : CString();
    };
    {
        ClientProcess first;
        ASSERT_TRUE(first.Start(strOld, L"\"" + strOld + L"\""));
        HWND hStart = WaitForStartWindow(first);
        ASSERT_NE(hStart, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return ReadFileBytes(partial()).size() >= 16384; }, 30000))
            << "the download did not begin\n" << Narrow(LogMessages());
        PostMessageW(hStart, WM_SYSCOMMAND, SC_CLOSE, 0);
        ASSERT_TRUE(AnswerMessageBox(first.Id(), IDOK)) << "the close command asked nothing";
        ASSERT_TRUE(first.WaitForExit(10000)) << "the download held the process";
        EXPECT_EQ(first.ExitCode(), 0u);
    }
    const std::string part = ReadFileBytes(partial());
    ASSERT_GE(part.size(), 16384u);
    ASSERT_LT(part.size(), newBuild.size());
    EXPECT_TRUE(part == newBuild.substr(0, part.size())) << "the kept bytes are not the file's beginning";

    const size_t at = part.size();
    server.Add("/new.exe", CannedResponse::Partial(newBuild.substr(at), at, newBuild.size()));
    ClientProcess second;
    ASSERT_TRUE(second.Start(m_installed, L"\"" + m_installed + L"\""));
    ASSERT_NE(WaitForStartWindow(second), nullptr);
    ASSERT_TRUE(WaitUntil([] { return Logged(L"Update ready: 1.0.0.2"); }, 30000)) << Narrow(LogMessages());
    EXPECT_NE(server.LastRequest().find("Range: bytes=" + std::to_string(at) + "-\r\n"), std::string::npos)
        << server.LastRequest();
    EXPECT_TRUE(Logged((L"Update download: 1.0.0.2 continued at byte " + std::to_wstring(at)).c_str()));
    EXPECT_TRUE(ReadFileBytes(std::wstring(m_downloads + L"\\Torvel_Qerm.exe")) == newBuild);
}

// A version server that takes the connection and never answers changes nothing the player sees.
TEST_F(UpdateLoop, AServerThatNeverAnswersLeavesTheStartWindowAndItsClosePromptAsAlways)
{
    CSilentListener listener;
    ASSERT_TRUE(listener.IsListening());
    const CString strClient = MakeClient(L"silent", L"http://127.0.0.1:" + std::to_wstring(listener.Port()), "1.0.0.1");

    ClientProcess client;
    ASSERT_TRUE(client.Start(strClient, L"\"" + strClient + L"\""));
    HWND hStart = WaitForStartWindow(client);
    ASSERT_NE(hStart, nullptr);
    EXPECT_TRUE(listener.WaitForConnection(20000)) << "the client never asked for its version";

    PostMessageW(hStart, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(AnswerMessageBox(client.Id(), IDOK)) << "the close command asked nothing";
    EXPECT_TRUE(client.WaitForExit(10000)) << "the waiting update check held the process";
    EXPECT_EQ(client.ExitCode(), 0u);
}

}  // namespace
