// The update log's line layout, its append-only file handling and the MD5 digest of a file.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <thread>

#include "app/UpdateLog.h"
#include "unit/updatelog/FixedClock.h"
#include "unit/updatelog/ScratchFolder.h"

namespace {

std::wstring Str(const CString& s) { return std::wstring(static_cast<LPCWSTR>(s)); }

const wchar_t kAbcLine[] = L"2027- 3- 7  8: 9: 5 : \tUpdateModule\tabc\r\n";

} // namespace

TEST(UpdateLogLine, FieldsArePaddedWithSpacesNotZeros)
{
    EXPECT_EQ(Str(FormatUpdateLogLine(March7th2027(), L"abc")),
              L"2027- 3- 7  8: 9: 5 : \tUpdateModule\tabc");

    const SYSTEMTIME late{2026, 12, 0, 31, 23, 59, 58, 0};
    EXPECT_EQ(Str(FormatUpdateLogLine(late, L"x")), L"2026-12-31 23:59:58 : \tUpdateModule\tx");

    const SYSTEMTIME midnight{2030, 1, 0, 10, 0, 0, 0, 0};
    EXPECT_EQ(Str(FormatUpdateLogLine(midnight, L"")), L"2030- 1-10  0: 0: 0 : \tUpdateModule\t");
}

TEST(UpdateLogLine, PercentSignsInTheMessageStayLiteral)
{
    EXPECT_EQ(Str(FormatUpdateLogLine(March7th2027(), L"100%s %d")),
              L"2027- 3- 7  8: 9: 5 : \tUpdateModule\t100%s %d");
}

TEST(UpdateLogPath, IsResUpdateLogInTheDataFolder)
{
    wchar_t szAppData[MAX_PATH] = {};
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, szAppData), S_OK);
    EXPECT_EQ(Str(GetUpdateLogPath()), std::wstring(szAppData) + L"\\qzrv\\pelq\\res\\update.log");
}

TEST(UpdateLogFile, LineIsByteExactUtf16WithoutBom)
{
    FixedClock clock;
    CScratchFolder dir(L"log");
    CreateDirectoryW(dir.Sub(L"res").c_str(), nullptr);
    const std::wstring log = dir.Sub(L"res\\update.log");

    ASSERT_EQ(AppendUpdateLogLine(log.c_str(), L"abc"), 0);

    const std::string bytes = ReadFileBytes(log);
    ASSERT_EQ(bytes.size(), 82u); // 41 characters, two bytes each, no byte-order mark
    EXPECT_EQ(bytes.substr(0, 4), std::string("2\0" "0\0", 4));
    EXPECT_EQ(bytes.substr(76), std::string("c\0\r\0\n\0", 6));
    EXPECT_EQ(bytes, Utf16Bytes(kAbcLine));
}

TEST(UpdateLogFile, LinesAreAppendedAfterWhatIsThere)
{
    FixedClock clock;
    CScratchFolder dir(L"log");
    CreateDirectoryW(dir.Sub(L"res").c_str(), nullptr);
    const std::wstring log = dir.Sub(L"res\\update.log");
    ASSERT_TRUE(WriteFileBytes(log, std::string("OLD\0", 4)));

    ASSERT_EQ(AppendUpdateLogLine(log.c_str(), L"abc"), 0);
    ASSERT_EQ(AppendUpdateLogLine(log.c_str(), L"更新成功"), 0);

    EXPECT_EQ(ReadFileBytes(log),
              std::string("OLD\0", 4) + Utf16Bytes(kAbcLine) +
                  Utf16Bytes(L"2027- 3- 7  8: 9: 5 : \tUpdateModule\t\x66f4\x65b0\x6210\x529f\r\n"));
}

TEST(UpdateLogFile, MissingResFolderWritesNothing)
{
    CScratchFolder dir(L"log");
    const std::wstring log = dir.Sub(L"res\\update.log");

    EXPECT_EQ(AppendUpdateLogLine(log.c_str(), L"abc"), -1);
    EXPECT_FALSE(PathExists(dir.Sub(L"res")));
    // No data folder at all: nothing is written anywhere.
    EXPECT_EQ(AppendUpdateLogLine(L"", L"abc"), -1);
}

TEST(UpdateLogFile, WaitsForAnotherWriterInsteadOfEmptyingTheFile)
{
    FixedClock clock;
    CScratchFolder dir(L"log");
    CreateDirectoryW(dir.Sub(L"res").c_str(), nullptr);
    const std::wstring log = dir.Sub(L"res\\update.log");
    ASSERT_TRUE(WriteFileBytes(log, Utf16Bytes(L"earlier line\r\n")));

    // Another process appending holds the file without sharing; it lets go shortly.
    HANDLE hHolder = CreateFileW(log.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 0, nullptr);
    ASSERT_NE(hHolder, INVALID_HANDLE_VALUE);
    std::thread release([hHolder] {
        Sleep(150);
        CloseHandle(hHolder);
    });
    const int nResult = AppendUpdateLogLine(log.c_str(), L"abc");
    release.join();

    EXPECT_EQ(nResult, 0);
    EXPECT_EQ(ReadFileBytes(log), Utf16Bytes(L"earlier line\r\n") + Utf16Bytes(kAbcLine));
}

TEST(UpdateLogFile, GivesUpOnAFileHeldForLongAndLeavesItIntact)
{
    CScratchFolder dir(L"log");
    CreateDirectoryW(dir.Sub(L"res").c_str(), nullptr);
    const std::wstring log = dir.Sub(L"res\\update.log");
    ASSERT_TRUE(WriteFileBytes(log, Utf16Bytes(L"earlier line\r\n")));

    HANDLE hHolder = CreateFileW(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hHolder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(AppendUpdateLogLine(log.c_str(), L"abc"), -1);
    CloseHandle(hHolder);

    EXPECT_EQ(ReadFileBytes(log), Utf16Bytes(L"earlier line\r\n"));
}

TEST(UpdateLogFile, LongMessagesAreWrittenWhole)
{
    FixedClock clock;
    CScratchFolder dir(L"log");
    CreateDirectoryW(dir.Sub(L"res").c_str(), nullptr);
    const std::wstring log = dir.Sub(L"res\\update.log");
    const std::wstring message(5000, L'm');

    ASSERT_EQ(AppendUpdateLogLine(log.c_str(), message.c_str()), 0);

    const std::string bytes = ReadFileBytes(log);
    EXPECT_EQ(bytes.size(), 2u * (36 + 5000 + 2));
    EXPECT_EQ(bytes.substr(bytes.size() - 6), Utf16Bytes(L"m\r\n"));
}

// ---- MD5 --------------------------------------------------------------------------------------

TEST(FileMd5, KnownDigestsInLowerCaseHex)
{
    CScratchFolder dir(L"md5");
    struct Case
    {
        std::string content;
        const wchar_t* digest;
    } cases[] = {
        {"", L"d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", L"900150983cd24fb0d6963f7d28e17f72"},
        {"The quick brown fox jumps over the lazy dog", L"9e107d9d372bb6826bd81d3542a419d6"},
    };
    for (const Case& c : cases) {
        const std::wstring file = dir.Sub(L"f.bin");
        ASSERT_TRUE(WriteFileBytes(file, c.content));
        CString strDigest;
        EXPECT_TRUE(GetFileMd5(file.c_str(), strDigest)) << c.content;
        EXPECT_EQ(Str(strDigest), c.digest) << c.content;
    }
}

TEST(FileMd5, FileLargerThanOneReadIsHashedWhole)
{
    CScratchFolder dir(L"md5");
    std::string content(200000, '\0');
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>((i * 7) % 251);
    const std::wstring file = dir.Sub(L"big.bin");
    ASSERT_TRUE(WriteFileBytes(file, content));

    CString strDigest;
    ASSERT_TRUE(GetFileMd5(file.c_str(), strDigest));
    EXPECT_EQ(Str(strDigest), L"933a1d4cb15c704ff3ef254fd45ad4fc");
}

TEST(FileMd5, DigestIsAppendedToTheCallersText)
{
    CScratchFolder dir(L"md5");
    const std::wstring file = dir.Sub(L"abc.txt");
    ASSERT_TRUE(WriteFileBytes(file, "abc"));

    CString strDigest(L"md5=");
    ASSERT_TRUE(GetFileMd5(file.c_str(), strDigest));
    EXPECT_EQ(Str(strDigest), L"md5=900150983cd24fb0d6963f7d28e17f72");
}

TEST(FileMd5, MissingFileFailsAndLeavesTheTextAlone)
{
    CScratchFolder dir(L"md5");
    CString strDigest(L"before");
    EXPECT_FALSE(GetFileMd5(dir.Sub(L"missing.exe").c_str(), strDigest));
    EXPECT_EQ(Str(strDigest), L"before");
}

TEST(FileMd5, FileIsClosedAfterTheDigest)
{
    CScratchFolder dir(L"md5");
    const std::wstring file = dir.Sub(L"closed.bin");
    ASSERT_TRUE(WriteFileBytes(file, std::string(100000, 'x')));

    CString strDigest;
    ASSERT_TRUE(GetFileMd5(file.c_str(), strDigest));
    HANDLE hAlone = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(hAlone, INVALID_HANDLE_VALUE) << "the digest left the file open";
    if (hAlone != INVALID_HANDLE_VALUE)
        CloseHandle(hAlone);
}

TEST(FileMd5, ReadFailingHalfWayGivesNoDigest)
{
    // A pipe whose writer goes away after some bytes: the first read succeeds, the next fails.
    const std::wstring name = L"\\\\.\\pipe\\torvel_md5_" + std::to_wstring(GetCurrentProcessId());
    HANDLE hWriter = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 65536,
                                      65536, 0, nullptr);
    ASSERT_NE(hWriter, INVALID_HANDLE_VALUE);
    std::thread writer([hWriter] {
        ConnectNamedPipe(hWriter, nullptr);
        DWORD put = 0;
        WriteFile(hWriter, "0123456789", 10, &put, nullptr);
        Sleep(100);
        CloseHandle(hWriter);
    });

    CString strDigest(L"kept");
    EXPECT_FALSE(GetFileMd5(name.c_str(), strDigest));
    writer.join();
    EXPECT_EQ(Str(strDigest), L"kept");
}
