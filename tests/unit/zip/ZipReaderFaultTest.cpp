// Hostile and broken archives through the handle API: each gives its result code, writes nothing
// outside the base folder, leaves no partial file and never destroys a file already there.
#include "unit/zip/ZipTestSupport.h"

#include "support/FilesAndKeys.h"

namespace {

class ZipReaderFaultTest : public ZipExtractFixture
{
};

const std::vector<std::wstring> kOnlyTheBase{L"base\\"};

}  // namespace

TEST_F(ZipReaderFaultTest, NamesThatLeaveTheBaseOrNameDevicesAreRefused)
{
    const char* const names[] = {
        "../up.txt", "..\\up.txt", "a/../../up.txt", "sub/../../up.txt", "./dot.txt", "sub/./x.txt",
        "sub/.../x.txt", "sub/.. /x.txt", "sub/ /x.txt", "con", "sub/NUL.txt", "COM1.log", "lpt3",
        "b.txt:stream", "pipe|.txt", "ask?.txt", "star*.txt", "<lt.txt", "gt>.txt", "quote\".txt",
        "tab\t.txt", "bell\x07.txt", "../folder/",
    };
    for (const char* name : names) {
        TestZipEntry e = Entry(name, Pattern(10), 0);
        if (name[strlen(name) - 1] == '/')
            e.nExternalAttributes = 0x10;
        ASSERT_TRUE(OpenOne(e)) << name;
        EXPECT_EQ(UnzipByName(0), UNZIP_NO_FILE) << name;
        EXPECT_EQ(g_nLastUnzipResult, UNZIP_NO_FILE) << name;
        EXPECT_EQ(Everything(), kOnlyTheBase) << name;
    }
}

TEST_F(ZipReaderFaultTest, CallerNamesThatLeaveTheBaseAreRefused)
{
    ASSERT_TRUE(OpenOne(Entry("fine.txt", Pattern(10))));
    for (const wchar_t* name : {L"..\\escape.txt", L"sub\\..\\..\\escape.txt", L"x\\..\\.\\..\\e.txt",
                                L"C:relative.txt", L"", L"dir\\"}) {
        EXPECT_EQ(ZipUnzipItem(m_hZip, 0, name), UNZIP_NO_FILE);
        EXPECT_EQ(Everything(), kOnlyTheBase);
    }
    EXPECT_EQ(ZipUnzipItem(m_hZip, 0, nullptr), UNZIP_BAD_ARGS);
    EXPECT_EQ(ZipUnzipItem(m_hZip, -1, L"fine.txt"), UNZIP_BAD_ARGS);
    EXPECT_EQ(ZipUnzipItem(m_hZip, 1, L"fine.txt"), UNZIP_BAD_ARGS);
    EXPECT_EQ(Everything(), kOnlyTheBase);
}

TEST_F(ZipReaderFaultTest, BrokenDataFailsWithoutTouchingTheFileThere)
{
    const std::vector<uint8_t> content = Pattern(60000);
    const std::vector<uint8_t> packed = CTestZipBuilder::Deflate(content);
    std::vector<TestZipEntry> broken;
    TestZipEntry truncated = Entry("target.bin", content);
    truncated.bUseRawPacked = true;
    truncated.rawPacked.assign(packed.begin(), packed.end() - 50);
    broken.push_back(truncated);
    TestZipEntry badCrc = Entry("target.bin", content);
    badCrc.nDeclaredCrc = 0xDEADBEEF;
    broken.push_back(badCrc);
    TestZipEntry tooLong = Entry("target.bin", content);
    tooLong.nDeclaredSize = 59999;
    broken.push_back(tooLong);
    TestZipEntry tooShort = Entry("target.bin", content);
    tooShort.nDeclaredSize = 60001;
    broken.push_back(tooShort);
    TestZipEntry storedMismatch = Entry("target.bin", content, 0);
    storedMismatch.nDeclaredSize = 100;
    broken.push_back(storedMismatch);

    const std::vector<uint8_t> old = CTestZipBuilder::Bytes("the player's file");
    ASSERT_TRUE(WriteFileBytes(m_strBase + L"target.bin", std::string(old.begin(), old.end())));
    for (size_t i = 0; i < broken.size(); ++i) {
        ASSERT_TRUE(OpenOne(broken[i])) << i;
        EXPECT_EQ(UnzipByName(0), UNZIP_INFLATE_FAILED) << i;
        EXPECT_EQ(FileAt(L"target.bin"), old) << i;
        EXPECT_EQ(Everything(), (std::vector<std::wstring>{L"base\\", L"base\\target.bin"})) << i;
    }
    // A broken entry with no file there leaves nothing at all.
    DeleteFileW((m_strBase + L"target.bin").c_str());
    ASSERT_TRUE(OpenOne(badCrc));
    EXPECT_EQ(UnzipByName(0), UNZIP_INFLATE_FAILED);
    EXPECT_EQ(Everything(), kOnlyTheBase);
}

TEST_F(ZipReaderFaultTest, EncryptedEntryIsRefusedBeforeAnyFileExists)
{
    TestZipEntry e = Entry("sub/secret.txt", Pattern(100), 0);
    e.nFlags = 1;
    ASSERT_TRUE(OpenOne(e));
    EXPECT_EQ(UnzipByName(0), UNZIP_BAD_PASSWORD);
    EXPECT_EQ(Everything(), kOnlyTheBase);
}

TEST_F(ZipReaderFaultTest, MismatchedHeadersAndOverlapsAreCorrupt)
{
    CTestZipBuilder builder;
    builder.Add(Entry("a.bin", Pattern(500)));
    builder.Add(Entry("b.bin", Pattern(500)));
    TestZipLayout layout;
    std::vector<uint8_t> methods = builder.Build(&layout);
    PutLe16(methods, layout.localOffsets[0] + 8, 0);   // local header says stored
    ASSERT_TRUE(Open(methods));
    ZipEntryInfo info;
    EXPECT_EQ(ZipGetItem(m_hZip, 0, &info), UNZIP_CORRUPT);
    EXPECT_EQ(ZipUnzipItem(m_hZip, 0, L"a.bin"), UNZIP_CORRUPT);
    EXPECT_EQ(UnzipByName(1), UNZIP_OK);

    std::vector<uint8_t> twins = builder.Build(&layout);
    PutLe32(twins, layout.centralOffsets[1] + 42, 0);   // both entries claim the first data
    ASSERT_TRUE(Open(twins));
    EXPECT_EQ(ZipUnzipItem(m_hZip, 1, L"twin.bin"), UNZIP_CORRUPT);

    std::vector<uint8_t> walker = builder.Build(&layout);
    PutLe32(walker, layout.centralOffsets[1], 0);       // second header lost its signature
    ASSERT_TRUE(Open(walker));
    EXPECT_EQ(ZipGetItem(m_hZip, 1, &info), UNZIP_CORRUPT);
    EXPECT_EQ(ZipUnzipItem(m_hZip, 1, L"walk.bin"), UNZIP_CORRUPT);

    std::vector<uint8_t> huge = builder.Build(&layout);
    PutLe32(huge, layout.centralOffsets[0] + 24, 0x80000000);
    PutLe32(huge, layout.localOffsets[0] + 22, 0x80000000);
    ASSERT_TRUE(Open(huge));
    EXPECT_EQ(ZipGetItem(m_hZip, 0, &info), UNZIP_CORRUPT);
    EXPECT_EQ(Everything(), (std::vector<std::wstring>{L"base\\", L"base\\b.bin"}));
}

TEST_F(ZipReaderFaultTest, LongAndMalformedStoredNamesAreRefusedNotCut)
{
    ZipEntryInfo info;
    ASSERT_TRUE(OpenOne(Entry(std::string(260, 'L').c_str(), Pattern(4), 0)));
    EXPECT_EQ(ZipGetItem(m_hZip, 0, &info), UNZIP_CORRUPT);
    EXPECT_EQ(ZipUnzipItem(m_hZip, 0, L"short.txt"), UNZIP_CORRUPT);
    ASSERT_TRUE(OpenOne(Entry("bad\xFF.txt", Pattern(4), 0)));
    EXPECT_EQ(ZipGetItem(m_hZip, 0, &info), UNZIP_CORRUPT);
    EXPECT_EQ(Everything(), kOnlyTheBase);
}

TEST_F(ZipReaderFaultTest, FoldersAndPathsThatDoNotFitAreRefused)
{
    ASSERT_TRUE(OpenOne(Entry("n.txt", Pattern(4), 0)));
    const std::wstring tooLong(MAX_PATH - 1, L'd');   // no room left for the separator
    EXPECT_EQ(ZipSetBaseDir(m_hZip, tooLong.c_str()), UNZIP_BAD_ARGS);
    EXPECT_EQ(ZipUnzipItem(m_hZip, 0, L"n.txt"), UNZIP_NO_FILE);
    EXPECT_EQ(ZipSetBaseDir(m_hZip, nullptr), UNZIP_BAD_ARGS);

    // The base fits, the output path does not.
    std::wstring deep = m_strBase;
    deep.append(MAX_PATH - 5 - deep.size(), L'x');
    EXPECT_EQ(ZipSetBaseDir(m_hZip, deep.c_str()), UNZIP_OK);
    EXPECT_EQ(ZipUnzipItem(m_hZip, 0, L"longer-name.txt"), UNZIP_NO_FILE);
    EXPECT_EQ(Everything(), kOnlyTheBase);
}

TEST_F(ZipReaderFaultTest, OutputPerHandleIsCapped)
{
    // Two entries of zeros that squeeze into a few kilobytes but together pass the allowance.
    const size_t size = size_t(kZipMaxTotalOutput / 2 + 4096);
    ASSERT_TRUE(OpenEntries({Entry("first.bin", std::vector<uint8_t>(size, 0)),
                             Entry("second.bin", std::vector<uint8_t>(size, 0))}));
    EXPECT_LT(m_archive.size(), 40000u);
    EXPECT_EQ(UnzipByName(0), UNZIP_OK);
    EXPECT_EQ(UnzipByName(1), UNZIP_INFLATE_FAILED);
    EXPECT_EQ(Everything(), (std::vector<std::wstring>{L"base\\", L"base\\first.bin"}));
}

TEST_F(ZipReaderFaultTest, ImpossibleEndRecordsAreRefusedAtOpening)
{
    CTestZipBuilder builder;
    builder.Add(Entry("a.bin", Pattern(100)));
    TestZipLayout layout;
    const std::vector<uint8_t> good = builder.Build(&layout);
    std::vector<uint8_t> crowded = good;   // 1,000 entries in a directory of one header
    PutLe16(crowded, layout.nEndRecord + 8, 1000);
    PutLe16(crowded, layout.nEndRecord + 10, 1000);
    std::vector<uint8_t> zip64 = good;
    PutLe32(zip64, layout.nEndRecord + 16, 0xFFFFFFFF);
    std::vector<uint8_t> spanned = good;
    PutLe16(spanned, layout.nEndRecord + 4, 1);
    for (const std::vector<uint8_t>* archive : {&crowded, &zip64, &spanned}) {
        g_nLastUnzipResult = UNZIP_OK;
        EXPECT_EQ(ZipOpenMemory(archive->data(), DWORD(archive->size())), nullptr);
        EXPECT_EQ(g_nLastUnzipResult, UNZIP_NO_FILE);
    }
    EXPECT_EQ(ZipOpenMemory(nullptr, 10), nullptr);
    EXPECT_EQ(g_nLastUnzipResult, UNZIP_NO_FILE);
}
