// The test-support piece that gives end-to-end tests a copy of the client with other strings: the
// block format, the copy, the entries it changes and the ones it must leave alone.
#include <gtest/gtest.h>

#include "../../support/ClientProcess.h"
#include "../../support/ResourcePatch.h"
#include "app/Paths.h"
#include "res/resource.h"

namespace {
// A folder of this test's own under the temporary folder, emptied afterwards.
class CCopyFolder
{
public:
    CCopyFolder()
    {
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        m_strPath.Format(L"%sTorvelPatch%lu_%lu", temp, GetCurrentProcessId(), ++s_nCount);
    }
    ~CCopyFolder()
    {
        DeleteFileW(m_strPath + L"\\Torvel_Qerm.exe");
        RemoveDirectoryW(m_strPath);
    }
    const CString& Path() const { return m_strPath; }

private:
    CString m_strPath;
    static unsigned long s_nCount;
};
unsigned long CCopyFolder::s_nCount = 0;
}  // namespace

TEST(ResourcePatch, BlocksAreSixteenCountedStrings)
{
    std::vector<BYTE> bytes = CResourcePatch::BuildBlock({L"ab", L"", L"中"});
    ASSERT_EQ(bytes.size(), 38u);
    const BYTE head[] = {2, 0, 'a', 0, 'b', 0, 0, 0, 1, 0, 0x2D, 0x4E, 0, 0};
    for (size_t i = 0; i < sizeof head; ++i)
        EXPECT_EQ(bytes[i], head[i]) << "byte " << i;

    std::vector<CString> entries = CResourcePatch::ParseBlock(bytes.data(), static_cast<DWORD>(bytes.size()));
    ASSERT_EQ(entries.size(), 16u);
    EXPECT_STREQ(entries[0], L"ab");
    EXPECT_STREQ(entries[1], L"");
    EXPECT_STREQ(entries[2], L"中");
    EXPECT_STREQ(entries[15], L"");

    // A count that runs past the end keeps the entries before it.
    const BYTE damaged[] = {1, 0, 'x', 0, 9, 0, 'y', 0};
    entries = CResourcePatch::ParseBlock(damaged, sizeof damaged);
    EXPECT_STREQ(entries[0], L"x");
    EXPECT_STREQ(entries[1], L"");
}

TEST(ResourcePatch, TheCopyGetsTheNewLoginAddressAndKeepsEverythingElse)
{
    CCopyFolder folder;
    CString strCopy = CopyExecutableTo(ClientExePath(), folder.Path() + L"\\");
    ASSERT_STREQ(strCopy, folder.Path() + L"\\Torvel_Qerm.exe");
    CString strOriginalLogin = CResourcePatch::ReadString(ClientExePath(), IDS_LOGIN_URL);
    ASSERT_FALSE(strOriginalLogin.IsEmpty());

    CResourcePatch patch(strCopy);
    patch.SetString(IDS_LOGIN_URL, L"http://127.0.0.1:9/start?play_gamecode=e2e");
    ASSERT_TRUE(patch.Commit());

    EXPECT_STREQ(CResourcePatch::ReadString(strCopy, IDS_LOGIN_URL), L"http://127.0.0.1:9/start?play_gamecode=e2e");
    // The same block's other entries, another block, and the version resource are untouched.
    EXPECT_STREQ(CResourcePatch::ReadString(strCopy, IDS_MASK_TEXT), L"缓存清理中，请稍后……");
    EXPECT_STREQ(CResourcePatch::ReadString(strCopy, IDS_GAME_CODE), L"pelq");
    EXPECT_STREQ(CResourcePatch::ReadString(strCopy, IDS_PLATFORM_CODE), L"qzrv");
    EXPECT_STREQ(CResourcePatch::ReadString(strCopy, IDS_CLIENT_NAME), L"《Vantor》微端");
    EXPECT_STREQ(CResourcePatch::ReadString(strCopy, IDS_UNINSTALL_KEY), L"qzrv《Vantor》");
    EXPECT_STREQ(GetFileVersionText(strCopy), L"1.0.0.1");
    // The original beside the tests is not the file that changed.
    EXPECT_STREQ(CResourcePatch::ReadString(ClientExePath(), IDS_LOGIN_URL), strOriginalLogin);

    // The copy still starts: a role that ends by itself ends with 0.
    ClientProcess client;
    ASSERT_TRUE(client.Start(strCopy, L"\"" + strCopy + L"\" -frameWnd=305419896 -gameurl=http://127.0.0.1:9/"));
    ASSERT_TRUE(client.WaitForExit());
    EXPECT_EQ(client.ExitCode(), 0u);
}

TEST(ResourcePatch, AnEmptyTextRemovesOnlyThatEntry)
{
    CCopyFolder folder;
    CString strCopy = CopyExecutableTo(ClientExePath(), folder.Path());
    ASSERT_FALSE(strCopy.IsEmpty());
    CResourcePatch patch(strCopy);
    patch.SetString(IDS_CLIENT_NAME, L"");
    patch.SetString(IDS_FIRST_START_URL, L"http://127.0.0.1:9/first");
    ASSERT_TRUE(patch.Commit());
    EXPECT_STREQ(CResourcePatch::ReadString(strCopy, IDS_CLIENT_NAME), L"");
    EXPECT_STREQ(CResourcePatch::ReadString(strCopy, IDS_FIRST_START_URL), L"http://127.0.0.1:9/first");
    EXPECT_STREQ(CResourcePatch::ReadString(strCopy, IDS_GAME_TITLE), L"Vantor");
    EXPECT_STREQ(CResourcePatch::ReadString(strCopy, IDS_UNINSTALL_LINK), L"卸载-《Vantor》");
}

TEST(ResourcePatch, AMissingFileIsAFailure)
{
    CResourcePatch patch(L"C:\\nowhere\\Torvel_Qerm.exe");
    patch.SetString(IDS_LOGIN_URL, L"http://127.0.0.1:9/");
    EXPECT_FALSE(patch.Commit());
    EXPECT_STREQ(CopyExecutableTo(L"C:\\nowhere\\Torvel_Qerm.exe", L"C:\\nowhere2"), L"");
    EXPECT_STREQ(CResourcePatch::ReadString(L"C:\\nowhere\\Torvel_Qerm.exe", IDS_LOGIN_URL), L"");
}
