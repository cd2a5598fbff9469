// The reader's core on archives the tests write themselves: finding the directory, walking it,
// describing entries and streaming their data, well-formed and deliberately broken.
#include "unit/zip/ZipTestSupport.h"

namespace {

std::vector<uint8_t> Text(const char* text)
{
    return CTestZipBuilder::Bytes(text);
}

}  // namespace

TEST(ZipCoreOpen, StoredAndDeflatedEntriesReadBackIdentical)
{
    CTestZipBuilder builder;
    builder.Add(Entry("stored.bin", Pattern(40000), 0));
    builder.Add(Entry("deflated.bin", Pattern(40000), 8));
    builder.Add(Entry("empty.txt", {}, 8));
    const std::vector<uint8_t> archive = builder.Build();
    CZipCore zip;
    ASSERT_EQ(zip.Open(archive.data(), archive.size()), ZIPW_OK);
    EXPECT_EQ(zip.GetEntryCount(), 3);
    for (int i = 0; i < 2; ++i) {
        const ReadOutcome outcome = ReadAll(zip, i);
        EXPECT_EQ(outcome.nResult, 0) << i;
        EXPECT_EQ(outcome.data, Pattern(40000)) << i;
    }
    const ReadOutcome empty = ReadAll(zip, 2);
    EXPECT_EQ(empty.nResult, 0);
    EXPECT_TRUE(empty.data.empty());
    EXPECT_EQ(zip.GetBytesProduced(), 80000u);
}

TEST(ZipCoreOpen, FindsTheEndRecordBehindCommentsAndDataInFront)
{
    CTestZipBuilder builder;
    builder.SetPrefix(std::vector<uint8_t>(5000, 0xCC));
    builder.SetComment(std::string(1500, 'c'));
    builder.Add(Entry("a.txt", Text("alpha")));
    builder.Add(Entry("b.txt", Text("beta"), 0));
    const std::vector<uint8_t> archive = builder.Build();
    CZipCore zip;
    ASSERT_EQ(zip.Open(archive.data(), archive.size()), ZIPW_OK);
    EXPECT_EQ(ReadAll(zip, 0).data, Text("alpha"));
    EXPECT_EQ(ReadAll(zip, 1).data, Text("beta"));
}

TEST(ZipCoreOpen, EndRecordBeyondReachIsNotFound)
{
    std::vector<uint8_t> archive = OneEntryArchive(Entry("a.txt", Text("alpha")));
    const size_t recordAt = archive.size() - 22;
    std::vector<uint8_t> within = archive;
    within.resize(recordAt + 65535, 0);   // the record starts exactly 65,535 bytes before the end
    std::vector<uint8_t> beyond = archive;
    beyond.resize(recordAt + 65536, 0);
    CZipCore found, missing;
    EXPECT_EQ(found.Open(within.data(), within.size()), ZIPW_OK);
    EXPECT_EQ(missing.Open(beyond.data(), beyond.size()), ZIPW_BAD_ZIP);
}

TEST(ZipCoreOpen, RefusesBrokenEndRecords)
{
    TestZipLayout layout;
    const std::vector<uint8_t> good = OneEntryArchive(Entry("a.txt", Text("alpha")), &layout);
    struct Case
    {
        size_t nOffset;
        uint32_t nValue;
        int nWidth;
    } cases[] = {
        {4, 1, 2},                 // another disk
        {6, 1, 2},                 // directory on another disk
        {8, 2, 2},                 // counts differ
        {8, 0xFFFF, 2},            // ZIP64 marker in both counts
        {10, 0xFFFF, 2},
        {12, 0xFFFFFFFF, 4},       // ZIP64 size marker
        {16, 0xFFFFFFFF, 4},       // ZIP64 offset marker
        {16, 0x7FFFFFF0, 4},       // directory ends after the record
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        if (c.nWidth == 2)
            PutLe16(bad, layout.nEndRecord + c.nOffset, uint16_t(c.nValue));
        else
            PutLe32(bad, layout.nEndRecord + c.nOffset, c.nValue);
        if (c.nOffset == 8 && c.nValue == 0xFFFF)
            PutLe16(bad, layout.nEndRecord + 10, 0xFFFF);
        CZipCore zip;
        EXPECT_EQ(zip.Open(bad.data(), bad.size()), ZIPW_BAD_ZIP) << c.nOffset << " " << c.nValue;
    }
    CZipCore tiny;
    EXPECT_EQ(tiny.Open(good.data(), 3), ZIPW_BAD_ZIP);
}

TEST(ZipCoreOpen, RefusesMoreEntriesThanTheDirectoryCanHold)
{
    TestZipLayout layout;
    std::vector<uint8_t> archive = OneEntryArchive(Entry("a.txt", Text("alpha")), &layout);
    PutLe16(archive, layout.nEndRecord + 8, 200);
    PutLe16(archive, layout.nEndRecord + 10, 200);
    CZipCore zip;
    EXPECT_EQ(zip.Open(archive.data(), archive.size()), ZIPW_BAD_ZIP);
}

TEST(ZipCoreOpen, SecondOpenIsRefused)
{
    const std::vector<uint8_t> archive = OneEntryArchive(Entry("a.txt", Text("alpha")));
    CZipCore zip;
    ASSERT_EQ(zip.Open(archive.data(), archive.size()), ZIPW_OK);
    EXPECT_EQ(zip.Open(archive.data(), archive.size()), ZIPW_BAD_ARG);
}

TEST(ZipCoreWalk, BrokenHeaderStopsTheWalkThere)
{
    CTestZipBuilder builder;
    builder.Add(Entry("one.txt", Text("1")));
    builder.Add(Entry("two.txt", Text("2")));
    builder.Add(Entry("three.txt", Text("3")));
    TestZipLayout layout;
    std::vector<uint8_t> archive = builder.Build(&layout);
    PutLe32(archive, layout.centralOffsets[1], 0x12345678);
    CZipCore zip;
    ASSERT_EQ(zip.Open(archive.data(), archive.size()), ZIPW_OK);
    EXPECT_EQ(zip.GetEntryCount(), 3);
    ZipEntryDesc desc;
    EXPECT_EQ(zip.Describe(0, desc), ZIPW_OK);
    EXPECT_EQ(zip.Describe(1, desc), ZIPW_BAD_ZIP);
    EXPECT_EQ(zip.Describe(2, desc), ZIPW_BAD_ZIP);
    EXPECT_EQ(zip.OpenEntry(2), ZIPW_BAD_ZIP);
    EXPECT_EQ(zip.Describe(-1, desc), ZIPW_BAD_ARG);
    EXPECT_EQ(zip.Describe(3, desc), ZIPW_BAD_ARG);
    EXPECT_EQ(ReadAll(zip, 0).data, Text("1"));
}

TEST(ZipCoreWalk, DescribesInAnyOrder)
{
    CTestZipBuilder builder;
    for (int i = 0; i < 50; ++i)
        builder.Add(Entry(("f" + std::to_string(i) + ".txt").c_str(), Text("x"), 0));
    const std::vector<uint8_t> archive = builder.Build();
    CZipCore zip;
    ASSERT_EQ(zip.Open(archive.data(), archive.size()), ZIPW_OK);
    ZipEntryDesc desc;
    ASSERT_EQ(zip.Describe(49, desc), ZIPW_OK);
    EXPECT_EQ(desc.strName, u"f49.txt");
    ASSERT_EQ(zip.Describe(3, desc), ZIPW_OK);
    EXPECT_EQ(desc.strName, u"f3.txt");
    EXPECT_EQ(desc.nIndex, 3);
}

TEST(ZipCoreDescribe, SplitsDosTimeAndReadsExtendedTimestamp)
{
    TestZipEntry e = Entry("t.txt", Text("time"));
    e.nDosDateTime = (uint32_t((2021 - 1980) << 9 | 7 << 5 | 14) << 16) | (13 << 11 | 45 << 5 | 30 / 2);
    e.localExtra = {0x99, 0x99, 2, 0, 0xAA, 0xBB};   // an unknown record comes first
    const std::vector<uint8_t> ut = CTestZipBuilder::ExtendedTimestamp(7, 1600000000, 1600000100, -5);
    e.localExtra.insert(e.localExtra.end(), ut.begin(), ut.end());
    ZipEntryDesc desc;
    ASSERT_EQ(DescribeFirst(OneEntryArchive(e), desc), ZIPW_OK);
    EXPECT_EQ(desc.dosTime.nYear, 2021);
    EXPECT_EQ(desc.dosTime.nMonth, 7);
    EXPECT_EQ(desc.dosTime.nDay, 14);
    EXPECT_EQ(desc.dosTime.nHour, 13);
    EXPECT_EQ(desc.dosTime.nMinute, 45);
    EXPECT_EQ(desc.dosTime.nSecond, 30);
    EXPECT_TRUE(desc.bHasModTime && desc.bHasAccessTime && desc.bHasCreateTime);
    EXPECT_EQ(desc.nModTime, 1600000000);
    EXPECT_EQ(desc.nAccessTime, 1600000100);
    EXPECT_EQ(desc.nCreateTime, -5);
    EXPECT_EQ(desc.nCompressedSize, 6);
    EXPECT_EQ(desc.nUncompressedSize, 4);
}

TEST(ZipCoreDescribe, TimestampRecordCutShortGivesOnlyWhatFits)
{
    TestZipEntry e = Entry("t.txt", Text("time"));
    // Claims modification and access times but its size holds only the first.
    e.localExtra = {0x55, 0x54, 5, 0, 3, 0x10, 0x20, 0x30, 0x40, 0xEE, 0xEE, 0xEE, 0xEE};
    ZipEntryDesc desc;
    ASSERT_EQ(DescribeFirst(OneEntryArchive(e), desc), ZIPW_OK);
    EXPECT_TRUE(desc.bHasModTime);
    EXPECT_EQ(desc.nModTime, 0x40302010);
    EXPECT_FALSE(desc.bHasAccessTime);
}

TEST(ZipCoreDescribe, MapsAttributesByHost)
{
    struct Case
    {
        uint16_t nMadeBy;
        uint32_t nExternal;
        uint32_t nExpected;
    } cases[] = {
        {20, 0x21, 0x21},                 // FAT: read-only archive
        {0x0B14, 0x16, 0x16},             // NTFS: hidden system directory
        {0x0314, 0x81A40000, 0x20},       // Unix rw-r--r-- file
        {0x0314, 0x81240000, 0x21},       // Unix r--r--r-- file: read-only
        {0x0314, 0x41ED0000, 0x30},       // Unix folder
    };
    for (const Case& c : cases) {
        TestZipEntry e = Entry("x", Text("x"), 0);
        e.nVersionMadeBy = c.nMadeBy;
        e.nExternalAttributes = c.nExternal;
        ZipEntryDesc desc;
        ASSERT_EQ(DescribeFirst(OneEntryArchive(e), desc), ZIPW_OK);
        EXPECT_EQ(desc.nAttributes, c.nExpected) << std::hex << c.nMadeBy << " " << c.nExternal;
    }
}

TEST(ZipCoreDescribe, RefusesLongAndMalformedNames)
{
    const std::string longest(259, 'n');
    const std::string tooLong(260, 'n');
    struct Case
    {
        std::string strName;
        int nExpected;
    } cases[] = {
        {longest, ZIPW_OK},
        {tooLong, ZIPW_BAD_NAME},
        {"bad\xC3(.txt", ZIPW_BAD_NAME},
        {"overlong\xC0\xAF.txt", ZIPW_BAD_NAME},
        {"surrogate\xED\xA0\x80.txt", ZIPW_BAD_NAME},
        {std::string("zero\0byte", 9), ZIPW_BAD_NAME},
        {"\xE4\xB8\xAD\xE6\x96\x87.txt", ZIPW_OK},
    };
    for (const Case& c : cases) {
        TestZipEntry e = Entry("", Text("x"), 0);
        e.strName = c.strName;
        ZipEntryDesc desc;
        EXPECT_EQ(DescribeFirst(OneEntryArchive(e), desc), c.nExpected) << c.strName.size();
    }
}
