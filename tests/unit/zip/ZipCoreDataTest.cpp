// Entry data that does not match its declaration, entries that overlap, and the output allowance.
#include "unit/zip/ZipTestSupport.h"

#include <zlib.h>

namespace {

// Opens the one-entry archive and reads the entry; the result of the last call.
int ReadResult(const std::vector<uint8_t>& archive, uint64_t nAllowance = kZipMaxTotalOutput)
{
    CZipCore zip(nAllowance);
    if (zip.Open(archive.data(), archive.size()) != ZIPW_OK)
        return 1;
    return ReadAll(zip, 0).nResult;
}

}  // namespace

TEST(ZipCoreData, DeflateStreamMustMatchItsDeclaration)
{
    const std::vector<uint8_t> content = Pattern(50000);
    const std::vector<uint8_t> packed = CTestZipBuilder::Deflate(content);

    TestZipEntry exact = Entry("ok.bin", content);
    EXPECT_EQ(ReadResult(OneEntryArchive(exact)), 0);

    TestZipEntry truncated = exact;   // the stream stops before its end
    truncated.bUseRawPacked = true;
    truncated.rawPacked.assign(packed.begin(), packed.end() - 20);
    EXPECT_EQ(ReadResult(OneEntryArchive(truncated)), ZIPW_BAD_DATA);

    TestZipEntry longer = exact;      // produces more than declared
    longer.nDeclaredSize = 49999;
    longer.nDeclaredCrc = int64_t(CTestZipBuilder::Crc({content.begin(), content.end() - 1}));
    EXPECT_EQ(ReadResult(OneEntryArchive(longer)), ZIPW_BAD_DATA);

    TestZipEntry shorter = exact;     // ends before the declared size
    shorter.nDeclaredSize = 50001;
    EXPECT_EQ(ReadResult(OneEntryArchive(shorter)), ZIPW_BAD_DATA);

    TestZipEntry trailing = exact;    // bytes left over after the end of the stream
    trailing.bUseRawPacked = true;
    trailing.rawPacked = packed;
    trailing.rawPacked.push_back(0);
    EXPECT_EQ(ReadResult(OneEntryArchive(trailing)), ZIPW_BAD_DATA);

    TestZipEntry garbage = exact;     // not a deflate stream at all
    garbage.bUseRawPacked = true;
    garbage.rawPacked.assign(100, 0xFF);
    EXPECT_EQ(ReadResult(OneEntryArchive(garbage)), Z_DATA_ERROR);

    TestZipEntry empty = exact;       // nothing stored although content is declared
    empty.bUseRawPacked = true;
    empty.rawPacked.clear();
    EXPECT_EQ(ReadResult(OneEntryArchive(empty)), ZIPW_BAD_DATA);
}

TEST(ZipCoreData, CrcMismatchIsAFailure)
{
    TestZipEntry deflated = Entry("d.bin", Pattern(3000));
    deflated.nDeclaredCrc = 0x12345678;
    EXPECT_EQ(ReadResult(OneEntryArchive(deflated)), ZIPW_CRC_ERROR);
    TestZipEntry stored = Entry("s.bin", Pattern(3000), 0);
    stored.nDeclaredCrc = 0x12345678;
    EXPECT_EQ(ReadResult(OneEntryArchive(stored)), ZIPW_CRC_ERROR);
}

TEST(ZipCoreData, StoredSizesMustAgree)
{
    TestZipEntry stored = Entry("s.bin", Pattern(3000), 0);
    stored.nDeclaredSize = 2000;
    EXPECT_EQ(ReadResult(OneEntryArchive(stored)), ZIPW_BAD_DATA);
}

TEST(ZipCoreData, EncryptedEntryNeedsAPassword)
{
    TestZipEntry e = Entry("secret.txt", Pattern(100), 0);
    e.nFlags = 1;
    EXPECT_EQ(ReadResult(OneEntryArchive(e)), ZIPW_BAD_PASSWORD);
}

TEST(ZipCoreData, DataDescriptorEntriesUseTheDirectory)
{
    TestZipEntry e = Entry("dd.bin", Pattern(20000));
    e.bDataDescriptor = true;
    EXPECT_EQ(ReadResult(OneEntryArchive(e)), 0);
}

TEST(ZipCoreData, LocalHeaderMustMatchTheDirectory)
{
    TestZipLayout layout;
    const std::vector<uint8_t> good = OneEntryArchive(Entry("m.bin", Pattern(100)), &layout);
    const size_t local = layout.localOffsets[0];
    struct Case
    {
        size_t nOffset;
        uint32_t nValue;
        int nWidth;
    } cases[] = {
        {0, 0x04034B51, 4},   // signature
        {8, 0, 2},            // method differs from the directory's
        {14, 1, 4},           // CRC
        {18, 1, 4},           // compressed size
        {22, 1, 4},           // uncompressed size
        {26, 4, 2},           // name length
        {28, 60000, 2},       // extra field runs past the archive
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        if (c.nWidth == 2)
            PutLe16(bad, local + c.nOffset, uint16_t(c.nValue));
        else
            PutLe32(bad, local + c.nOffset, c.nValue);
        CZipCore zip;
        ASSERT_EQ(zip.Open(bad.data(), bad.size()), ZIPW_OK);
        ZipEntryDesc desc;
        EXPECT_EQ(zip.Describe(0, desc), ZIPW_BAD_ZIP) << c.nOffset;
        EXPECT_EQ(zip.OpenEntry(0), ZIPW_BAD_ZIP) << c.nOffset;
    }
    // Methods other than stored and deflated are refused even when both headers agree.
    std::vector<uint8_t> bzip = good;
    PutLe16(bzip, local + 8, 12);
    PutLe16(bzip, layout.centralOffsets[0] + 10, 12);
    CZipCore zip;
    ASSERT_EQ(zip.Open(bzip.data(), bzip.size()), ZIPW_OK);
    EXPECT_EQ(zip.OpenEntry(0), ZIPW_BAD_ZIP);
}

TEST(ZipCoreData, SizesOfTwoGigabytesAndZip64MarkersAreCorrupt)
{
    for (uint32_t size : {0x80000000u, 0xFFFFFFFFu}) {
        TestZipLayout layout;
        std::vector<uint8_t> archive = OneEntryArchive(Entry("big.bin", Pattern(10), 0), &layout);
        PutLe32(archive, layout.centralOffsets[0] + 24, size);
        PutLe32(archive, layout.localOffsets[0] + 22, size);
        ZipEntryDesc desc;
        EXPECT_EQ(DescribeFirst(archive, desc), ZIPW_BAD_ZIP) << size;
    }
    TestZipLayout layout;
    std::vector<uint8_t> archive = OneEntryArchive(Entry("far.bin", Pattern(10), 0), &layout);
    PutLe32(archive, layout.centralOffsets[0] + 42, 0xFFFFFFFF);
    ZipEntryDesc desc;
    EXPECT_EQ(DescribeFirst(archive, desc), ZIPW_BAD_ZIP);
}

TEST(ZipCoreData, OverlappingEntriesAreRefused)
{
    // Two directory entries share one local header.
    CTestZipBuilder twins;
    twins.Add(Entry("a.bin", Pattern(1000)));
    twins.Add(Entry("b.bin", Pattern(1000)));
    TestZipLayout layout;
    std::vector<uint8_t> archive = twins.Build(&layout);
    PutLe32(archive, layout.centralOffsets[1] + 42, 0);
    CZipCore zip;
    ASSERT_EQ(zip.Open(archive.data(), archive.size()), ZIPW_OK);
    EXPECT_EQ(zip.OpenEntry(0), ZIPW_BAD_ZIP);
    EXPECT_EQ(zip.OpenEntry(1), ZIPW_BAD_ZIP);

    // The first entry's data claims to run into the second entry.
    CTestZipBuilder runOn;
    runOn.Add(Entry("a.bin", Pattern(1000), 0));
    runOn.Add(Entry("b.bin", Pattern(1000), 0));
    std::vector<uint8_t> overlapping = runOn.Build(&layout);
    for (size_t at : {layout.localOffsets[0] + 18, layout.localOffsets[0] + 22,
                      layout.centralOffsets[0] + 20, layout.centralOffsets[0] + 24})
        PutLe32(overlapping, at, 1010);
    CZipCore zip2;
    ASSERT_EQ(zip2.Open(overlapping.data(), overlapping.size()), ZIPW_OK);
    EXPECT_EQ(zip2.OpenEntry(0), ZIPW_BAD_ZIP);
    EXPECT_EQ(zip2.OpenEntry(1), ZIPW_OK);

    // The last entry's data claims to run into the directory.
    std::vector<uint8_t> intoDirectory = runOn.Build(&layout);
    for (size_t at : {layout.localOffsets[1] + 18, layout.localOffsets[1] + 22,
                      layout.centralOffsets[1] + 20, layout.centralOffsets[1] + 24})
        PutLe32(intoDirectory, at, 1001);
    CZipCore zip3;
    ASSERT_EQ(zip3.Open(intoDirectory.data(), intoDirectory.size()), ZIPW_OK);
    EXPECT_EQ(zip3.OpenEntry(1), ZIPW_BAD_ZIP);
}

TEST(ZipCoreData, OutputAllowanceCoversTheWholeArchive)
{
    CTestZipBuilder builder;
    builder.Add(Entry("a.bin", Pattern(6000)));
    builder.Add(Entry("b.bin", Pattern(6000)));
    const std::vector<uint8_t> archive = builder.Build();
    CZipCore zip(10000);
    ASSERT_EQ(zip.Open(archive.data(), archive.size()), ZIPW_OK);
    ASSERT_EQ(zip.OpenEntry(0), ZIPW_OK);
    uint8_t piece[kZipPieceSize];
    int got = 0;
    while ((got = zip.ReadEntry(piece, sizeof piece)) > 0) {
    }
    EXPECT_EQ(got, 0);
    EXPECT_EQ(zip.OpenEntry(1), ZIPW_TOO_LARGE);
    EXPECT_EQ(kZipMaxTotalOutput, 16u * 1024 * 1024);
}

TEST(ZipCoreData, ReadWithoutOpenEntryIsRefused)
{
    const std::vector<uint8_t> archive = OneEntryArchive(Entry("a.bin", Pattern(10)));
    CZipCore zip;
    ASSERT_EQ(zip.Open(archive.data(), archive.size()), ZIPW_OK);
    uint8_t piece[16];
    EXPECT_EQ(zip.ReadEntry(piece, sizeof piece), ZIPW_BAD_ARG);
    EXPECT_EQ(zip.CloseEntry(), ZIPW_OK);
}
