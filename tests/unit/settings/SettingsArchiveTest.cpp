// The default settings archive as the executable carries it: resource "ZIP" 269 with the two
// deflated entries and the fixed timestamp that make every build produce the same bytes.
#include "res/resource.h"
#include "start/zip/ZipReader.h"

#include <gtest/gtest.h>

TEST(SettingsArchive, ResourceHoldsTheTwoDeflatedEntriesWithTheFixedTime)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(IDR_SETTINGS_ZIP), L"ZIP");
    ASSERT_NE(resource, nullptr);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, resource)));
    const DWORD size = SizeofResource(module, resource);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(IDR_SETTINGS_ZIP, 269);
    // The first local header: signature, then method 8 at offset 8 and the DOS time and date.
    ASSERT_GT(size, 30u);
    EXPECT_EQ(std::vector<BYTE>(data, data + 4), (std::vector<BYTE>{0x50, 0x4B, 0x03, 0x04}));
    EXPECT_EQ(data[8] | data[9] << 8, 8);
    EXPECT_EQ(data[10] | data[11] << 8, 12 << 11);                          // 12:00:00
    EXPECT_EQ(data[12] | data[13] << 8, (2026 - 1980) << 9 | 1 << 5 | 10);  // 2026-01-10

    HZIP zip = ZipOpenMemory(data, size);
    ASSERT_NE(zip, nullptr);
    ZipEntryInfo info;
    ASSERT_EQ(ZipGetItem(zip, -1, &info), UNZIP_OK);
    EXPECT_EQ(info.nIndex, 2);
    ASSERT_EQ(ZipGetItem(zip, 0, &info), UNZIP_OK);
    EXPECT_STREQ(info.szName, L"systemset.ini");
    EXPECT_EQ(info.nUncompressedSize, 160);
    EXPECT_LT(info.nCompressedSize, 160);
    EXPECT_EQ(info.dwAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_EQ(ZipGetItem(zip, 1, &info), UNZIP_OK);
    EXPECT_STREQ(info.szName, L"uninstall.ico");
    EXPECT_EQ(info.nUncompressedSize, 1150);
    EXPECT_LT(info.nCompressedSize, 1150);
    FILETIME local = {};
    SYSTEMTIME st = {};
    FileTimeToLocalFileTime(&info.ftModified, &local);
    FileTimeToSystemTime(&local, &st);
    EXPECT_EQ(st.wYear, 2026);
    EXPECT_EQ(st.wMonth, 1);
    EXPECT_EQ(st.wDay, 10);
    EXPECT_EQ(st.wHour, 12);
    EXPECT_EQ(ZipClose(zip), UNZIP_OK);
}
