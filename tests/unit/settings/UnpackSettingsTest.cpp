// Unpacking the default settings archive from the executable's resources into the data folder.
#include "framework/CWinApp.h"
#include "start/Settings.h"
#include "unit/settings/SettingsFixture.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace {

const char kDefaultSettings[] =
    "[Info]\r\ncode=\r\npwd=\r\nrem=1\r\n[Setting]\r\nsoundoff=0\r\nautostart=0\r\nautologin=0\r\n"
    "screenshots=Ctrl+Shift+A\r\nscreentoggle=F10\r\nfullscreen=F11\r\n[Start]\r\nfirststart=1\r\n";

std::wstring Setting(const wchar_t* section, const wchar_t* key, const wchar_t* fallback)
{
    WCHAR value[MAX_PATH];
    GetSettingString(section, key, fallback, value);
    return value;
}

uint32_t Crc(const std::string& bytes)
{
    return uint32_t(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), uInt(bytes.size())));
}

}  // namespace

TEST_F(SettingsTest, FirstUnpackingWritesTheDefaultsTheIconAndTheMarker)
{
    UnpackDefaultSettings(InstallDir().c_str());
    const std::string settings = FileText(L"systemset.ini");
    // The defaults as carried, with the marker added at the end of its section.
    std::string expected = kDefaultSettings;
    expected.insert(expected.find("[Start]"), "start=1001\r\n");
    EXPECT_EQ(settings, expected);
    EXPECT_EQ(sizeof kDefaultSettings - 1, 160u);
    EXPECT_EQ(Setting(L"Setting", L"start", L"-1"), L"1001");
    EXPECT_EQ(Setting(L"Setting", L"screentoggle", L"0"), L"F10");
    EXPECT_EQ(Setting(L"Start", L"firststart", L"0"), L"1");

    const std::string icon = FileText(L"uninstall.ico");
    EXPECT_EQ(icon.size(), 1150u);
    EXPECT_EQ(Crc(icon), 0xEF089275u);
    EXPECT_EQ(icon.substr(0, 6), std::string("\0\0\1\0\1\0", 6));
    SYSTEMTIME st = {};
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ASSERT_TRUE(GetFileAttributesExW(ResPath(L"uninstall.ico").c_str(), GetFileExInfoStandard, &data));
    FILETIME local = {};
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &st);
    EXPECT_EQ(st.wYear, 2026);
    EXPECT_EQ(st.wMonth, 1);
    EXPECT_EQ(st.wDay, 10);
    EXPECT_EQ(st.wHour, 12);
    EXPECT_EQ(st.wMinute, 0);
}

TEST_F(SettingsTest, MarkerWith1001UpFrontSkipsTheUnpacking)
{
    for (const char* marker : {"1001", "1001abc", "01001", " +1001"}) {
        Clean();
        WriteText(L"systemset.ini", std::string("[Setting]\r\nstart=") + marker + "\r\n");
        UnpackDefaultSettings(InstallDir().c_str());
        EXPECT_FALSE(Exists(L"uninstall.ico")) << marker;
        EXPECT_EQ(Setting(L"Setting", L"screentoggle", L"none"), L"none") << marker;
    }
}

TEST_F(SettingsTest, AnotherNumberUnpacksAgainKeepingTheSettingsButReplacingTheIcon)
{
    WriteText(L"systemset.ini", "[Setting]\r\nstart=1000\r\nscreentoggle=F7\r\n");
    WriteText(L"uninstall.ico", "an older icon");
    WriteText(L"data.zip", "left over from an old installer");
    UnpackDefaultSettings(InstallDir().c_str());
    EXPECT_EQ(Setting(L"Setting", L"screentoggle", L"0"), L"F7");
    EXPECT_EQ(Setting(L"Setting", L"soundoff", L"absent"), L"absent");
    EXPECT_EQ(Setting(L"Setting", L"start", L"-1"), L"1001");
    const std::string icon = FileText(L"uninstall.ico");
    EXPECT_EQ(icon.size(), 1150u);
    EXPECT_EQ(Crc(icon), 0xEF089275u);
    EXPECT_FALSE(Exists(L"data.zip"));
}

TEST_F(SettingsTest, ResFolderIsCreatedWhenMissing)
{
    RemoveDirectoryW((m_strDataDir + L"res").c_str());   // only succeeds when nothing else lives there
    UnpackDefaultSettings(InstallDir().c_str());
    EXPECT_TRUE(Exists(L"systemset.ini"));
    EXPECT_TRUE(Exists(L"uninstall.ico"));
}

namespace {

// A copy of this test program whose "ZIP" 269 is replaced, loaded as the resource module; the
// string table stays, so the settings path is unchanged.
class CAltResources
{
public:
    CAltResources(const std::wstring& folder, const void* pArchive, DWORD nSize)
    {
        WCHAR self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        m_strPath = folder + L"altres.exe";
        CopyFileW(self, m_strPath.c_str(), FALSE);
        HANDLE update = BeginUpdateResourceW(m_strPath.c_str(), FALSE);
        UpdateResourceW(update, L"ZIP", MAKEINTRESOURCEW(269), MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED),
                        const_cast<void*>(pArchive), nSize);
        m_bUpdated = update && EndUpdateResourceW(update, FALSE);
        m_hModule = LoadLibraryExW(m_strPath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    ~CAltResources()
    {
        if (m_hModule)
            FreeLibrary(m_hModule);
        DeleteFileW(m_strPath.c_str());
    }
    bool Ready() const { return m_bUpdated && m_hModule; }
    HMODULE Module() const { return m_hModule; }

private:
    std::wstring m_strPath;
    bool m_bUpdated = false;
    HMODULE m_hModule = nullptr;
};

}  // namespace

TEST_F(SettingsTest, FailedUnpackingIsRetriedAtTheNextStart)
{
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    // An archive with no entries, and bytes that are no archive at all.
    const char empty[22] = {'P', 'K', 5, 6};
    const char garbage[] = "PK\5\6 this is not an archive at all";
    for (int variant = 0; variant < 2; ++variant) {
        Clean();
        CAltResources alt(temp, variant == 0 ? empty : garbage,
                          variant == 0 ? DWORD(sizeof empty) : DWORD(sizeof garbage));
        ASSERT_TRUE(alt.Ready()) << variant;
        {
            CWinApp app(L"Torvel_Qerm");
            app.m_hInstance = alt.Module();
            UnpackDefaultSettings(InstallDir().c_str());
        }
        EXPECT_FALSE(Exists(L"systemset.ini")) << variant;
        EXPECT_EQ(Setting(L"Setting", L"start", L"-1"), L"-1") << variant;
        // The next start, with the archive intact, unpacks.
        UnpackDefaultSettings(InstallDir().c_str());
        EXPECT_EQ(Setting(L"Setting", L"start", L"-1"), L"1001") << variant;
        EXPECT_TRUE(Exists(L"uninstall.ico")) << variant;
    }
}
