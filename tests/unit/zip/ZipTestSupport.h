// What the archive reader's tests share: entries and their content, whole reads through the core,
// and the fixture that extracts through the handle API into a scratch folder of its own.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "start/zip/ZipCore.h"
#include "start/zip/ZipReader.h"
#include "support/ScratchFolder.h"
#include "unit/zip/TestZipBuilder.h"

// Bytes that deflate well but repeat only after many kilobytes, so a cut or shifted stream shows.
std::vector<uint8_t> Pattern(size_t size);
TestZipEntry Entry(const char* name, std::vector<uint8_t> data, uint16_t method = 8);
// A directory entry ("name/").
TestZipEntry Folder(const char* name);
std::vector<uint8_t> OneEntryArchive(TestZipEntry entry, TestZipLayout* pLayout = nullptr);

struct ReadOutcome
{
    int nResult;                   // the last read's result: 0 at the end, negative on failure
    std::vector<uint8_t> data;
};
// Value of nResult when a failed read was not reported again by the next one.
constexpr int kFailureNotKept = 2;
// Opens entry nIndex, reads it to its end and closes it.
ReadOutcome ReadAll(CZipCore& zip, int nIndex);
// What DescribeFirst gives when the archive itself does not open.
constexpr int kNotOpened = 1;
// Opens the archive with the core and describes its first entry: the description's result.
int DescribeFirst(const std::vector<uint8_t>& archive, ZipEntryDesc& desc);

// The file's last-write time, and the same as local time.
FILETIME WriteTime(const std::wstring& path);
SYSTEMTIME LocalWriteTime(const std::wstring& path);
std::vector<uint8_t> FileBytes(const std::wstring& path);

// A base folder "base\" in a fresh scratch folder, and at most one open archive handle.
class ZipExtractFixture : public testing::Test
{
protected:
    ZipExtractFixture();
    ~ZipExtractFixture() override;

    // Opens the archive from memory (closing the one open before) with the base folder set.
    HZIP Open(std::vector<uint8_t> archive);
    HZIP OpenOne(TestZipEntry entry) { return Open(OneEntryArchive(std::move(entry))); }
    HZIP OpenEntries(std::vector<TestZipEntry> entries);
    // Describes entry i and extracts it under its own name.
    DWORD UnzipByName(int i);
    // The bytes of a file below the base; a missing file fails the test.
    std::vector<uint8_t> FileAt(const wchar_t* relative) const;
    // Everything in the scratch folder, base folder included.
    std::vector<std::wstring> Everything() const { return TreeIn(m_scratch.Path()); }

    CScratchFolder m_scratch{L"zip"};
    std::wstring m_strBase;
    std::vector<uint8_t> m_archive;
    HZIP m_hZip = nullptr;
};
