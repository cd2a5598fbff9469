// Folders, version texts and the string table, read from this test program, which carries the
// client's resources.
#include "app/Paths.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include "support/FilesAndKeys.h"
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <vector>

namespace {
CString TempFile(const wchar_t* name, const char* content)
{
    const CString path = TempPath(name);
    WriteFileBytes(path, content);
    return path;
}

BOOL CALLBACK TakeFirstLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD wLanguage, LONG_PTR lParam)
{
    *reinterpret_cast<WORD*>(lParam) = wLanguage;
    return FALSE;
}

// A copy of this program whose FileVersion record claims nValueLength characters: what a player's
// writable copy may carry after a broken download or a tool's edit. The text itself stays.
CString CopyWithFileVersionLength(const wchar_t* name, WORD nValueLength)
{
    const CString path = TempPath(name);
    if (!CopyFileW(GetModulePath(), path, FALSE))
        return CString();
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC res = FindResourceW(self, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16) /* RT_VERSION */);
    WORD language = 0;
    EnumResourceLanguagesW(self, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1), TakeFirstLanguage,
                           reinterpret_cast<LONG_PTR>(&language));
    const BYTE* data = res ? static_cast<const BYTE*>(LockResource(LoadResource(self, res))) : nullptr;
    if (!data)
        return CString();
    std::vector<BYTE> block(data, data + SizeofResource(self, res));
    // A string record is wLength, wValueLength, wType and then its key.
    const wchar_t key[] = L"FileVersion";
    for (size_t i = 6; i + sizeof key <= block.size(); i += 2) {
        if (memcmp(&block[i], key, sizeof key) != 0)
            continue;
        memcpy(&block[i - 4], &nValueLength, sizeof nValueLength);
        HANDLE update = BeginUpdateResourceW(path, FALSE);
        if (!update)
            return CString();
        if (!UpdateResourceW(update, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1), language, block.data(),
                             DWORD(block.size()))) {
            EndUpdateResourceW(update, TRUE);
            return CString();
        }
        return EndUpdateResourceW(update, FALSE) ? path : CString();
    }
    return CString();
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

TEST(FileVersion, TheValueEndsWhereItsRecordSays)
{
    // The stored text is "1.0.0.1" and its terminator: 8 characters as written.
    struct Case { WORD nLength; const wchar_t* pszExpected; };
    const Case cases[] = {
        {8, L"1.0.0.1"},
        {3, L"1.0"},
        {0, L""},
        {0x7FFF, L""},   // reaches past the end of the block
    };
    for (const Case& c : cases) {
        const CString copy = CopyWithFileVersionLength(L"torvel-version-length.exe", c.nLength);
        ASSERT_FALSE(copy.IsEmpty()) << c.nLength;
        EXPECT_EQ(GetFileVersionText(copy), CString(c.pszExpected)) << "recorded length " << c.nLength;
        DeleteFileW(copy);
    }
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

