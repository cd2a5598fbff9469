// Folders, version texts and the string table, read from this test program, which carries the
// client's resources.
#include "app/Paths.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include <gtest/gtest.h>
#include <shlobj.h>

namespace {
CString TempFile(const wchar_t* name, const char* content)
{
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    CString path = CString(dir) + name;
    UniqueFile f(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(f.get(), content, static_cast<DWORD>(strlen(content)), &written, nullptr);
    return path;
}
}  // namespace

TEST(StringTable, EntriesAsTheProgramUsesThem)
{
    EXPECT_EQ(LoadResString(IDS_GAME_TITLE), CString(L"Vantor"));
    EXPECT_EQ(LoadResString(IDS_CLIENT_NAME), CString(L"《Vantor》微端"));
    EXPECT_EQ(LoadResString(IDS_UNINSTALL_LINK), CString(L"卸载-《Vantor》"));
    EXPECT_EQ(LoadResString(IDS_MASK_TEXT), CString(L"缓存清理中，请稍后……"));
    EXPECT_EQ(LoadResString(IDS_TEMP_UPDATE_EXE), CString(L"\\qzrvpelqtmp.exe"));
    EXPECT_EQ(LoadResString(IDS_GAME_FOLDER_FRAGMENT), CString(L"\\pelq\\"));
    EXPECT_EQ(LoadResString(IDS_TEMP_UNINSTALL_EXE), CString(L"\\cache\\qzrvpelqtmpu.exe"));
    EXPECT_EQ(LoadResString(IDS_VERSION_QUERY), CString(L"getClientVersion.php?p=tarnube&g=pelq&v="));
    EXPECT_EQ(LoadResString(IDS_SETTINGS_FILE), CString(L"res//systemset.ini"));
    EXPECT_EQ(LoadResString(IDS_UNINSTALL_KEY), CString(L"qzrv《Vantor》"));
    EXPECT_EQ(LoadResString(IDS_SELECT_SERVER_SHOW), CString(L"1"));
    EXPECT_EQ(LoadResString(IDS_DESKTOP_LINK_SWITCH), CString(L"1"));
    EXPECT_EQ(LoadResString(IDS_LOGIN_URL).Right(12), CString(L"/vorq/login/"));
    CString server = LoadResString(IDS_VERSION_SERVER);
    EXPECT_EQ(server.Left(7), CString(L"http://"));
    EXPECT_NE(server.Right(1), CString(L"/"));
}

TEST(StringTable, MissingEntriesAreEmpty)
{
    EXPECT_EQ(LoadResString(IDS_FIRST_START_URL), CString(L""));
    EXPECT_EQ(LoadResString(IDS_LINK_SUFFIX), CString(L""));
    EXPECT_EQ(LoadResString(103), CString(L"")) << "a gap inside an existing block";
    EXPECT_EQ(LoadResString(40000), CString(L"")) << "a block that does not exist";
    EXPECT_EQ(LoadResString(0), CString(L""));
}

TEST(FileVersion, MissingNoVersionAndOwnExe)
{
    EXPECT_EQ(GetFileVersionText(L"C:\\no\\such\\file.exe"), CString(L""));
    CString text = TempFile(L"torvel-no-version.txt", "not a program");
    EXPECT_EQ(GetFileVersionText(text), CString(L"None VerSion Supprot"));
    DeleteFileW(text);
    EXPECT_EQ(GetFileVersionText(GetModulePath()), CString(L"1.0.0.1"));
}

TEST(DataFolder, UnderApplicationDataAndStable)
{
    wchar_t appData[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData), S_OK);
    CString expected = CString(appData) + L"\\qzrv\\pelq\\";
    EXPECT_EQ(GetDataDir(), expected);
    EXPECT_EQ(GetDataDir().Right(1), CString(L"\\"));
    EXPECT_EQ(GetDataDir(), GetDataDir());
    EXPECT_EQ(GetSettingsFilePath(), expected + L"res//systemset.ini");
    EXPECT_EQ(GetCacheDir(), CString(appData) + L"\\cache");
    EXPECT_EQ(GetAppDataDir(), CString(appData));
    EXPECT_FALSE(GetDesktopDir().IsEmpty());
    EXPECT_FALSE(GetProgramsDir().IsEmpty());
}

TEST(ModulePath, WholePathOfThisProgram)
{
    CString path = GetModulePath();
    EXPECT_EQ(path.Right(13), CString(L"\\AppTests.exe"));
    EXPECT_NE(GetFileAttributesW(path), INVALID_FILE_ATTRIBUTES);
}

