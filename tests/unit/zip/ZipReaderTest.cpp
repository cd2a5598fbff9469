// The handle API extracting well-formed archives into real folders: names, folders, times,
// attributes, counts and handle checks.
#include "unit/zip/ZipTestSupport.h"

#include "support/FilesAndKeys.h"

namespace {

class ZipReaderTest : public ZipExtractFixture
{
};

}  // namespace

TEST_F(ZipReaderTest, StoredAndDeflatedExtractIdenticallyWithTheArchiveTime)
{
    ASSERT_TRUE(OpenEntries({Entry("stored.bin", Pattern(70000), 0), Entry("deflated.bin", Pattern(70000), 8)}));
    EXPECT_EQ(UnzipByName(0), UNZIP_OK);
    EXPECT_EQ(UnzipByName(1), UNZIP_OK);
    EXPECT_EQ(g_nLastUnzipResult, UNZIP_OK);
    EXPECT_EQ(FileAt(L"stored.bin"), Pattern(70000));
    EXPECT_EQ(FileAt(L"deflated.bin"), Pattern(70000));
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
    EXPECT_EQ(TreeIn(m_strBase), (std::vector<std::wstring>{L"deflated.bin", L"stored.bin"}));
}

TEST_F(ZipReaderTest, DescribesEntriesAndCountsThem)
{
    ASSERT_TRUE(OpenEntries({Entry("a.txt", Pattern(10)), Entry("\xE8\xAE\xBE\xE7\xBD\xAE.ini", Pattern(300), 0)}));
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
    EXPECT_EQ(FileAt(L"\u8BBE\u7F6E.ini"), Pattern(300));
}

TEST_F(ZipReaderTest, ExtendedTimestampGivesTheFileTimes)
{
    TestZipEntry e = Entry("ut.txt", Pattern(50));
    e.localExtra = CTestZipBuilder::ExtendedTimestamp(1, 1600000000);
    ASSERT_TRUE(OpenOne(e));
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
    ASSERT_TRUE(OpenEntries({Entry("one/two/deep.txt", Pattern(20)), Folder("empty/"), Folder("outer/inner/")}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(UnzipByName(i), UNZIP_OK) << i;
    EXPECT_EQ(TreeIn(m_strBase), (std::vector<std::wstring>{L"empty\\", L"one\\", L"one\\two\\",
                                                              L"one\\two\\deep.txt", L"outer\\",
                                                              L"outer\\inner\\"}));
}

TEST_F(ZipReaderTest, DrivePrefixesLeadingSlashesAndParentStepsStayInsideTheBase)
{
    ASSERT_TRUE(OpenEntries({Entry("C:\\folder\\..\\bare.txt", Pattern(5), 0), Entry("/rooted.txt", Pattern(6), 0),
                             Entry("x/../y/../z.txt", Pattern(7), 0)}));
    ZipEntryInfo info;
    ASSERT_EQ(ZipGetItem(m_hZip, 0, &info), UNZIP_OK);
    EXPECT_STREQ(info.szName, L"bare.txt");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(UnzipByName(i), UNZIP_OK) << i;
    EXPECT_EQ(Everything(),
              (std::vector<std::wstring>{L"base\\", L"base\\bare.txt", L"base\\rooted.txt", L"base\\z.txt"}));
}

TEST_F(ZipReaderTest, ArchiveBehindOtherDataAndBeforeALongCommentOpens)
{
    CTestZipBuilder builder;
    builder.SetPrefix(std::vector<uint8_t>(4096, 'M'));
    builder.SetComment(std::string(1500, '#'));
    builder.Add(Entry("inside.txt", Pattern(999)));
    ASSERT_TRUE(Open(builder.Build()));
    EXPECT_EQ(UnzipByName(0), UNZIP_OK);
    EXPECT_EQ(FileAt(L"inside.txt"), Pattern(999));
}

TEST_F(ZipReaderTest, EndRecordFartherThanTheSearchReachIsNotFound)
{
    CTestZipBuilder builder;
    builder.Add(Entry("a.txt", Pattern(10)));
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
    builder.Add(Entry("a.txt", Pattern(10)));
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
    builder.Add(Entry("cwd.txt", Pattern(3), 0));
    const std::vector<uint8_t> archive = builder.Build();

    WCHAR previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(m_strBase.c_str());
    HZIP hZip = ZipOpenMemory(archive.data(), DWORD(archive.size()));
    SetCurrentDirectoryW(previous);
    ASSERT_NE(hZip, nullptr);
    EXPECT_EQ(ZipUnzipItem(hZip, 0, L"cwd.txt"), UNZIP_OK);
    EXPECT_EQ(FileAt(L"cwd.txt"), Pattern(3));

    // Without a separator, one is added; a forward slash counts as one.
    const std::wstring plain = m_scratch.Sub(L"plain");
    CreateDirectoryW(plain.c_str(), nullptr);
    EXPECT_EQ(ZipSetBaseDir(hZip, plain.c_str()), UNZIP_OK);
    EXPECT_EQ(ZipUnzipItem(hZip, 0, L"p.txt"), UNZIP_OK);
    const std::wstring slash = m_scratch.Sub(L"slash/");
    CreateDirectoryW(slash.c_str(), nullptr);
    EXPECT_EQ(ZipSetBaseDir(hZip, slash.c_str()), UNZIP_OK);
    EXPECT_EQ(ZipUnzipItem(hZip, 0, L"s.txt"), UNZIP_OK);
    EXPECT_EQ(ZipClose(hZip), UNZIP_OK);
    EXPECT_EQ(Everything(),
              (std::vector<std::wstring>{L"base\\", L"base\\cwd.txt", L"plain\\", L"plain\\p.txt", L"slash\\",
                                         L"slash\\s.txt"}));
}

TEST_F(ZipReaderTest, AttributesAndAbsoluteCallerNames)
{
    TestZipEntry readOnly = Entry("locked.txt", Pattern(4), 0);
    readOnly.nExternalAttributes = 0x21;
    ASSERT_TRUE(OpenEntries({readOnly, Entry("free.txt", Pattern(8))}));
    EXPECT_EQ(UnzipByName(0), UNZIP_OK);
    EXPECT_EQ(GetFileAttributesW((m_strBase + L"locked.txt").c_str()),
              DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    // A name the caller gives as an absolute path is the caller's choice.
    const std::wstring elsewhere = m_scratch.Sub(L"elsewhere\\copy.txt");
    EXPECT_EQ(ZipUnzipItem(m_hZip, 1, elsewhere.c_str()), UNZIP_OK);
    EXPECT_EQ(FileBytes(elsewhere), Pattern(8));
}
