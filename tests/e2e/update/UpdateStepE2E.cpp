// The "-d <installed path>" role end to end: copies of the real executable in a scratch folder, the
// update log in the real data folder (saved before and put back after each test).
#include <gtest/gtest.h>
#include <windows.h>
#include <bcrypt.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "support/ClientWindows.h"
#include "support/UpdateLogText.h"
#include "unit/updatelog/ScratchFolder.h"

namespace {

std::wstring BinDir()
{
    wchar_t szSelf[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, szSelf, MAX_PATH);
    std::wstring path(szSelf);
    return path.substr(0, path.rfind(L'\\') + 1);
}

std::wstring AppData()
{
    wchar_t szAppData[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, szAppData);
    return szAppData;
}

// MD5 through CNG, independent of the CryptoAPI code under test.
std::wstring Md5Hex(const std::string& data)
{
    BCRYPT_ALG_HANDLE hAlg = nullptr;
    BCRYPT_HASH_HANDLE hHash = nullptr;
    UCHAR digest[16] = {};
    std::wstring hex;
    if (BCryptOpenAlgorithmProvider(&hAlg, BCRYPT_MD5_ALGORITHM, nullptr, 0) != 0)
        return hex;
    if (BCryptCreateHash(hAlg, &hHash, nullptr, 0, nullptr, 0, 0) == 0) {
        if (BCryptHashData(hHash, reinterpret_cast<PUCHAR>(const_cast<char*>(data.data())),
                           static_cast<ULONG>(data.size()), 0) == 0 &&
            BCryptFinishHash(hHash, digest, sizeof digest, 0) == 0)
        {
            for (UCHAR b : digest) {
                wchar_t two[3];
                swprintf_s(two, L"%02x", b);
                hex += two;
            }
        }
        BCryptDestroyHash(hHash);
    }
    BCryptCloseAlgorithmProvider(hAlg, 0);
    return hex;
}

// The messages of the log's lines, after checking each line's date and tag. Every normal run (a
// failed step continues as one) asks for updates and logs the answer; the step's own lines are what
// these tests read.
std::vector<std::wstring> LogMessages(const std::wstring& log)
{
    std::vector<std::wstring> messages;
    for (const std::wstring& line : ReadUpdateLogLines(log.c_str())) {
        // "2027- 3- 7  8: 9: 5 : \tUpdateModule\t<message>"
        EXPECT_GE(line.size(), 36u) << "short line";
        if (line.size() < 36)
            continue;
        EXPECT_EQ(line.substr(19, 17), L" : \tUpdateModule\t") << "line layout";
        EXPECT_EQ(line[4], L'-');
        EXPECT_EQ(line[13], L':');
        if (line.compare(36, 13, L"Update check:") != 0)
            messages.push_back(line.substr(36));
    }
    return messages;
}

class UpdateStep : public testing::Test
{
protected:
    void SetUp() override
    {
        const std::wstring res = AppData() + L"\\qzrv\\pelq\\res";
        m_log = res + L"\\update.log";
        SHCreateDirectoryExW(nullptr, res.c_str(), nullptr);
        m_bHadLog = PathExists(m_log);
        if (m_bHadLog)
            m_savedLog = ReadFileBytes(m_log);
        DeleteFileW(m_log.c_str());

        m_original = ReadFileBytes(BinDir() + L"Torvel_Qerm.exe");
        ASSERT_GT(m_original.size(), 10000u) << "Torvel_Qerm.exe is not beside the test";
        // The new build differs from the installed one by data after the image, which still runs.
        m_newBuild = m_original + "new build " + std::to_string(GetTickCount64());
        CreateDirectoryW(m_dir.Sub(L"installed").c_str(), nullptr);
        CreateDirectoryW(m_dir.Sub(L"new").c_str(), nullptr);
        m_installed = m_dir.Sub(L"installed\\Torvel_Qerm.exe");
        m_new = m_dir.Sub(L"new\\Torvel_Qerm.exe");
        ASSERT_TRUE(WriteFileBytes(m_installed, m_original));
        ASSERT_TRUE(WriteFileBytes(m_new, m_newBuild));
    }

    void TearDown() override
    {
        for (HANDLE h : m_started) {
            TerminateProcess(h, 1);
            WaitForSingleObject(h, 20000);
            CloseHandle(h);
        }
        EndProcessesRunning(m_installed.c_str());
        DeleteFileW(m_log.c_str());
        if (m_bHadLog)
            WriteFileBytes(m_log, m_savedLog);
        CloseHandle(m_hNul);
    }

    // Starts exe with exactly this command line (no program path in front). Under Wine a child
    // otherwise keeps this program's output pipe, and ctest would wait for it until its time-out
    // if a started client outlived the test.
    HANDLE Start(const std::wstring& exe, std::wstring commandLine)
    {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = m_hNul;
        si.hStdOutput = m_hNul;
        si.hStdError = m_hNul;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                            nullptr, &si, &pi))
            return nullptr;
        CloseHandle(pi.hThread);
        m_started.push_back(pi.hProcess);
        return pi.hProcess;
    }

    // Waits until the log holds count lines (or 20 s pass); returns its messages.
    std::vector<std::wstring> WaitForLogLines(size_t count)
    {
        for (int i = 0; i < 200; ++i) {
            const std::string bytes = ReadFileBytes(m_log);
            size_t lines = 0;
            for (size_t at = 0; (at = bytes.find(std::string("\r\0\n\0", 4), at)) != std::string::npos; at += 4)
                ++lines;
            if (lines >= count)
                break;
            Sleep(100);
        }
        Sleep(300); // anything written after the expected lines would show now
        return LogMessages(m_log);
    }

    HANDLE m_hNul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    CScratchFolder m_dir{L"upd"};
    std::wstring m_log, m_installed, m_new;
    std::string m_original, m_newBuild, m_savedLog;
    bool m_bHadLog = false;
    std::vector<HANDLE> m_started;
};

const wchar_t kSeparator[] = L"=====================";

} // namespace

TEST_F(UpdateStep, ReplacesTheInstalledExeLogsThreeLinesAndStartsIt)
{
    HANDLE hUpdater = Start(m_new, L"-d " + m_installed);
    ASSERT_NE(hUpdater, nullptr);
    ASSERT_EQ(WaitForSingleObject(hUpdater, 30000), WAIT_OBJECT_0) << "the update step did not end";
    DWORD dwExit = 1;
    GetExitCodeProcess(hUpdater, &dwExit);
    EXPECT_EQ(dwExit, 0u);

    EXPECT_TRUE(ReadFileBytes(m_installed) == m_newBuild) << "installed file is not the new build";

    const std::vector<std::wstring> messages = LogMessages(m_log);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], L"Finish download,current file md5=" + Md5Hex(m_newBuild));
    EXPECT_EQ(messages[0].size(), 33u + 32u);
    EXPECT_EQ(messages[1], L"Update success.Current Version:1.0.0.1");
    EXPECT_EQ(messages[2], kSeparator);

    std::vector<DWORD> running;
    for (int i = 0; i < 150 && running.empty(); ++i, Sleep(100))
        running = ProcessesRunning(m_installed.c_str());
    EXPECT_EQ(running.size(), 1u) << "the updated executable was not started";
}

TEST_F(UpdateStep, TargetInAMissingFolderLogsErrorThreeAndRunsNormally)
{
    const std::wstring target = m_dir.Sub(L"no such folder\\Torvel_Qerm.exe");
    HANDLE hUpdater = Start(m_new, L"-d " + target);
    ASSERT_NE(hUpdater, nullptr);

    const std::vector<std::wstring> messages = WaitForLogLines(2);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], L"Update failure.Error Code:3");
    EXPECT_EQ(messages[1], kSeparator);
    EXPECT_EQ(WaitForSingleObject(hUpdater, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "a failed update must go on as a normal run";
    EXPECT_FALSE(PathExists(target));
}

TEST_F(UpdateStep, RunningInstalledExeLogsErrorThirtyTwoAndStaysAsItWas)
{
    HANDLE hInstalled = Start(m_installed, L"Torvel_Qerm.exe");
    ASSERT_NE(hInstalled, nullptr);
    WaitForInputIdle(hInstalled, 10000);

    HANDLE hUpdater = Start(m_new, L"-d " + m_installed);
    ASSERT_NE(hUpdater, nullptr);

    const std::vector<std::wstring> messages = WaitForLogLines(2);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], L"Update failure.Error Code:32");
    EXPECT_EQ(messages[1], kSeparator);
    EXPECT_TRUE(ReadFileBytes(m_installed) == m_original) << "the running exe was changed";
}

// The client that handed the update over may still be ending when the step starts.
TEST_F(UpdateStep, TargetReleasedWhileTheStepWaitsIsReplaced)
{
    HANDLE hHeld = CreateFileW(m_installed.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    HANDLE hUpdater = Start(m_new, L"-d " + m_installed);
    ASSERT_NE(hUpdater, nullptr);
    Sleep(1500);
    EXPECT_TRUE(LogMessages(m_log).empty()) << "the step gave up while the target was held";
    CloseHandle(hHeld);

    ASSERT_EQ(WaitForSingleObject(hUpdater, 30000), WAIT_OBJECT_0) << "the update step did not end";
    EXPECT_TRUE(ReadFileBytes(m_installed) == m_newBuild) << "installed file is not the new build";
    const std::vector<std::wstring> messages = LogMessages(m_log);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1], L"Update success.Current Version:1.0.0.1");
}

TEST_F(UpdateStep, TargetPathLongerThanMaxPathIsUsedWhole)
{
    std::wstring folder = m_dir.Path();
    while (folder.size() < 300) {
        folder += L"\\a_rather_long_folder_name_for_the_installation";
        CreateDirectoryW(folder.c_str(), nullptr);
    }
    const std::wstring target = folder + L"\\Torvel_Qerm.exe";
    ASSERT_TRUE(WriteFileBytes(target, m_original));

    HANDLE hUpdater = Start(m_new, L"-d " + target);
    ASSERT_NE(hUpdater, nullptr);
    ASSERT_EQ(WaitForSingleObject(hUpdater, 30000), WAIT_OBJECT_0);

    EXPECT_TRUE(ReadFileBytes(target) == m_newBuild) << "the long target was not replaced";
    const std::vector<std::wstring> messages = LogMessages(m_log);
    ASSERT_GE(messages.size(), 1u);
    EXPECT_EQ(messages[0], L"Finish download,current file md5=" + Md5Hex(m_newBuild));
    EndProcessesRunning(target.c_str());
}

TEST_F(UpdateStep, SwitchAloneIsANormalRunThatLogsNothing)
{
    HANDLE hRun = Start(m_new, L"-d");
    ASSERT_NE(hRun, nullptr);
    WaitForInputIdle(hRun, 10000);
    Sleep(1000);

    DWORD dwExit = 0;
    GetExitCodeProcess(hRun, &dwExit);
    EXPECT_EQ(dwExit, static_cast<DWORD>(STILL_ACTIVE)) << "not a normal run: it ended with " << dwExit;
    EXPECT_TRUE(LogMessages(m_log).empty()) << "the bare switch wrote to the update log: "
                                            << ::testing::PrintToString(LogMessages(m_log));
    EXPECT_TRUE(ReadFileBytes(m_installed) == m_original);
}
