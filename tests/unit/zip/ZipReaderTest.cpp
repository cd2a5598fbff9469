// The handle API extracting well-formed archives into real folders: names, folders, times,
// attributes, counts and handle checks.
#include "start/zip/ZipReader.h"
#include "unit/zip/ScratchFolder.h"
#include "unit/zip/TestZipBuilder.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Content(size_t size)
{
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < size; ++i)
        data[i] = uint8_t("settings archive "[i % 17] ^ (i >> 9));
    return data;
}

TestZipEntry Entry(const char* name, std::vector<uint8_t> data, uint16_t method = 8)
{
    TestZipEntry e;
    e.strName = name;
    e.data = std::move(data);
    e.nMethod = method;
    return e;
}

TestZipEntry Folder(const char* name)
{
    TestZipEntry e = Entry(name, {}, 0);
    e.nExternalAttributes = 0x10;
    return e;
}

class ZipReaderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_strBase = m_scratch.Path() + L"base\\";
        CreateDirectoryW(m_strBase.c_str(), nullptr);
    }
    void TearDown() override
    {
        if (m_hZip)
            ZipClose(m_hZip);
    }
    HZIP Open(std::vector<uint8_t> archive)
    {
        m_archive = std::move(archive);
        m_hZip = ZipOpenMemory(m_archive.data(), DWORD(m_archive.size()));
        if (m_hZip)
            ZipSetBaseDir(m_hZip, m_strBase.c_str());
        return m_hZip;
    }
    // Describes entry i and extracts it under its own name.
    DWORD UnzipByName(int i)
    {
        ZipEntryInfo info;
        const DWORD described = ZipGetItem(m_hZip, i, &info);
        return described != UNZIP_OK ? described : ZipUnzipItem(m_hZip, i, info.szName);
    }
    std::vector<uint8_t> FileAt(const wchar_t* relative)
    {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadWholeFile(m_strBase + relative, bytes)) << "missing file";
        return bytes;
    }

    CScratchFolder m_scratch;
    std::wstring m_strBase;
    std::vector<uint8_t> m_archive;
    HZIP m_hZip = nullptr;
};

}  // namespace

TEST_F(ZipReaderTest, StoredAndDeflatedExtractIdenticallyWithTheArchiveTime)
{
    CTestZipBuilder builder;
    builder.Add(Entry("stored.bin", Content(70000), 0));
    builder.Add(Entry("deflated.bin", Content(70000), 8));
    ASSERT_TRUE(Open(builder.Build()));
    EXPECT_EQ(UnzipByName(0), UNZIP_OK);
    EXPECT_EQ(UnzipByName(1), UNZIP_OK);
    EXPECT_EQ(g_nLastUnzipResult, UNZIP_OK);
    EXPECT_EQ(FileAt(L"stored.bin"), Content(70000));
    EXPECT_EQ(FileAt(L"deflated.bin"), Content(70000));
    for (const wchar_t* name : {L"stored.bin", L"deflated.bin"}) {
        const SYSTEMTIME st = LocalWriteTime(m_strBase + name);
        EXPECT_EQ(st.wYear, 2026);
        EXPECT_EQ(st.wMonth, 1);
        EXPECT_EQ(st.wDay, 10);
        EXPECT_EQ(st.wHour, 13);
        EXPECT_EQ(st.wMinute, 26);
        EXPECT_EQ(st.wSecond, 52);
        EXPECT_EQ(GetFileAttributesW((m_strBase + name).c_str()), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    }
    EXPECT_EQ(ListTree(m_strBase), (std::vector<std::wstring>{L"deflated.bin", L"stored.bin"}));
}

TEST_F(ZipReaderTest, DescribesEntriesAndCountsThem)
{
    CTestZipBuilder builder;
    builder.Add(Entry("a.txt", Content(10)));
    builder.Add(Entry("\xE8\xAE\xBE\xE7\xBD\xAE.ini", Content(300), 0));
    ASSERT_TRUE(Open(builder.Build()));
    ZipEntryInfo info;
    ASSERT_EQ(ZipGetItem(m_hZip, -1, &info), UNZIP_OK);
    EXPECT_EQ(info.nIndex, 2);
    EXPECT_STREQ(info.szName, L"");
    EXPECT_EQ(info.nUncompressedSize, 0);
    ASSERT_EQ(ZipGetItem(m_hZip, 1, &info), UNZIP_OK);
    EXPECT_EQ(info.nIndex, 1);
    EXPECT_STREQ(info.szName, L"\u8BBE\u7F6E.ini");
    EXPECT_EQ(info.nCompressedSize, 300);
    EXPECT_EQ(info.nUncompressedSize, 300);
    EXPECT_EQ(info.dwAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(ZipGetItem(m_hZip, 2, &info), UNZIP_BAD_ARGS);
    EXPECT_EQ(g_nLastUnzipResult, UNZIP_BAD_ARGS);
    EXPECT_EQ(ZipGetItem(m_hZip, -2, &info), UNZIP_BAD_ARGS);
    EXPECT_EQ(ZipGetItem(m_hZip, 0, nullptr), UNZIP_BAD_ARGS);
    EXPECT_EQ(UnzipByName(1), UNZIP_OK);
    EXPECT_EQ(FileAt(L"\u8BBE\u7F6E.ini"), Content(300));
}

TEST_F(ZipReaderTest, ExtendedTimestampGivesTheFileTimes)
{
    TestZipEntry e = Entry("ut.txt", Content(50));
    e.localExtra = CTestZipBuilder::ExtendedTimestamp(1, 1600000000);
    CTestZipBuilder builder;
    builder.Add(e);
    ASSERT_TRUE(Open(builder.Build()));
    ZipEntryInfo info;
    ASSERT_EQ(ZipGetItem(m_hZip, 0, &info), UNZIP_OK);
    const ULONGLONG modified = ULONGLONG(info.ftModified.dwHighDateTime) << 32 | info.ftModified.dwLowDateTime;
    EXPECT_EQ(modified, 132444736000000000ULL);
    ASSERT_EQ(ZipUnzipItem(m_hZip, 0, info.szName), UNZIP_OK);
    const FILETIME written = WriteTime(m_strBase + L"ut.txt");
    EXPECT_EQ(ULONGLONG(written.dwHighDateTime) << 32 | written.dwLowDateTime, 132444736000000000ULL);
}

TEST_F(ZipReaderTest, FoldersAreCreatedOuterFirstAndDirectoryEntriesMakeNoFile)
{
    CTestZipBuilder builder;
    builder.Add(Entry("one/two/deep.txt", Content(20)));
    builder.Add(Folder("empty/"));
    builder.Add(Folder("outer/inner/"));
    ASSERT_TRUE(Open(builder.Build()));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(UnzipByName(i), UNZIP_OK) << i;
    EXPECT_EQ(ListTree(m_strBase), (std::vector<std::wstring>{L"empty\\", L"one\\", L"one\\two\\",
                                                              L"one\\two\\deep.txt", L"outer\\",
                                                              L"outer\\inner\\"}));
}

TEST_F(ZipReaderTest, DrivePrefixesLeadingSlashesAndParentStepsStayInsideTheBase)
{
    CTestZipBuilder builder;
    builder.Add(Entry("C:\\folder\\..\\bare.txt", Content(5), 0));
    builder.Add(Entry("/rooted.txt", Content(6), 0));
    builder.Add(Entry("x/../y/../z.txt", Content(7), 0));
    ASSERT_TRUE(Open(builder.Build()));
    ZipEntryInfo info;
    ASSERT_EQ(ZipGetItem(m_hZip, 0, &info), UNZIP_OK);
    EXPECT_STREQ(info.szName, L"bare.txt");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(UnzipByName(i), UNZIP_OK) << i;
    EXPECT_EQ(ListTree(m_scratch.Path()),
              (std::vector<std::wstring>{L"base\\", L"base\\bare.txt", L"base\\rooted.txt", L"base\\z.txt"}));
}

TEST_F(ZipReaderTest, ArchiveBehindOtherDataAndBeforeALongCommentOpens)
{
    CTestZipBuilder builder;
    builder.SetPrefix(std::vector<uint8_t>(4096, 'M'));
    builder.SetComment(std::string(1500, '#'));
    builder.Add(Entry("inside.txt", Content(999)));
    ASSERT_TRUE(Open(builder.Build()));
    EXPECT_EQ(UnzipByName(0), UNZIP_OK);
    EXPECT_EQ(FileAt(L"inside.txt"), Content(999));
}

TEST_F(ZipReaderTest, EndRecordFartherThanTheSearchReachIsNotFound)
{
    CTestZipBuilder builder;
    builder.Add(Entry("a.txt", Content(10)));
    std::vector<uint8_t> archive = builder.Build();
    archive.resize(archive.size() - 22 + 65536, 0);
    g_nLastUnzipResult = UNZIP_OK;
    EXPECT_EQ(Open(archive), nullptr);
    EXPECT_EQ(g_nLastUnzipResult, UNZIP_NO_FILE);
    EXPECT_EQ(ZipOpenMemory("PK", 2), nullptr);
    EXPECT_EQ(g_nLastUnzipResult, UNZIP_NO_FILE);
}

TEST_F(ZipReaderTest, HandlesAreChecked)
{
    ZipEntryInfo info;
    EXPECT_EQ(ZipGetItem(nullptr, -1, &info), UNZIP_BAD_ARGS);
    EXPECT_EQ(ZipUnzipItem(nullptr, 0, L"x"), UNZIP_BAD_ARGS);
    EXPECT_EQ(ZipSetBaseDir(nullptr, L"C:\\"), UNZIP_BAD_ARGS);
    EXPECT_EQ(ZipClose(nullptr), UNZIP_BAD_ARGS);
    ZipHandleRecord writer{2, nullptr};
    EXPECT_EQ(ZipGetItem(&writer, -1, &info), UNZIP_WRONG_MODE);
    EXPECT_EQ(ZipClose(&writer), UNZIP_WRONG_MODE);
    EXPECT_EQ(g_nLastUnzipResult, UNZIP_WRONG_MODE);

    CTestZipBuilder builder;
    builder.Add(Entry("a.txt", Content(10)));
    const std::vector<uint8_t> archive = builder.Build();
    HZIP hZip = ZipOpenMemory(archive.data(), DWORD(archive.size()));
    ASSERT_NE(hZip, nullptr);
    EXPECT_EQ(hZip->nKind, 1u);
    EXPECT_EQ(hZip->pReader->Open(archive.data(), DWORD(archive.size())), UNZIP_NOT_READY);
    EXPECT_EQ(ZipClose(hZip), UNZIP_OK);
}

TEST_F(ZipReaderTest, BaseFolderGetsItsSeparatorAndStartsAsTheCurrentFolder)
{
    CTestZipBuilder builder;
    builder.Add(Entry("cwd.txt", Content(3), 0));
    const std::vector<uint8_t> archive = builder.Build();

    WCHAR previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(m_strBase.c_str());
    HZIP hZip = ZipOpenMemory(archive.data(), DWORD(archive.size()));
    SetCurrentDirectoryW(previous);
    ASSERT_NE(hZip, nullptr);
    EXPECT_EQ(ZipUnzipItem(hZip, 0, L"cwd.txt"), UNZIP_OK);
    EXPECT_EQ(FileAt(L"cwd.txt"), Content(3));

    // Without a separator, one is added; a forward slash counts as one.
    const std::wstring plain = m_scratch.Path() + L"plain";
    CreateDirectoryW(plain.c_str(), nullptr);
    EXPECT_EQ(ZipSetBaseDir(hZip, plain.c_str()), UNZIP_OK);
    EXPECT_EQ(ZipUnzipItem(hZip, 0, L"p.txt"), UNZIP_OK);
    const std::wstring slash = m_scratch.Path() + L"slash/";
    CreateDirectoryW(slash.c_str(), nullptr);
    EXPECT_EQ(ZipSetBaseDir(hZip, slash.c_str()), UNZIP_OK);
    EXPECT_EQ(ZipUnzipItem(hZip, 0, L"s.txt"), UNZIP_OK);
    EXPECT_EQ(ZipClose(hZip), UNZIP_OK);
    EXPECT_EQ(ListTree(m_scratch.Path()),
              (std::vector<std::wstring>{L"base\\", L"base\\cwd.txt", L"plain\\", L"plain\\p.txt", L"slash\\",
                                         L"slash\\s.txt"}));
}

TEST_F(ZipReaderTest, AttributesAndAbsoluteCallerNames)
{
    TestZipEntry readOnly = Entry("locked.txt", Content(4), 0);
    readOnly.nExternalAttributes = 0x21;
    CTestZipBuilder builder;
    builder.Add(readOnly);
    builder.Add(Entry("free.txt", Content(8)));
    ASSERT_TRUE(Open(builder.Build()));
    EXPECT_EQ(UnzipByName(0), UNZIP_OK);
    EXPECT_EQ(GetFileAttributesW((m_strBase + L"locked.txt").c_str()),
              DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    // A name the caller gives as an absolute path is the caller's choice.
    const std::wstring elsewhere = m_scratch.Path() + L"elsewhere\\copy.txt";
    EXPECT_EQ(ZipUnzipItem(m_hZip, 1, elsewhere.c_str()), UNZIP_OK);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(elsewhere, bytes));
    EXPECT_EQ(bytes, Content(8));
}
