#include "unit/zip/ZipTestSupport.h"

#include "support/FilesAndKeys.h"

std::vector<uint8_t> Pattern(size_t size)
{
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < size; ++i)
        data[i] = uint8_t("settings archive "[i % 17] ^ (i >> 9));
    return data;
}

TestZipEntry Entry(const char* name, std::vector<uint8_t> data, uint16_t method)
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
    e.nExternalAttributes = FILE_ATTRIBUTE_DIRECTORY;
    return e;
}

std::vector<uint8_t> OneEntryArchive(TestZipEntry entry, TestZipLayout* pLayout)
{
    CTestZipBuilder builder;
    builder.Add(std::move(entry));
    return builder.Build(pLayout);
}

ReadOutcome ReadAll(CZipCore& zip, int nIndex)
{
    ReadOutcome outcome{zip.OpenEntry(nIndex), {}};
    if (outcome.nResult != ZIPW_OK)
        return outcome;
    uint8_t piece[kZipPieceSize];
    int got = 0;
    while ((got = zip.ReadEntry(piece, sizeof piece)) > 0)
        outcome.data.insert(outcome.data.end(), piece, piece + got);
    // A failure keeps being reported.
    outcome.nResult = got < 0 && zip.ReadEntry(piece, sizeof piece) != got ? kFailureNotKept : got;
    zip.CloseEntry();
    return outcome;
}

int DescribeFirst(const std::vector<uint8_t>& archive, ZipEntryDesc& desc)
{
    CZipCore zip;
    if (zip.Open(archive.data(), archive.size()) != ZIPW_OK)
        return kNotOpened;
    return zip.Describe(0, desc);
}

FILETIME WriteTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

SYSTEMTIME LocalWriteTime(const std::wstring& path)
{
    const FILETIME utc = WriteTime(path);
    FILETIME local = {};
    SYSTEMTIME st = {};
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &st);
    return st;
}

std::vector<uint8_t> FileBytes(const std::wstring& path)
{
    EXPECT_TRUE(PathExists(path)) << "missing file";
    const std::string bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

ZipExtractFixture::ZipExtractFixture() : m_strBase(m_scratch.Sub(L"base\\"))
{
    CreateDirectoryW(m_strBase.c_str(), nullptr);
}

ZipExtractFixture::~ZipExtractFixture()
{
    if (m_hZip)
        ZipClose(m_hZip);
}

HZIP ZipExtractFixture::Open(std::vector<uint8_t> archive)
{
    if (m_hZip)
        ZipClose(m_hZip);
    m_archive = std::move(archive);
    m_hZip = ZipOpenMemory(m_archive.data(), DWORD(m_archive.size()));
    if (m_hZip)
        ZipSetBaseDir(m_hZip, m_strBase.c_str());
    return m_hZip;
}

HZIP ZipExtractFixture::OpenEntries(std::vector<TestZipEntry> entries)
{
    CTestZipBuilder builder;
    for (TestZipEntry& entry : entries)
        builder.Add(std::move(entry));
    return Open(builder.Build());
}

DWORD ZipExtractFixture::UnzipByName(int i)
{
    ZipEntryInfo info;
    const DWORD described = ZipGetItem(m_hZip, i, &info);
    return described != UNZIP_OK ? described : ZipUnzipItem(m_hZip, i, info.szName);
}

std::vector<uint8_t> ZipExtractFixture::FileAt(const wchar_t* relative) const
{
    return FileBytes(m_strBase + relative);
}
