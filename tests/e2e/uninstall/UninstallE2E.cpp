// Removing the client end to end, on the prefix's real installation: a normal run of the client
// installs it, "<installed exe>" -u asks, and the copy it starts from the cache folder removes.
#include "../../support/ClientWindows.h"
#include "../../support/ResourcePatch.h"
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <string>
#include <vector>

namespace {

const wchar_t kEntryKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\qzrv《Vantor》";
const wchar_t kProfileKey[] = L"Software\\qzrvpelq";
const wchar_t kCanaryKey[] = L"Software\\TorvelUninstallCanary";
const wchar_t kCopyName[] = L"qzrvpelqtmpu.exe";
const wchar_t kEmulationKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
const wchar_t kGpuKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_GPU_RENDERING";
// The client runs, and is installed, under this file name; another program's switch stays.
const wchar_t kExeName[] = L"Torvel_Qerm.exe";
const wchar_t kOtherExeName[] = L"TorvelCanary.exe";

CString ShellFolder(int csidl)
{
    wchar_t buf[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf);
    return buf;
}

bool Exists(const CString& strPath)
{
    return GetFileAttributesW(strPath) != INVALID_FILE_ATTRIBUTES;
}

bool KeyExists(HKEY hRoot, const wchar_t* pszKey, REGSAM view = 0)
{
    UniqueRegKey key;
    return RegOpenKeyExW(hRoot, pszKey, 0, KEY_READ | view, key.put()) == ERROR_SUCCESS;
}

// A DWORD value, or -1 when there is none.
long long ReadDword(const wchar_t* pszKey, const wchar_t* pszName)
{
    DWORD dwData = 0, cb = sizeof dwData;
    if (RegGetValueW(HKEY_CURRENT_USER, pszKey, pszName, RRF_RT_REG_DWORD, nullptr, &dwData, &cb) != ERROR_SUCCESS)
        return -1;
    return dwData;
}

bool CreateKey(HKEY hRoot, const wchar_t* pszKey, REGSAM view = 0)
{
    UniqueRegKey key;
    return RegCreateKeyExW(hRoot, pszKey, 0, nullptr, 0, KEY_WRITE | view, nullptr, key.put(), nullptr) ==
           ERROR_SUCCESS;
}

bool WriteTextFile(const CString& strPath, const char* pszText)
{
    UniqueFile file(CreateFileW(strPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    return file && WriteFile(file.get(), pszText, DWORD(strlen(pszText)), &written, nullptr);
}

void DeleteTree(const CString& strPath)
{
    std::vector<wchar_t> from(strPath.str().begin(), strPath.str().end());
    from.resize(from.size() + 2, L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.data();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationW(&op);
}

// A dialog template whose window class no program registers: the system cannot create the dialog.
std::vector<BYTE> UncreatableDialogTemplate()
{
    std::vector<WORD> words = {1, 0xFFFF, 0, 0, 0, 0};  // version, signature, help id, extended style
    const DWORD style = WS_POPUP;
    words.push_back(LOWORD(style));
    words.push_back(HIWORD(style));
    words.insert(words.end(), {0, 0, 0, 100, 50, 0});  // no items, x, y, cx, cy, no menu
    for (const wchar_t* p = L"TorvelNoSuchClass"; *p; ++p)
        words.push_back(static_cast<WORD>(*p));
    words.insert(words.end(), {0, 0});  // class terminator, empty title
    const BYTE* first = reinterpret_cast<const BYTE*>(words.data());
    return std::vector<BYTE>(first, first + words.size() * sizeof(WORD));
}

bool ReplaceDialog(const CString& strExe, UINT nID, const std::vector<BYTE>& bytes)
{
    HANDLE hUpdate = BeginUpdateResourceW(strExe, FALSE);
    if (!hUpdate)
        return false;
    if (!UpdateResourceW(hUpdate, RT_DIALOG, MAKEINTRESOURCEW(nID), kClientStringLanguage,
                         const_cast<BYTE*>(bytes.data()), DWORD(bytes.size()))) {
        EndUpdateResourceW(hUpdate, TRUE);
        return false;
    }
    return EndUpdateResourceW(hUpdate, FALSE) != FALSE;
}

// Points the user's application-data folder somewhere else while it lives, and puts the old value
// back. Every process of the prefix sees it: tests that read that folder share this program's lock.
class AppDataOverride
{
public:
    explicit AppDataOverride(const wchar_t* pszPath)
    {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kShellFoldersKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, m_key.put()) !=
            ERROR_SUCCESS)
            return;
        DWORD cb = 0;
        if (RegQueryValueExW(m_key.get(), L"AppData", nullptr, &m_type, nullptr, &cb) != ERROR_SUCCESS)
            return;
        m_saved.resize(cb);
        if (RegQueryValueExW(m_key.get(), L"AppData", nullptr, &m_type, m_saved.data(), &cb) != ERROR_SUCCESS)
            return;
        m_bActive = RegSetValueExW(m_key.get(), L"AppData", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(pszPath),
                                   DWORD((wcslen(pszPath) + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    ~AppDataOverride()
    {
        if (m_bActive)
            RegSetValueExW(m_key.get(), L"AppData", 0, m_type, m_saved.data(), DWORD(m_saved.size()));
    }
    bool IsActive() const { return m_bActive; }

private:
    static constexpr const wchar_t* kShellFoldersKey =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    UniqueRegKey m_key;
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_saved;
    bool m_bActive = false;
};

class UninstallTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_strAppData = ShellFolder(CSIDL_APPDATA);
        ASSERT_FALSE(m_strAppData.IsEmpty());
        m_strDataDir = m_strAppData + L"\\qzrv\\pelq";
        m_strInstalledExe = m_strDataDir + L"\\Torvel_Qerm.exe";
        m_strCacheCopy = m_strAppData + L"\\cache\\" + kCopyName;
        m_strDesktopLink = ShellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\qzrv《Vantor》.lnk";
        m_strBrandDir = ShellFolder(CSIDL_PROGRAMS) + L"\\qzrv";
        m_strGameDir = m_strBrandDir + L"\\Vantor";
        m_strForeignFile = m_strGameDir + L"\\readme.txt";
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        m_strScratch = CString(temp) + L"torvel uninstall test";
        Clean();
    }
    void TearDown() override { Clean(); }

    void Clean()
    {
        for (const CString& strFile : {m_strDesktopLink, GameLink(), UninstallLink(), m_strForeignFile,
                                       m_strInstalledExe, m_strCacheCopy})
            DeleteFileW(strFile);
        RemoveDirectoryW(m_strGameDir);
        RemoveDirectoryW(m_strBrandDir);
        DeleteTree(m_strDataDir + L"\\res");
        DeleteTree(m_strScratch);
        SHDeleteKeyW(HKEY_CURRENT_USER, kProfileKey);
        SHDeleteKeyW(HKEY_CURRENT_USER, kCanaryKey);
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, kEntryKey, KEY_WOW64_64KEY, 0);
        RegDeleteKeyW(HKEY_CURRENT_USER, kEntryKey);
        for (const wchar_t* pszKey : {kEmulationKey, kGpuKey}) {
            SHDeleteValueW(HKEY_CURRENT_USER, pszKey, kExeName);
            SHDeleteValueW(HKEY_CURRENT_USER, pszKey, kOtherExeName);
        }
    }

    CString GameLink() const { return m_strGameDir + L"\\《Vantor》.lnk"; }
    CString UninstallLink() const { return m_strGameDir + L"\\卸载-《Vantor》.lnk"; }

    // A normal run installs as it shows the start window; its close prompt then ends it.
    void Install()
    {
        ClientProcess client;
        ASSERT_TRUE(client.Start(ClientExePath(), L"\"" + ClientExePath() + L"\""));
        HWND hStart = WaitForStartWindow(client);
        ASSERT_NE(hStart, nullptr);
        PostMessageW(hStart, WM_SYSCOMMAND, SC_CLOSE, 0);
        HWND hBox = WaitForMessageBox(client);
        ASSERT_NE(hBox, nullptr);
        ClickDialogButton(hBox, IDOK);
        ASSERT_TRUE(client.WaitForExit());
        ASSERT_NO_FATAL_FAILURE(ExpectInstalled("after the installing run"));
    }

    void ExpectInstalled(const char* pszWhen) const
    {
        for (const CString& strPath : {m_strDesktopLink, GameLink(), UninstallLink(), m_strInstalledExe,
                                       m_strDataDir + L"\\res\\systemset.ini"})
            EXPECT_TRUE(Exists(strPath)) << strPath.ToUtf8() << " missing " << pszWhen;
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kProfileKey)) << pszWhen;
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEntryKey, KEY_WOW64_64KEY)) << pszWhen;
        // The start asked the HTML engine for its current document mode and the graphics card.
        EXPECT_EQ(ReadDword(kEmulationKey, kExeName), 11001) << pszWhen;
        EXPECT_EQ(ReadDword(kGpuKey, kExeName), 1) << pszWhen;
    }

    // Runs a process to its end; its exit code.
    static DWORD Run(const CString& strExe, const CString& strCommandLine)
    {
        ClientProcess client;
        if (!client.Start(strExe, strCommandLine))
            return 0xFFFFFFFF;
        return client.WaitForExit(30000) ? client.ExitCode() : 0xFFFFFFFE;
    }

    // Starts the installed client with "-u" and answers its question; the prompting process must end
    // by itself with 0.
    void AnswerPrompt(const CString& strExe, void (*answer)(HWND))
    {
        ClientProcess client;
        ASSERT_TRUE(client.Start(strExe, L"\"" + strExe + L"\" -u"));
        HWND hBox = WaitForMessageBox(client);
        ASSERT_NE(hBox, nullptr) << "no question";
        answer(hBox);
        ASSERT_TRUE(client.WaitForExit());
        EXPECT_EQ(client.ExitCode(), 0u);
    }

    CString m_strAppData, m_strDataDir, m_strInstalledExe, m_strCacheCopy, m_strDesktopLink, m_strBrandDir,
        m_strGameDir, m_strForeignFile, m_strScratch;
};

}  // namespace

TEST_F(UninstallTest, DecliningOrAnUnshownQuestionChangesNothingAndStartsNothing)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    struct Answer
    {
        const char* name;
        void (*answer)(HWND);
    };
    const Answer answers[] = {
        {"Cancel", [](HWND h) { ClickDialogButton(h, IDCANCEL); }},
        {"close button", [](HWND h) { ClickDialogButton(h, 1001); }},
        {"Escape", [](HWND h) { PostMessageW(h, WM_KEYDOWN, VK_ESCAPE, 0); }},
    };
    for (const Answer& a : answers) {
        SCOPED_TRACE(a.name);
        ASSERT_NO_FATAL_FAILURE(AnswerPrompt(m_strInstalledExe, a.answer));
        EXPECT_FALSE(Exists(m_strCacheCopy)) << "a removal copy was made";
        EXPECT_TRUE(ProcessesNamed(kCopyName).empty()) << "a removal was started";
        ExpectInstalled(a.name);
    }

    // A copy whose question cannot be shown at all has no answer, and does nothing.
    const CString strCopy = CopyExecutableTo(ClientExePath(), m_strScratch);
    ASSERT_FALSE(strCopy.IsEmpty());
    ASSERT_TRUE(ReplaceDialog(strCopy, 164, UncreatableDialogTemplate()));
    EXPECT_EQ(Run(strCopy, L"\"" + strCopy + L"\" -u"), 0u);
    EXPECT_FALSE(Exists(m_strCacheCopy)) << "an unshown question counted as consent";
    ExpectInstalled("after the unshown question");
}

TEST_F(UninstallTest, ConfirmingRemovesTheWholeInstallationAndASecondRemovalFindsNothing)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    // An entry in the user's own program list, as an installation that could not write the
    // machine's list leaves it.
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kEntryKey));
    const DWORD dwOther = 9000;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kEmulationKey, kOtherExeName, REG_DWORD, &dwOther, sizeof dwOther),
              ERROR_SUCCESS);
    // The prompting process holds the installed executable for a moment after it started the
    // removal, as a running image does.
    UniqueFile hold(CreateFileW(m_strInstalledExe, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold);

    ASSERT_NO_FATAL_FAILURE(AnswerPrompt(m_strInstalledExe, [](HWND h) { ClickDialogButton(h, IDOK); }));
    EXPECT_TRUE(Exists(m_strCacheCopy));
    const std::vector<DWORD> removals = ProcessesNamed(kCopyName);
    EXPECT_EQ(removals.size(), 1u) << "the removal copy is not running";
    Sleep(1500);
    hold = UniqueFile();
    for (DWORD id : removals) {
        DWORD code = 0xFFFF;
        ASSERT_TRUE(WaitForProcessId(id, 30000, &code));
        EXPECT_EQ(code, 0u);
    }

    for (const CString& strGone : {m_strDesktopLink, GameLink(), UninstallLink(), m_strInstalledExe,
                                   m_strDataDir + L"\\res", m_strGameDir, m_strBrandDir})
        EXPECT_FALSE(Exists(strGone)) << strGone.ToUtf8() << " is still there";
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProfileKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntryKey, KEY_WOW64_64KEY));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kEntryKey));
    EXPECT_EQ(ReadDword(kEmulationKey, kExeName), -1);
    EXPECT_EQ(ReadDword(kGpuKey, kExeName), -1);
    EXPECT_EQ(ReadDword(kEmulationKey, kOtherExeName), 9000) << "another program's switch went too";
    // Left: the install folder itself and the removal copy.
    EXPECT_TRUE(PathIsDirectoryW(m_strDataDir));
    EXPECT_TRUE(Exists(m_strCacheCopy));

    // Again: nothing left to find, nothing more taken, no message.
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kCanaryKey));
    EXPECT_EQ(Run(m_strCacheCopy, L"-u " + m_strInstalledExe), 0u);
    EXPECT_TRUE(PathIsDirectoryW(m_strDataDir));
    EXPECT_TRUE(Exists(m_strCacheCopy));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kCanaryKey));
}

TEST_F(UninstallTest, RemovalForACopyElsewhereKeepsThatCopyItsFolderAndForeignFiles)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    ASSERT_TRUE(WriteTextFile(m_strForeignFile, "mine"));
    const CString strCopy = CopyExecutableTo(ClientExePath(), m_strScratch);
    ASSERT_FALSE(strCopy.IsEmpty());
    ASSERT_TRUE(CreateDirectoryW(m_strScratch + L"\\res", nullptr));
    ASSERT_TRUE(WriteTextFile(m_strScratch + L"\\res\\marker.txt", "marker"));

    // Started from elsewhere, so the named copy is not the running one.
    EXPECT_EQ(Run(ClientExePath(), L"-u " + strCopy), 0u);

    EXPECT_TRUE(Exists(strCopy)) << "a copy outside the install folder was deleted";
    EXPECT_TRUE(Exists(m_strScratch + L"\\res\\marker.txt")) << "the folder beside that copy lost its res";
    EXPECT_TRUE(Exists(m_strForeignFile)) << "a start-menu folder with other items was deleted whole";
    EXPECT_TRUE(PathIsDirectoryW(m_strBrandDir));
    for (const CString& strGone : {m_strDesktopLink, GameLink(), UninstallLink(), m_strDataDir + L"\\res"})
        EXPECT_FALSE(Exists(strGone)) << strGone.ToUtf8() << " is still there";
    // The installed copy was not named, so it stays.
    EXPECT_TRUE(Exists(m_strInstalledExe));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProfileKey));
}

TEST_F(UninstallTest, AnEmptyNameInTheStringTableRemovesNothing)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kCanaryKey));
    // Platform code, game code, start-menu folder, game title.
    for (UINT nID : {124u, 117u, 105u, 102u}) {
        SCOPED_TRACE(nID);
        const CString strCopy = CopyExecutableTo(ClientExePath(), m_strScratch + L"\\" + std::to_wstring(nID));
        ASSERT_FALSE(strCopy.IsEmpty());
        CResourcePatch patch(strCopy);
        patch.SetString(nID, L"");
        ASSERT_TRUE(patch.Commit());
        EXPECT_EQ(Run(strCopy, L"-u " + m_strInstalledExe), 0u);
        ExpectInstalled("after a removal with an empty name");
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kCanaryKey));
    }
}

TEST_F(UninstallTest, WithoutAnApplicationDataFolderConfirmingLeadsNowhere)
{
    // The copy would go to "\\cache" at the root of the drive the client runs on.
    wchar_t szRootCache[MAX_PATH] = L"";
    GetFullPathNameW(L"\\cache", MAX_PATH, szRootCache, nullptr);
    const bool bRootCacheExisted = Exists(szRootCache);
    {
        // A roaming profile on a drive that is not there: the system has no such folder to give.
        AppDataOverride appData(L"Q:\\absent\\AppData\\Roaming");
        ASSERT_TRUE(appData.IsActive());
        ASSERT_NO_FATAL_FAILURE(AnswerPrompt(ClientExePath(), [](HWND h) { ClickDialogButton(h, IDOK); }));
        EXPECT_TRUE(ProcessesNamed(kCopyName).empty()) << "a removal was started";
    }
    EXPECT_EQ(Exists(szRootCache), bRootCacheExisted) << "made " << CString(szRootCache).ToUtf8();
    EXPECT_FALSE(Exists(CString(szRootCache) + L"\\" + kCopyName));
}
