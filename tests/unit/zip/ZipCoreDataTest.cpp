// Entry data that does not match its declaration, entries that overlap, and the output allowance.
#include "start/zip/ZipCore.h"
#include "unit/zip/TestZipBuilder.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

std::vector<uint8_t> Pattern(size_t size)
{
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < size; ++i)
        data[i] = uint8_t((i * 13) ^ (i >> 7));
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

// Opens the one-entry archive and reads the entry; the result of the last call.
int ReadResult(const std::vector<uint8_t>& archive, uint64_t nAllowance = kZipMaxTotalOutput)
{
    CZipCore zip(nAllowance);
    if (zip.Open(archive.data(), archive.size()) != ZIPW_OK)
        return 1;
    int result = zip.OpenEntry(0);
    if (result != ZIPW_OK)
        return result;
    uint8_t piece[kZipPieceSize];
    while ((result = zip.ReadEntry(piece, sizeof piece)) > 0) {
    }
    // A failure keeps being reported.
    if (result < 0 && zip.ReadEntry(piece, sizeof piece) != result)
        return 2;
    return result;
}

std::vector<uint8_t> Build(TestZipEntry entry, TestZipLayout* pLayout = nullptr)
{
    CTestZipBuilder builder;
    builder.Add(std::move(entry));
    return builder.Build(pLayout);
}

}  // namespace

TEST(ZipCoreData, DeflateStreamMustMatchItsDeclaration)
{
    const std::vector<uint8_t> content = Pattern(50000);
    const std::vector<uint8_t> packed = CTestZipBuilder::Deflate(content);

    TestZipEntry exact = Entry("ok.bin", content);
    EXPECT_EQ(ReadResult(Build(exact)), 0);

    TestZipEntry truncated = exact;   // the stream stops before its end
    truncated.bUseRawPacked = true;
    truncated.rawPacked.assign(packed.begin(), packed.end() - 20);
    EXPECT_EQ(ReadResult(Build(truncated)), ZIPW_BAD_DATA);

    TestZipEntry longer = exact;      // produces more than declared
    longer.nDeclaredSize = 49999;
    longer.nDeclaredCrc = int64_t(CTestZipBuilder::Crc({content.begin(), content.end() - 1}));
    EXPECT_EQ(ReadResult(Build(longer)), ZIPW_BAD_DATA);

    TestZipEntry shorter = exact;     // ends before the declared size
    shorter.nDeclaredSize = 50001;
    EXPECT_EQ(ReadResult(Build(shorter)), ZIPW_BAD_DATA);

    TestZipEntry trailing = exact;    // bytes left over after the end of the stream
    trailing.bUseRawPacked = true;
    trailing.rawPacked = packed;
    trailing.rawPacked.push_back(0);
    EXPECT_EQ(ReadResult(Build(trailing)), ZIPW_BAD_DATA);

    TestZipEntry garbage = exact;     // not a deflate stream at all
    garbage.bUseRawPacked = true;
    garbage.rawPacked.assign(100, 0xFF);
    EXPECT_EQ(ReadResult(Build(garbage)), Z_DATA_ERROR);

    TestZipEntry empty = exact;       // nothing stored although content is declared
    empty.bUseRawPacked = true;
    empty.rawPacked.clear();
    EXPECT_EQ(ReadResult(Build(empty)), ZIPW_BAD_DATA);
}

TEST(ZipCoreData, CrcMismatchIsAFailure)
{
    TestZipEntry deflated = Entry("d.bin", Pattern(3000));
    deflated.nDeclaredCrc = 0x12345678;
    EXPECT_EQ(ReadResult(Build(deflated)), ZIPW_CRC_ERROR);
    TestZipEntry stored = Entry("s.bin", Pattern(3000), 0);
    stored.nDeclaredCrc = 0x12345678;
    EXPECT_EQ(ReadResult(Build(stored)), ZIPW_CRC_ERROR);
}

TEST(ZipCoreData, StoredSizesMustAgree)
{
    TestZipEntry stored = Entry("s.bin", Pattern(3000), 0);
    stored.nDeclaredSize = 2000;
    EXPECT_EQ(ReadResult(Build(stored)), ZIPW_BAD_DATA);
}

TEST(ZipCoreData, EncryptedEntryNeedsAPassword)
{
    TestZipEntry e = Entry("secret.txt", Pattern(100), 0);
    e.nFlags = 1;
    EXPECT_EQ(ReadResult(Build(e)), ZIPW_BAD_PASSWORD);
}

TEST(ZipCoreData, DataDescriptorEntriesUseTheDirectory)
{
    TestZipEntry e = Entry("dd.bin", Pattern(20000));
    e.bDataDescriptor = true;
    EXPECT_EQ(ReadResult(Build(e)), 0);
}

TEST(ZipCoreData, LocalHeaderMustMatchTheDirectory)
{
    TestZipLayout layout;
    const std::vector<uint8_t> good = Build(Entry("m.bin", Pattern(100)), &layout);
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
        std::vector<uint8_t> archive = Build(Entry("big.bin", Pattern(10), 0), &layout);
        PutLe32(archive, layout.centralOffsets[0] + 24, size);
        PutLe32(archive, layout.localOffsets[0] + 22, size);
        CZipCore zip;
        ASSERT_EQ(zip.Open(archive.data(), archive.size()), ZIPW_OK);
        ZipEntryDesc desc;
        EXPECT_EQ(zip.Describe(0, desc), ZIPW_BAD_ZIP) << size;
    }
    TestZipLayout layout;
    std::vector<uint8_t> archive = Build(Entry("far.bin", Pattern(10), 0), &layout);
    PutLe32(archive, layout.centralOffsets[0] + 42, 0xFFFFFFFF);
    CZipCore zip;
    ASSERT_EQ(zip.Open(archive.data(), archive.size()), ZIPW_OK);
    ZipEntryDesc desc;
    EXPECT_EQ(zip.Describe(0, desc), ZIPW_BAD_ZIP);
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
    const std::vector<uint8_t> archive = Build(Entry("a.bin", Pattern(10)));
    CZipCore zip;
    ASSERT_EQ(zip.Open(archive.data(), archive.size()), ZIPW_OK);
    uint8_t piece[16];
    EXPECT_EQ(zip.ReadEntry(piece, sizeof piece), ZIPW_BAD_ARG);
    EXPECT_EQ(zip.CloseEntry(), ZIPW_OK);
}
