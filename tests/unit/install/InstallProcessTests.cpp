// Installation as separate processes run it: copies of a small program that does nothing but the
// installation, started from another folder and from the installation folder itself.
#include "start/Installation.h"
#include "support/FilesAndKeys.h"
#include "support/LoopbackHttpServer.h"
#include "unit/install/InstallFixture.h"
#include "unit/install/StringPatch.h"

#include <shellapi.h>

namespace {

DWORD RunAndWait(const std::wstring& strExe)
{
    std::wstring cmd = L"\"" + strExe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(strExe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 0xFFFFFFFF;
    UniqueHandle process(pi.hProcess);
    UniqueHandle thread(pi.hThread);
    if (WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0)
        return 0xFFFFFFFE;
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    return code;
}

class InstallProcessTest : public InstallTest
{
protected:
    void SetUp() override
    {
        InstallTest::SetUp();
        m_strScratch = TempPath(L"torvel install test").str();
        CreateDirectoryW(m_strScratch.c_str(), nullptr);
        const std::wstring bin = ModulePath().substr(0, ModulePath().rfind(L'\\'));
        m_strDownload = m_strScratch + L"\\Torvel Qerm.exe";
        ASSERT_TRUE(CopyFileW((bin + L"\\install_runner.exe").c_str(), m_strDownload.c_str(), FALSE));
    }
    void TearDown() override
    {
        DeleteFileW(m_strDownload.c_str());
        RemoveDirectoryW(m_strScratch.c_str());
        InstallTest::TearDown();
    }

    std::wstring m_strScratch;
    std::wstring m_strDownload;
};

}  // namespace

TEST_F(InstallProcessTest, BlankInTheFileNameStaysInsideTheQuotedUninstallCommand)
{
    ASSERT_EQ(RunAndWait(m_strDownload), 0u);
    const std::wstring installed = DataDir() + L"\\Torvel Qerm.exe";
    EXPECT_TRUE(ReadFileBytes(installed) == ReadFileBytes(m_strDownload));
    const std::wstring command =
        ReadRegText(HKEY_LOCAL_MACHINE, kEntryKey, L"UninstallString", KEY_WOW64_64KEY).strText;
    EXPECT_EQ(command, L"\"" + installed + L"\" -u");
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(command.c_str(), &argc);
    ASSERT_NE(argv, nullptr);
    EXPECT_EQ(argc, 2);
    EXPECT_EQ(std::wstring(argv[0]), installed);
    LocalFree(argv);
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, ProfileKey(L"Torvel Qerm"), L"UninstallString").strText, command);
    EXPECT_EQ(ReadLink(DesktopLink()).strPath, installed);
    EXPECT_EQ(ReadLink(UninstallLink()).strPath, installed);
    EXPECT_EQ(FirstStart(), L"0");
}

TEST_F(InstallProcessTest, TheInstalledCopyItselfCopiesNothingAndKeepsTheFirstStartFlag)
{
    ASSERT_EQ(RunAndWait(m_strDownload), 0u);
    const std::wstring installed = DataDir() + L"\\Torvel Qerm.exe";
    SetFirstStart(L"1");
    DeleteFileW(DesktopLink().c_str());
    ASSERT_EQ(RunAndWait(installed), 0u);
    EXPECT_EQ(FirstStart(), L"1");
    EXPECT_TRUE(ReadFileBytes(installed) == ReadFileBytes(m_strDownload));
    // The desktop shortcut the player deleted is back.
    EXPECT_EQ(ReadLink(DesktopLink()).strPath, installed);
}

TEST_F(InstallProcessTest, DesktopSwitchZeroLeavesTheDesktopAlone)
{
    ASSERT_TRUE(PatchStringEntry(m_strDownload, 32781, L"0"));
    ASSERT_EQ(RunAndWait(m_strDownload), 0u);
    EXPECT_FALSE(FileExists(DesktopLink()));
    EXPECT_EQ(ReadLink(StartMenuLink()).strArguments, L"1");
    EXPECT_EQ(ReadLink(UninstallLink()).strArguments, L"-u");
}

TEST_F(InstallProcessTest, FirstStartNotificationIsSentOnceWhenTheCopyIsMade)
{
    CLoopbackHttpServer server;
    ASSERT_TRUE(server.IsListening());
    server.Add("/first", CannedResponse::Make("200 OK", "ok"));
    ASSERT_TRUE(PatchStringEntry(m_strDownload, 106, server.Url("/first")));
    ASSERT_EQ(RunAndWait(m_strDownload), 0u);
    EXPECT_EQ(server.RequestCount(), 1);
    EXPECT_EQ(server.LastRequest().substr(0, 11), "GET /first ");
    EXPECT_EQ(FirstStart(), L"0");

    // Copied already and the flag is down: nothing more is sent.
    SetFirstStart(L"1");
    ASSERT_EQ(RunAndWait(m_strDownload), 0u);
    EXPECT_EQ(server.RequestCount(), 1);
    EXPECT_EQ(FirstStart(), L"1");
}
