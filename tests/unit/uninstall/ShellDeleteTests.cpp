// Deleting through the shell in a scratch folder: what counts as empty, what goes, and that a long
// path is never cut into the name of another item.
#include "app/ShellDelete.h"
#include "framework/Handles.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

bool Exists(const CString& strPath)
{
    return GetFileAttributesW(strPath) != INVALID_FILE_ATTRIBUTES;
}

// Plain file functions, which take any length of path, unlike the shell's.
void DeleteTree(const CString& strPath)
{
    WIN32_FIND_DATAW data{};
    UniqueFindFile search(FindFirstFileW(strPath + L"\\*", &data));
    if (search) {
        do {
            const CString strName = data.cFileName;
            if (strName == L"." || strName == L"..")
                continue;
            const CString strChild = strPath + L"\\" + strName;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(strChild);
            else
                DeleteFileW(strChild);
        } while (FindNextFileW(search.get(), &data));
    }
    RemoveDirectoryW(strPath);
}

bool Touch(const CString& strPath)
{
    UniqueFile file(CreateFileW(strPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return static_cast<bool>(file);
}

class ShellDeleteTest : public testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        // Test cases run side by side: each gets a folder of its own.
        m_strDir = CString(temp) + L"torvel shell delete " +
                   CString::FromUtf8(testing::UnitTest::GetInstance()->current_test_info()->name());
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
    EXPECT_TRUE(Exists(strDeep + L"\\x"));
}

TEST_F(ShellDeleteTest, DeletesFilesAndWholeFoldersButNeverAPatternOrAnotherItem)
{
    ASSERT_TRUE(Touch(m_strDir + L"\\a.lnk"));
    EXPECT_TRUE(ShellDeleteAndNotify(m_strDir + L"\\a.lnk"));
    EXPECT_FALSE(Exists(m_strDir + L"\\a.lnk"));
    EXPECT_FALSE(ShellDeleteAndNotify(m_strDir + L"\\a.lnk")) << "a missing item reported as deleted";

    ASSERT_TRUE(CreateDirectoryW(m_strDir + L"\\res", nullptr));
    ASSERT_TRUE(Touch(m_strDir + L"\\res\\systemset.ini"));
    EXPECT_TRUE(ShellDeleteAndNotify(m_strDir + L"\\res"));
    EXPECT_FALSE(Exists(m_strDir + L"\\res"));

    ASSERT_TRUE(Touch(m_strDir + L"\\keep.txt"));
    EXPECT_FALSE(ShellDeletePath(m_strDir + L"\\*.txt"));
    EXPECT_FALSE(ShellDeletePath(m_strDir + L"\\kee?.txt"));
    EXPECT_FALSE(ShellDeletePath(L""));
    EXPECT_TRUE(Exists(m_strDir + L"\\keep.txt"));

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
    EXPECT_FALSE(Exists(strLong));
    for (const CString& strDecoy : decoys)
        EXPECT_TRUE(Exists(strDecoy)) << "deleted " << strDecoy.GetLength() << " characters of the path";
}

TEST_F(ShellDeleteTest, AFolderWithAnythingInItIsNotRemoved)
{
    ASSERT_TRUE(CreateDirectoryW(m_strDir + L"\\game", nullptr));
    ASSERT_TRUE(Touch(m_strDir + L"\\game\\readme.txt"));
    EXPECT_FALSE(RemoveEmptyFolderAndNotify(m_strDir + L"\\game"));
    EXPECT_TRUE(Exists(m_strDir + L"\\game\\readme.txt"));
    ASSERT_TRUE(DeleteFileW(m_strDir + L"\\game\\readme.txt"));
    EXPECT_TRUE(RemoveEmptyFolderAndNotify(m_strDir + L"\\game"));
    EXPECT_FALSE(Exists(m_strDir + L"\\game"));
    EXPECT_FALSE(RemoveEmptyFolderAndNotify(m_strDir + L"\\game")) << "a missing folder reported as removed";
}
