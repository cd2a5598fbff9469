// CreateShortcut on its own, in a scratch folder of the temporary folder.
#include "start/Shortcut.h"
#include "support/FilesAndKeys.h"
#include "unit/install/InstallFixture.h"

namespace {

class ShortcutTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_strFolder = TempPath(L"torvel link test").str();
        CreateDirectoryW(m_strFolder.c_str(), nullptr);
    }
    void TearDown() override
    {
        for (const wchar_t* name : {L"\\Game.lnk", L"\\named.lnk", L"\\InstallTests.lnk"})
            DeleteFileW((m_strFolder + name).c_str());
        RemoveDirectoryW(m_strFolder.c_str());
    }

    CoInitScope m_com;
    std::wstring m_strFolder;
};

}  // namespace

TEST_F(ShortcutTest, WithoutANameTheLinkIsNamedAfterTheTarget)
{
    ASSERT_TRUE(CreateShortcut(L"1", L"C:\\games\\Game.exe", m_strFolder.c_str(), L"", false));
    const LinkInfo link = ReadLink(m_strFolder + L"\\Game.lnk");
    ASSERT_TRUE(link.bLoaded);
    EXPECT_EQ(link.strPath, L"C:\\games\\Game.exe");
    EXPECT_EQ(link.strArguments, L"1");
}

TEST_F(ShortcutTest, AnEmptyTargetMeansTheRunningExecutable)
{
    ASSERT_TRUE(CreateShortcut(L"-u", L"", m_strFolder.c_str(), L"", true));
    const LinkInfo link = ReadLink(m_strFolder + L"\\InstallTests.lnk");
    ASSERT_TRUE(link.bLoaded);
    EXPECT_EQ(link.strPath, ModulePath());
    EXPECT_EQ(link.strIconPath, ModulePath().substr(0, ModulePath().rfind(L'\\')) + L"\\res\\uninstall.ico");
    EXPECT_EQ(link.nIconIndex, 0);
}

TEST_F(ShortcutTest, ATargetWithoutAFolderGivesNoLinkUnlessNamed)
{
    EXPECT_FALSE(CreateShortcut(L"1", L"Game.exe", m_strFolder.c_str(), L"", false));
    EXPECT_FALSE(FileExists(m_strFolder + L"\\Game.lnk"));
    EXPECT_TRUE(CreateShortcut(L"1", L"C:\\games\\Game.exe", m_strFolder.c_str(), L"named.lnk", false));
    EXPECT_TRUE(FileExists(m_strFolder + L"\\named.lnk"));
}

TEST_F(ShortcutTest, AMissingFolderIsReportedAsFailure)
{
    EXPECT_FALSE(CreateShortcut(L"1", L"C:\\games\\Game.exe", (m_strFolder + L"\\missing").c_str(), L"x.lnk", false));
}

TEST_F(ShortcutTest, ALinkIsReplacedWhenItDiffersAndTheSameLinkSavedAgainReadsTheSame)
{
    const std::wstring strLink = m_strFolder + L"\\named.lnk";
    ASSERT_TRUE(CreateShortcut(L"-u", L"C:\\games\\Game.exe", m_strFolder.c_str(), L"named.lnk", true));
    ASSERT_TRUE(CreateShortcut(L"1", L"C:\\games\\Game.exe", m_strFolder.c_str(), L"named.lnk", false));
    LinkInfo link = ReadLink(strLink);
    ASSERT_TRUE(link.bLoaded);
    EXPECT_EQ(link.strArguments, L"1");

    // A link file cut short is not what a save would write: it is written whole again.
    const std::string whole = ReadFileBytes(strLink);
    ASSERT_GT(whole.size(), 8u);
    {
        UniqueFile file(CreateFileW(strLink.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD put = 0;
        ASSERT_TRUE(WriteFile(file.get(), whole.data(), DWORD(whole.size() - 8), &put, nullptr));
    }
    ASSERT_TRUE(CreateShortcut(L"1", L"C:\\games\\Game.exe", m_strFolder.c_str(), L"named.lnk", false));
    EXPECT_TRUE(ReadFileBytes(strLink) == whole);
    link = ReadLink(strLink);
    EXPECT_EQ(link.strPath, L"C:\\games\\Game.exe");
    EXPECT_EQ(link.strArguments, L"1");
}
