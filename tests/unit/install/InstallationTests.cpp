// The installation routine on the real data folder, shortcuts and registry of the Wine prefix.
#include "start/Installation.h"
#include "unit/install/InstallFixture.h"

#include <sddl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <vector>

namespace {

const wchar_t kUninstallSuffix[] = L"\\AppData\\Roaming\\qzrv\\pelq\\InstallTests.exe\" -u";

bool EndsWith(const std::wstring& text, const std::wstring& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

TEST_F(InstallTest, FirstRunCreatesTheFolderSettingsAndInstalledCopy)
{
    RunInstallation();
    EXPECT_TRUE(PathIsDirectoryW(DataDir().c_str()));
    EXPECT_TRUE(FileExists(DataDir() + L"\\res\\uninstall.ico"));
    const std::string running = ReadFileBytes(ModulePath());
    const std::string installed = ReadFileBytes(InstalledExe());
    EXPECT_GT(running.size(), 100000u);
    EXPECT_TRUE(installed == running) << "the installed copy differs from the running executable";
    // The copy was made, so the first-start step ran and cleared its flag.
    EXPECT_EQ(FirstStart(), L"0");
}

TEST_F(InstallTest, ShortcutsStartTheInstalledCopy)
{
    RunInstallation();
    const LinkInfo desktop = ReadLink(DesktopLink());
    ASSERT_TRUE(desktop.bLoaded);
    EXPECT_EQ(desktop.strPath, InstalledExe());
    EXPECT_EQ(desktop.strArguments, L"1");
    EXPECT_EQ(desktop.strIconPath, L"");
    EXPECT_EQ(desktop.nShowCmd, SW_SHOWNORMAL);

    const LinkInfo game = ReadLink(StartMenuLink());
    ASSERT_TRUE(game.bLoaded);
    EXPECT_EQ(game.strPath, InstalledExe());
    EXPECT_EQ(game.strArguments, L"1");
    EXPECT_EQ(game.strIconPath, L"");

    const LinkInfo uninstall = ReadLink(UninstallLink());
    ASSERT_TRUE(uninstall.bLoaded);
    EXPECT_EQ(uninstall.strPath, InstalledExe());
    EXPECT_EQ(uninstall.strArguments, L"-u");
    EXPECT_EQ(uninstall.strIconPath, DataDir() + L"\\res\\uninstall.ico");
    EXPECT_EQ(uninstall.nIconIndex, 0);
    EXPECT_EQ(uninstall.nShowCmd, SW_SHOWNORMAL);
}

TEST_F(InstallTest, ProgramListEntryHoldsFourTextsWithTheQuotedUninstallCommand)
{
    RunInstallation();
    const RegText path = ReadRegText(HKEY_LOCAL_MACHINE, kEntryKey, L"Path", KEY_WOW64_64KEY);
    EXPECT_EQ(path.strText, InstalledExe());
    EXPECT_EQ(path.nType, DWORD(REG_SZ));
    EXPECT_EQ(path.nBytes, (InstalledExe().size() + 1) * sizeof(wchar_t));
    const RegText name = ReadRegText(HKEY_LOCAL_MACHINE, kEntryKey, L"DisplayName", KEY_WOW64_64KEY);
    EXPECT_EQ(name.strText, L"Vantor");
    EXPECT_EQ(name.nBytes, 14u);
    const RegText publisher = ReadRegText(HKEY_LOCAL_MACHINE, kEntryKey, L"Publisher", KEY_WOW64_64KEY);
    EXPECT_EQ(publisher.strText, L"qzrv");
    EXPECT_EQ(publisher.nBytes, 10u);

    const RegText command = ReadRegText(HKEY_LOCAL_MACHINE, kEntryKey, L"UninstallString", KEY_WOW64_64KEY);
    EXPECT_EQ(command.nType, DWORD(REG_SZ));
    EXPECT_EQ(command.strText.substr(0, 10), L"\"C:\\users\\");
    EXPECT_TRUE(EndsWith(command.strText, kUninstallSuffix)) << command.strText;
    // Split as the system splits it: the installed executable, then the switch.
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(command.strText.c_str(), &argc);
    ASSERT_NE(argv, nullptr);
    ASSERT_EQ(argc, 2);
    EXPECT_EQ(std::wstring(argv[0]), InstalledExe());
    EXPECT_EQ(std::wstring(argv[1]), L"-u");
    LocalFree(argv);
}

namespace {
// The machine's program list refuses new entries while this lives, as it does for a user without
// administrator rights; the list's own permissions come back afterwards.
class MachineListRefusal
{
public:
    MachineListRefusal()
    {
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                          READ_CONTROL | WRITE_DAC | KEY_WOW64_64KEY, m_list.put()) != ERROR_SUCCESS)
            return;
        DWORD cb = 0;
        RegGetKeySecurity(m_list.get(), DACL_SECURITY_INFORMATION, nullptr, &cb);
        m_saved.resize(cb);
        if (cb == 0 || RegGetKeySecurity(m_list.get(), DACL_SECURITY_INFORMATION, m_saved.data(), &cb) != ERROR_SUCCESS)
            return;
        PSECURITY_DESCRIPTOR pDeny = nullptr;
        // Everyone: no new keys; everything else as before.
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(D;;0x4;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                  &pDeny, nullptr))
            return;
        m_bActive = RegSetKeySecurity(m_list.get(), DACL_SECURITY_INFORMATION, pDeny) == ERROR_SUCCESS;
        LocalFree(pDeny);
    }
    ~MachineListRefusal()
    {
        if (m_bActive)
            RegSetKeySecurity(m_list.get(), DACL_SECURITY_INFORMATION, m_saved.data());
    }
    bool IsActive() const { return m_bActive; }

private:
    UniqueRegKey m_list;
    std::vector<BYTE> m_saved;
    bool m_bActive = false;
};
}  // namespace

TEST_F(InstallTest, ProgramEntryGoesToTheUsersListWhereTheMachinesRefusesIt)
{
    {
        MachineListRefusal refusal;
        ASSERT_TRUE(refusal.IsActive());
        RunInstallation();
    }
    EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, kEntryKey, L"Path", KEY_WOW64_64KEY).nType, DWORD(REG_NONE))
        << "the machine's list took the entry after all";
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, kEntryKey, L"Path").strText, InstalledExe());
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, kEntryKey, L"DisplayName").strText, L"Vantor");
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, kEntryKey, L"Publisher").strText, L"qzrv");
    EXPECT_TRUE(EndsWith(ReadRegText(HKEY_CURRENT_USER, kEntryKey, L"UninstallString").strText, kUninstallSuffix));

    // With the machine's list open again, the entry the user's list holds is still the only one.
    RunInstallation();
    EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, kEntryKey, L"Path", KEY_WOW64_64KEY).nType, DWORD(REG_NONE));
}

TEST_F(InstallTest, ProfileSectionMirrorsTheEntry)
{
    RunInstallation();
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, ProfileKey(), L"Path").strText, InstalledExe());
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, ProfileKey(), L"DisplayName").strText, L"Vantor");
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, ProfileKey(), L"Publisher").strText, L"qzrv");
    const std::wstring command = ReadRegText(HKEY_CURRENT_USER, ProfileKey(), L"UninstallString").strText;
    EXPECT_EQ(command.substr(0, 10), L"\"C:\\users\\");
    EXPECT_TRUE(EndsWith(command, kUninstallSuffix)) << command;
}

TEST_F(InstallTest, AnExistingProgramEntryIsNeverUpdated)
{
    UniqueRegKey entry;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kEntryKey, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr,
                              entry.put(), nullptr),
              ERROR_SUCCESS);
    const wchar_t oldPath[] = L"D:\\moved\\Torvel_Qerm.exe";
    RegSetValueExW(entry.get(), L"Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(oldPath), sizeof oldPath);
    entry.reset();

    RunInstallation();
    EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, kEntryKey, L"Path", KEY_WOW64_64KEY).strText, oldPath);
    EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, kEntryKey, L"UninstallString", KEY_WOW64_64KEY).nType,
              DWORD(REG_NONE));
}

TEST_F(InstallTest, ProfileIsRewrittenOnlyWhenItsPathDiffers)
{
    // The same path: the other values stay as they are.
    ASSERT_TRUE(m_app.WriteProfileString(L"qzrv《Vantor》", L"Path", InstalledExe().c_str()));
    ASSERT_TRUE(m_app.WriteProfileString(L"qzrv《Vantor》", L"DisplayName", L"kept"));
    RunInstallation();
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, ProfileKey(), L"DisplayName").strText, L"kept");
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, ProfileKey(), L"Publisher").nType, DWORD(REG_NONE));

    // A path that differs, if only in case: all four are written again.
    std::wstring upper = InstalledExe();
    CharUpperW(&upper[0]);
    ASSERT_TRUE(m_app.WriteProfileString(L"qzrv《Vantor》", L"Path", upper.c_str()));
    RunInstallation();
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, ProfileKey(), L"Path").strText, InstalledExe());
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, ProfileKey(), L"DisplayName").strText, L"Vantor");
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, ProfileKey(), L"Publisher").strText, L"qzrv");
}

TEST_F(InstallTest, DesktopShortcutIsKeptButComesBackWhenDeleted)
{
    RunInstallation();
    // The player's own shortcut under our name is not replaced.
    ASSERT_TRUE(WriteLink(DesktopLink(), L"C:\\windows\\notepad.exe", L"mine"));
    // Start-menu shortcuts are written anew at every start.
    ASSERT_TRUE(WriteLink(StartMenuLink(), L"C:\\windows\\notepad.exe", L"changed"));
    RunInstallation();
    EXPECT_EQ(ReadLink(DesktopLink()).strArguments, L"mine");
    EXPECT_EQ(ReadLink(StartMenuLink()).strPath, InstalledExe());
    EXPECT_EQ(ReadLink(StartMenuLink()).strArguments, L"1");

    // Renamed by the player: left alone, and a new one appears beside it.
    const std::wstring renamed = DesktopLink().substr(0, DesktopLink().rfind(L'\\')) + L"\\Game.lnk";
    ASSERT_TRUE(MoveFileW(DesktopLink().c_str(), renamed.c_str()));
    RunInstallation();
    EXPECT_EQ(ReadLink(renamed).strArguments, L"mine");
    EXPECT_EQ(ReadLink(DesktopLink()).strArguments, L"1");
    DeleteFileW(renamed.c_str());
}

TEST_F(InstallTest, SameVersionInstalledIsNotReplacedAndFirstStartWaits)
{
    RunInstallation();
    SetFirstStart(L"1");
    // Same version, different bytes: the copy must not happen.
    std::string marked = ReadFileBytes(ModulePath()) + "marker";
    ASSERT_TRUE(WriteFileBytes(InstalledExe(), marked));
    RunInstallation();
    EXPECT_EQ(ReadFileBytes(InstalledExe()).size(), marked.size());
    EXPECT_EQ(FirstStart(), L"1");
}

TEST_F(InstallTest, OlderOrUnversionedInstalledCopyIsReplaced)
{
    for (const wchar_t* version : {L"1.0.0.0", L"0.9.9.9", L"1.0", L"0", L"(text)"}) {
        RunInstallation();
        SetFirstStart(L"1");
        ASSERT_TRUE(CopyExeWithVersion(ModulePath(), InstalledExe(), version)) << version;
        RunInstallation();
        EXPECT_TRUE(ReadFileBytes(InstalledExe()) == ReadFileBytes(ModulePath())) << version;
        EXPECT_EQ(FirstStart(), L"0") << version;
        Clean();
    }
    // A file without any version resource.
    RunInstallation();
    SetFirstStart(L"7");
    ASSERT_TRUE(WriteFileBytes(InstalledExe(), "not a program"));
    RunInstallation();
    EXPECT_TRUE(ReadFileBytes(InstalledExe()) == ReadFileBytes(ModulePath()));
    EXPECT_EQ(FirstStart(), L"0");
}

TEST_F(InstallTest, NewerInstalledCopyIsNeverReplacedByAnOlderDownload)
{
    // Digits run together would rank 2.0 (20) and 1.1 (11) below 1.0.0.1 (1001).
    for (const wchar_t* version : {L"1.0.0.2", L"1.0.1.0", L"2.0", L"1.1", L"10"}) {
        RunInstallation();
        SetFirstStart(L"1");
        ASSERT_TRUE(CopyExeWithVersion(ModulePath(), InstalledExe(), version)) << version;
        const std::string before = ReadFileBytes(InstalledExe());
        RunInstallation();
        EXPECT_TRUE(ReadFileBytes(InstalledExe()) == before) << version;
        EXPECT_EQ(FirstStart(), L"1") << version;
        Clean();
    }
}

TEST_F(InstallTest, FailedCopyStillClearsTheFirstStartFlag)
{
    RunInstallation();
    SetFirstStart(L"1");
    ASSERT_TRUE(CopyExeWithVersion(ModulePath(), InstalledExe(), L"1.0.0.0"));
    const std::string before = ReadFileBytes(InstalledExe());
    {
        // Held open as a running program holds its file: no one may write it.
        UniqueFile busy(CreateFileW(InstalledExe().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
        ASSERT_TRUE(busy);
        RunInstallation();
    }
    EXPECT_TRUE(ReadFileBytes(InstalledExe()) == before);
    EXPECT_EQ(FirstStart(), L"0");
}

TEST_F(InstallTest, RunningTwiceChangesNothingMore)
{
    RunInstallation();
    SetFirstStart(L"1");
    RunInstallation();
    // Equal versions: no copy, so the first-start step waits for a real update.
    EXPECT_TRUE(ReadFileBytes(InstalledExe()) == ReadFileBytes(ModulePath()));
    EXPECT_EQ(FirstStart(), L"1");
    EXPECT_EQ(ReadLink(DesktopLink()).strArguments, L"1");
    EXPECT_EQ(ReadLink(UninstallLink()).strArguments, L"-u");
    EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, kEntryKey, L"DisplayName", KEY_WOW64_64KEY).strText, L"Vantor");
    EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, ProfileKey(), L"Path").strText, InstalledExe());
}
