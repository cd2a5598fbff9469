// The version-check step on the real data folder: log trimming, the leftover download and the
// logged version-query address. The log is saved first and put back afterwards.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "app/Paths.h"
#include "app/UpdateLog.h"
#include "framework/Handles.h"
#include "resource.h"
#include "start/VersionCheck.h"
#include "unit/updatelog/FixedClock.h"
#include "unit/updatelog/ScratchFolder.h"

namespace {

class VersionCheck : public testing::Test
{
protected:
    void SetUp() override
    {
        m_res = std::wstring(ShellFolder(CSIDL_APPDATA)) + L"\\qzrv\\pelq\\res";
        m_log = m_res + L"\\update.log";
        SHCreateDirectoryExW(nullptr, m_res.c_str(), nullptr);
        m_bHadLog = PathExists(m_log);
        if (m_bHadLog)
            m_savedLog = ReadFileBytes(m_log);
        DeleteFileW(m_log.c_str());
    }
    void TearDown() override
    {
        DeleteFileW(m_log.c_str());
        if (m_bHadLog)
            WriteFileBytes(m_log, m_savedLog);
    }

    // The one line the step writes, as bytes.
    std::string AddressLine() const
    {
        const std::wstring server(static_cast<LPCWSTR>(LoadResString(IDS_VERSION_SERVER)));
        return Utf16Bytes(L"2027- 3- 7  8: 9: 5 : \tUpdateModule\t" + server +
                          L"/getClientVersion.php?p=tarnube&g=pelq&v=1.0.0.1\r\n");
    }

    std::wstring m_res, m_log;
    bool m_bHadLog = false;
    std::string m_savedLog;
    FixedClock m_clock;
};

} // namespace

TEST_F(VersionCheck, AddressIsServerSlashQueryAndOurFileVersion)
{
    const std::wstring url(static_cast<LPCWSTR>(GetVersionQueryUrl()));
    const std::wstring server(static_cast<LPCWSTR>(LoadResString(IDS_VERSION_SERVER)));
    ASSERT_FALSE(server.empty());
    EXPECT_EQ(url, server + L"/getClientVersion.php?p=tarnube&g=pelq&v=1.0.0.1");
}

TEST_F(VersionCheck, MissingLogGetsTheAddressAsItsOnlyLine)
{
    RunVersionCheck();
    EXPECT_EQ(ReadFileBytes(m_log), AddressLine());
}

TEST_F(VersionCheck, ALogHeldElsewhereGetsTheLineOnceItIsFree)
{
    ASSERT_TRUE(WriteFileBytes(m_log, "old"));
    {
        // Another client appending at this moment: the step must not wait for it.
        UniqueFile holder(CreateFileW(m_log.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        RunVersionCheck();
    }
    const DWORD start = GetTickCount();
    while (ReadFileBytes(m_log) != "old" + AddressLine() && GetTickCount() - start < 10000)
        Sleep(10);
    EXPECT_EQ(ReadFileBytes(m_log), "old" + AddressLine());
}

TEST_F(VersionCheck, LogOfExactlyTenMebibytesIsKept)
{
    const std::string big(10485760, 'x');
    ASSERT_TRUE(WriteFileBytes(m_log, big));

    RunVersionCheck();

    const std::string after = ReadFileBytes(m_log);
    ASSERT_EQ(after.size(), 10485760u + AddressLine().size());
    EXPECT_EQ(after.compare(0, 10485760, big), 0);
    EXPECT_EQ(after.substr(10485760), AddressLine());
}

TEST_F(VersionCheck, LogOneByteLargerIsDeletedBeforeTheNewLine)
{
    ASSERT_TRUE(WriteFileBytes(m_log, std::string(10485761, 'x')));

    RunVersionCheck();

    EXPECT_EQ(ReadFileBytes(m_log), AddressLine());
}

TEST_F(VersionCheck, LeftoverDownloadIsDeletedAndCacheFolderCreated)
{
    const std::wstring cache = std::wstring(ShellFolder(CSIDL_APPDATA)) + L"\\cache";
    // Only an empty cache folder can be removed; one in use by other tests stays and is reused.
    RemoveDirectoryW(cache.c_str());
    RunVersionCheck();
    EXPECT_TRUE(PathExists(cache));

    const std::wstring leftover = cache + L"\\qzrvpelqtmp.exe";
    ASSERT_TRUE(WriteFileBytes(leftover, "MZ half a download"));
    RunVersionCheck();
    EXPECT_FALSE(PathExists(leftover));
}
