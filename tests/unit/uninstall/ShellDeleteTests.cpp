// Deleting through the shell in a scratch folder: what counts as empty, what goes, and that a long
// path is never cut into the name of another item.
#include "app/ShellDelete.h"
#include "framework/Handles.h"
#include "support/FilesAndKeys.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

bool Touch(const CString& strPath)
{
    return WriteFileBytes(strPath, "");
}

class ShellDeleteTest : public testing::Test
{
protected:
    void SetUp() override
    {
        // Test cases run side by side: each gets a folder of its own.
        m_strDir = TempPath(L"torvel shell delete " +
                            CString::FromUtf8(testing::UnitTest::GetInstance()->current_test_info()->name()));
        DeleteTree(m_strDir);
        ASSERT_TRUE(CreateDirectoryW(m_strDir, nullptr));
    }
    void TearDown() override { DeleteTree(m_strDir); }
    CString m_strDir;
};

}  // namespace

TEST_F(ShellDeleteTest, OnlyAMissingOrTrulyEmptyFolderIsEmpty)
{
    EXPECT_TRUE(IsDirectoryEmpty(m_strDir + L"\\missing"));
    EXPECT_TRUE(IsDirectoryEmpty(m_strDir + L"\\missing\\deeper"));
    EXPECT_TRUE(IsDirectoryEmpty(m_strDir));
    ASSERT_TRUE(CreateDirectoryW(m_strDir + L"\\sub", nullptr));
    EXPECT_FALSE(IsDirectoryEmpty(m_strDir)) << "a folder is an item";
    ASSERT_TRUE(Touch(m_strDir + L"\\sub\\.hidden"));
    EXPECT_FALSE(IsDirectoryEmpty(m_strDir + L"\\sub")) << "a file named with a leading dot is an item";

    // However deep a folder lies, it counts as empty only when it is. The last name spans the
    // 260th character, where a fixed buffer would cut it into a name that does not exist.
    ASSERT_LT(m_strDir.GetLength(), 190);
    CString strDeep = m_strDir + L"\\" + CString(L'd', 199 - m_strDir.GetLength());
    ASSERT_TRUE(CreateDirectoryW(strDeep, nullptr));
    strDeep += L"\\" + CString(L'e', 100);
    ASSERT_TRUE(CreateDirectoryW(strDeep, nullptr)) << strDeep.GetLength();
    ASSERT_TRUE(Touch(strDeep + L"\\x"));
    EXPECT_FALSE(IsDirectoryEmpty(strDeep));
    EXPECT_FALSE(RemoveEmptyFolderAndNotify(strDeep));
    EXPECT_TRUE(PathExists(strDeep + L"\\x"));
}

TEST_F(ShellDeleteTest, DeletesFilesAndWholeFoldersButNeverAPatternOrAnotherItem)
{
    ASSERT_TRUE(Touch(m_strDir + L"\\a.lnk"));
    EXPECT_TRUE(ShellDeleteAndNotify(m_strDir + L"\\a.lnk"));
    EXPECT_FALSE(PathExists(m_strDir + L"\\a.lnk"));
    EXPECT_FALSE(ShellDeleteAndNotify(m_strDir + L"\\a.lnk")) << "a missing item reported as deleted";

    ASSERT_TRUE(CreateDirectoryW(m_strDir + L"\\res", nullptr));
    ASSERT_TRUE(Touch(m_strDir + L"\\res\\systemset.ini"));
    EXPECT_TRUE(ShellDeleteAndNotify(m_strDir + L"\\res"));
    EXPECT_FALSE(PathExists(m_strDir + L"\\res"));

    ASSERT_TRUE(Touch(m_strDir + L"\\keep.txt"));
    EXPECT_FALSE(ShellDeletePath(m_strDir + L"\\*.txt"));
    EXPECT_FALSE(ShellDeletePath(m_strDir + L"\\kee?.txt"));
    EXPECT_FALSE(ShellDeletePath(L""));
    EXPECT_TRUE(PathExists(m_strDir + L"\\keep.txt"));

    // A path longer than any fixed buffer: the item goes whole, and the shorter names its first
    // characters spell stay.
    const CString strLong = m_strDir + L"\\" + CString(L'n', 280 - m_strDir.GetLength());
    ASSERT_TRUE(Touch(strLong)) << strLong.GetLength();
    std::vector<CString> decoys;
    for (int nCut : {254, 255, 259})
        decoys.push_back(strLong.Left(nCut));
    for (const CString& strDecoy : decoys)
        ASSERT_TRUE(Touch(strDecoy));
    EXPECT_TRUE(ShellDeleteAndNotify(strLong));
    EXPECT_FALSE(PathExists(strLong));
    for (const CString& strDecoy : decoys)
        EXPECT_TRUE(PathExists(strDecoy)) << "deleted " << strDecoy.GetLength() << " characters of the path";
}

TEST_F(ShellDeleteTest, AFolderWithAnythingInItIsNotRemoved)
{
    ASSERT_TRUE(CreateDirectoryW(m_strDir + L"\\game", nullptr));
    ASSERT_TRUE(Touch(m_strDir + L"\\game\\readme.txt"));
    EXPECT_FALSE(RemoveEmptyFolderAndNotify(m_strDir + L"\\game"));
    EXPECT_TRUE(PathExists(m_strDir + L"\\game\\readme.txt"));
    ASSERT_TRUE(DeleteFileW(m_strDir + L"\\game\\readme.txt"));
    EXPECT_TRUE(RemoveEmptyFolderAndNotify(m_strDir + L"\\game"));
    EXPECT_FALSE(PathExists(m_strDir + L"\\game"));
    EXPECT_FALSE(RemoveEmptyFolderAndNotify(m_strDir + L"\\game")) << "a missing folder reported as removed";
}

TEST_F(ShellDeleteTest, AFolderThatCannotBeListedIsNotEmptyAndStays)
{
    // Another program holds the empty folder open and lets nobody read it meanwhile (it shares only
    // deletion): the listing fails with something other than "not found", so what the folder holds
    // is unknown.
    const CString strLocked = m_strDir + L"\\locked";
    ASSERT_TRUE(CreateDirectoryW(strLocked, nullptr));
    {
        UniqueFile holder(CreateFileW(strLocked, GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        ASSERT_TRUE(holder);
        WIN32_FIND_DATAW data{};
        UniqueFindFile search(FindFirstFileW(strLocked + L"\\*", &data));
        const DWORD dwError = GetLastError();
        ASSERT_FALSE(search) << "the folder could be listed";
        ASSERT_NE(dwError, DWORD(ERROR_FILE_NOT_FOUND));
        ASSERT_NE(dwError, DWORD(ERROR_PATH_NOT_FOUND));

        EXPECT_FALSE(IsDirectoryEmpty(strLocked)) << "a folder that could not be listed counted as empty";
        EXPECT_FALSE(RemoveEmptyFolderAndNotify(strLocked));
    }
    // Removing it would have been allowed (deletion is shared): it went only if it was tried.
    EXPECT_TRUE(PathExists(strLocked)) << "a folder that could not be listed was removed";
}
