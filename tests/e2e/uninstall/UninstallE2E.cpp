// Removing the client end to end, on the prefix's real installation: a normal run of the client
// installs it, "<installed exe>" -u asks, and the copy it starts from the cache folder removes.
#include "support/ClientWindows.h"
#include "support/FilesAndKeys.h"
#include "support/ResourcePatch.h"
#include "support/ShellFolderOverride.h"
#include "support/Wait.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <string>
#include <vector>

namespace {

const wchar_t kEntryKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\qzrv《Vantor》";
const wchar_t kProfileKey[] = L"Software\\qzrvpelq";
const wchar_t kCanaryKey[] = L"Software\\TorvelUninstallCanary";
const wchar_t kRolloutValue[] = L"UpdateRollout";
const wchar_t kCopyName[] = L"qzrvpelqtmpu.exe";
const wchar_t kEmulationKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
const wchar_t kGpuKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_GPU_RENDERING";
// The client runs, and is installed, under this file name; another program's switch stays.
const wchar_t kExeName[] = L"Torvel_Qerm.exe";
const wchar_t kOtherExeName[] = L"TorvelCanary.exe";
// A first start often runs under the downloaded file's name.
const wchar_t kDownloadName[] = L"Vantor(1).exe";

// The lines of diagnostics the process sends while this thread is attached to it as its debugger,
// until one holds pszText or the time is up; the process runs on, detached, either way.
bool WaitForDiagnostic(DWORD dwProcessId, const char* pszText, DWORD nTimeoutMs)
{
    if (!DebugActiveProcess(dwProcessId))
        return false;
    DebugSetProcessKillOnExit(FALSE);
    UniqueHandle process(OpenProcess(PROCESS_VM_READ, FALSE, dwProcessId));
    bool bSeen = false, bGone = false;
    const DWORD dwStart = GetTickCount();
    while (!bSeen && !bGone && GetTickCount() - dwStart < nTimeoutMs) {
        DEBUG_EVENT event{};
        if (!WaitForDebugEvent(&event, 100))
            continue;
        DWORD dwContinue = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case OUTPUT_DEBUG_STRING_EVENT: {
            // Wide text is searched as its low bytes: the line looked for is ASCII.
            const OUTPUT_DEBUG_STRING_INFO& info = event.u.DebugString;
            const size_t cbChar = info.fUnicode ? 2 : 1;
            std::string bytes(info.nDebugStringLength * cbChar, '\0');
            SIZE_T got = 0;
            ReadProcessMemory(process.get(), info.lpDebugStringData, &bytes[0], bytes.size(), &got);
            std::string text;
            for (size_t i = 0; i < got; i += cbChar)
                text += bytes[i];
            bSeen = text.find(pszText) != std::string::npos;
            break;
        }
        case EXCEPTION_DEBUG_EVENT:
            // The attach's own breakpoint is ours; everything else is the process's to handle.
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                dwContinue = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case CREATE_PROCESS_DEBUG_EVENT:
            CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            CloseHandle(event.u.LoadDll.hFile);
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            bGone = true;
            break;
        default:
            break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, dwContinue);
    }
    DebugActiveProcessStop(dwProcessId);
    return bSeen;
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
        m_strScratch = TempPath(L"torvel uninstall test");
        Clean();
    }
    void TearDown() override { Clean(); }

    void Clean()
    {
        for (const CString& strFile : {m_strDesktopLink, GameLink(), UninstallLink(), m_strForeignFile,
                                       m_strInstalledExe, m_strCacheCopy, m_strDataDir + L"\\" + kDownloadName})
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
            SHDeleteValueW(HKEY_CURRENT_USER, pszKey, kDownloadName);
        }
    }

    CString GameLink() const { return m_strGameDir + L"\\《Vantor》.lnk"; }
    CString UninstallLink() const { return m_strGameDir + L"\\卸载-《Vantor》.lnk"; }

    // A normal run installs as it shows the start window; its close prompt then ends it.
    void Install(const CString& strExe = ClientExePath())
    {
        ClientProcess client;
        ASSERT_TRUE(client.Start(strExe, L"\"" + strExe + L"\""));
        HWND hStart = WaitForStartWindow(client);
        ASSERT_NE(hStart, nullptr);
        ASSERT_TRUE(CloseThroughPrompt(client, hStart));
        ASSERT_NO_FATAL_FAILURE(ExpectInstalled("after the installing run"));
    }

    void ExpectInstalled(const char* pszWhen) const
    {
        for (const CString& strPath : {m_strDesktopLink, GameLink(), UninstallLink(), m_strInstalledExe,
                                       m_strDataDir + L"\\res\\systemset.ini"})
            EXPECT_TRUE(PathExists(strPath)) << strPath.ToUtf8() << " missing " << pszWhen;
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kProfileKey)) << pszWhen;
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEntryKey, KEY_WOW64_64KEY)) << pszWhen;
        // The installation's place in staged update rollouts, drawn at its first start.
        const long long nRollout = ReadDword(HKEY_CURRENT_USER, kProfileKey, kRolloutValue);
        EXPECT_TRUE(nRollout >= 0 && nRollout < 100) << nRollout << " " << pszWhen;
        // The start asked the HTML engine for its current document mode and the graphics card.
        EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kEmulationKey, kExeName), 11001) << pszWhen;
        EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kGpuKey, kExeName), 1) << pszWhen;
    }

    static void ExpectGone(std::initializer_list<CString> paths, const char* pszWhy = " is still there")
    {
        for (const CString& strPath : paths)
            EXPECT_FALSE(PathExists(strPath)) << strPath.ToUtf8() << pszWhy;
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

TEST_F(UninstallTest, AMissingTargetDecliningAnUnshownQuestionOrAnEmptyNameChangesNothing)
{
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kCanaryKey));
    // Aimed at a file that does not exist while nothing is installed: it ends quietly (a message box
    // would keep the process waiting for an answer) and makes nothing.
    EXPECT_EQ(Run(ClientExePath(), L"-u C:\\nowhere\\Torvel_Qerm.exe"), 0u);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kCanaryKey));
    ExpectGone({m_strDesktopLink, GameLink(), UninstallLink(), m_strInstalledExe, m_strDataDir + L"\\res",
                m_strCacheCopy, m_strGameDir}, " was made");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProfileKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntryKey, KEY_WOW64_64KEY));
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kEmulationKey, kExeName), -1);

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
        EXPECT_FALSE(PathExists(m_strCacheCopy)) << "a removal copy was made";
        EXPECT_TRUE(ProcessesNamed(kCopyName).empty()) << "a removal was started";
        ExpectInstalled(a.name);
    }

    // A copy whose question cannot be shown at all has no answer, and does nothing.
    const CString strCopy = CopyExecutableTo(ClientExePath(), m_strScratch);
    ASSERT_FALSE(strCopy.IsEmpty());
    ASSERT_TRUE(ReplaceDialog(strCopy, 164, UncreatableDialogTemplate()));
    EXPECT_EQ(Run(strCopy, L"\"" + strCopy + L"\" -u"), 0u);
    EXPECT_FALSE(PathExists(m_strCacheCopy)) << "an unshown question counted as consent";
    ExpectInstalled("after the unshown question");

    // An empty platform code, game code, start-menu folder or game title removes nothing.
    for (UINT nID : {124u, 117u, 105u, 102u}) {
        SCOPED_TRACE(nID);
        const CString strEmptied = CopyExecutableTo(ClientExePath(), m_strScratch + L"\\" + std::to_wstring(nID));
        ASSERT_FALSE(strEmptied.IsEmpty());
        CResourcePatch patch(strEmptied);
        patch.SetString(nID, L"");
        ASSERT_TRUE(patch.Commit());
        EXPECT_EQ(Run(strEmptied, L"-u " + m_strInstalledExe), 0u);
        ExpectInstalled("after a removal with an empty name");
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kCanaryKey));
    }
}

TEST_F(UninstallTest, ConfirmingRemovesTheWholeInstallationAndASecondRemovalFindsNothing)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    // An entry in the user's own program list, as an installation that could not write the
    // machine's list leaves it.
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kEntryKey));
    ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, kEmulationKey, kOtherExeName, 9000));
    // A start under the downloaded file's name switched the page mode on for that name too.
    const CString strDownloadDir = CopyExecutableTo(ClientExePath(), m_strScratch);
    const CString strDownload = m_strScratch + L"\\" + kDownloadName;
    ASSERT_TRUE(!strDownloadDir.IsEmpty() && CopyFileW(strDownloadDir, strDownload, FALSE));
    ASSERT_NO_FATAL_FAILURE(Install(strDownload));
    ASSERT_EQ(ReadDword(HKEY_CURRENT_USER, kEmulationKey, kDownloadName), 11001);
    // The prompting process holds the installed executable for a moment after it started the
    // removal, as a running image does: here until the removal has found it held at least once.
    UniqueFile hold(CreateFileW(m_strInstalledExe, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold);

    ASSERT_NO_FATAL_FAILURE(AnswerPrompt(m_strInstalledExe, [](HWND h) { ClickDialogButton(h, IDOK); }));
    EXPECT_TRUE(PathExists(m_strCacheCopy));
    const std::vector<DWORD> removals = ProcessesNamed(kCopyName);
    ASSERT_EQ(removals.size(), 1u) << "the removal copy is not running";
    EXPECT_TRUE(WaitForDiagnostic(removals[0], "installed executable still in use", 5000))
        << "the removal never found the installed executable held";
    EXPECT_TRUE(PathExists(m_strInstalledExe));
    hold = UniqueFile();
    for (DWORD id : removals) {
        DWORD code = 0xFFFF;
        ASSERT_TRUE(WaitForProcessId(id, 30000, &code));
        EXPECT_EQ(code, 0u);
    }

    ExpectGone({m_strDesktopLink, GameLink(), UninstallLink(), m_strInstalledExe, m_strDataDir + L"\\res", m_strGameDir,
                m_strBrandDir});
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProfileKey));
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kProfileKey, kRolloutValue), -1) << "the rollout number stayed";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntryKey, KEY_WOW64_64KEY));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kEntryKey));
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kEmulationKey, kExeName), -1);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kGpuKey, kExeName), -1);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kEmulationKey, kDownloadName), -1) << "the downloaded name's switch stayed";
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kGpuKey, kDownloadName), -1) << "the downloaded name's switch stayed";
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kEmulationKey, kOtherExeName), 9000) << "another program's switch went too";
    // Left: the install folder itself and the removal copy.
    EXPECT_TRUE(PathIsDirectoryW(m_strDataDir));
    EXPECT_TRUE(PathExists(m_strCacheCopy));

    // Again: nothing left to find, nothing more taken, no message.
    ASSERT_TRUE(CreateKey(HKEY_CURRENT_USER, kCanaryKey));
    EXPECT_EQ(Run(m_strCacheCopy, L"-u " + m_strInstalledExe), 0u);
    EXPECT_TRUE(PathIsDirectoryW(m_strDataDir));
    EXPECT_TRUE(PathExists(m_strCacheCopy));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kCanaryKey));
}

TEST_F(UninstallTest, RemovalForACopyElsewhereKeepsThatCopyItsFolderAndForeignFiles)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    ASSERT_TRUE(WriteFileBytes(m_strForeignFile, "mine"));
    const CString strCopy = CopyExecutableTo(ClientExePath(), m_strScratch);
    ASSERT_FALSE(strCopy.IsEmpty());
    ASSERT_TRUE(CreateDirectoryW(m_strScratch + L"\\res", nullptr));
    ASSERT_TRUE(WriteFileBytes(m_strScratch + L"\\res\\marker.txt", "marker"));

    // Started from elsewhere, so the named copy is not the running one.
    EXPECT_EQ(Run(ClientExePath(), L"-u " + strCopy), 0u);

    EXPECT_TRUE(PathExists(strCopy)) << "a copy outside the install folder was deleted";
    EXPECT_TRUE(PathExists(m_strScratch + L"\\res\\marker.txt")) << "the folder beside that copy lost its res";
    EXPECT_TRUE(PathExists(m_strForeignFile)) << "a start-menu folder with other items was deleted whole";
    EXPECT_TRUE(PathIsDirectoryW(m_strBrandDir));
    ExpectGone({m_strDesktopLink, GameLink(), UninstallLink(), m_strDataDir + L"\\res"});
    // The installed copy was not named, so it stays, and so does the machine's program-list entry,
    // which names that copy (as another user's entry names theirs).
    EXPECT_TRUE(PathExists(m_strInstalledExe));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEntryKey, KEY_WOW64_64KEY)) << "another installation's entry went";
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kProfileKey));
}

TEST_F(UninstallTest, ARunningClientIsToBeEndedFirstAndAnUndeletableExeKeepsTheWayBack)
{
    ASSERT_NO_FATAL_FAILURE(Install());
    {
        // A client of the installation runs (hidden by the boss key it would show only its icon).
        ClientProcess running;
        ASSERT_TRUE(running.Start(m_strInstalledExe, L"\"" + m_strInstalledExe + L"\""));
        ASSERT_NE(WaitForStartWindow(running), nullptr);
        ClientProcess prompt;
        ASSERT_TRUE(prompt.Start(m_strInstalledExe, L"\"" + m_strInstalledExe + L"\" -u"));
        // OK while it still runs asks again and starts nothing.
        HWND hBox = WaitForMessageBox(prompt);
        ASSERT_NE(hBox, nullptr) << "no question";
        ClickDialogButton(hBox, IDOK);
        ASSERT_TRUE(WaitUntil([hBox] { return !IsWindow(hBox); }, 10000)) << "OK left the question open";
        hBox = WaitForMessageBox(prompt);
        ASSERT_NE(hBox, nullptr) << "the removal went ahead while a client ran";
        EXPECT_FALSE(PathExists(m_strCacheCopy)) << "a removal copy was made";
        // Once the client is gone, OK leads to the usual question; its Cancel keeps everything.
        running.Kill();
        ClickDialogButton(hBox, IDOK);
        ASSERT_TRUE(WaitUntil([hBox] { return !IsWindow(hBox); }, 10000)) << "OK left the second question open";
        hBox = WaitForMessageBox(prompt);
        ASSERT_NE(hBox, nullptr) << "no uninstall question after the client ended";
        EXPECT_FALSE(PathExists(m_strCacheCopy));
        ClickDialogButton(hBox, IDCANCEL);
        ASSERT_TRUE(prompt.WaitForExit());
        EXPECT_TRUE(ProcessesNamed(kCopyName).empty()) << "a removal was started";
        ExpectInstalled("after the running client's question");
    }

    // A removal that cannot delete the executable (held as a running image holds it, past the
    // removal's wait) keeps the uninstall shortcut and the program-list entry.
    UniqueFile hold(CreateFileW(m_strInstalledExe, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(hold);
    const CString strCopy = CopyExecutableTo(ClientExePath(), m_strScratch);
    ASSERT_FALSE(strCopy.IsEmpty());
    EXPECT_EQ(Run(strCopy, L"-u " + m_strInstalledExe), 0u);
    hold = UniqueFile();
    EXPECT_TRUE(PathExists(m_strInstalledExe));
    EXPECT_TRUE(PathExists(UninstallLink())) << "the way to try again went";
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kEntryKey, KEY_WOW64_64KEY)) << "the way to try again went";
    ExpectGone({m_strDesktopLink, GameLink(), m_strDataDir + L"\\res"});
    // Tried again once nothing holds it: all of it goes.
    EXPECT_EQ(Run(strCopy, L"-u " + m_strInstalledExe), 0u);
    ExpectGone({m_strInstalledExe, UninstallLink(), m_strGameDir, m_strBrandDir});
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kEntryKey, KEY_WOW64_64KEY));
}

TEST_F(UninstallTest, WithoutAnApplicationDataFolderConfirmingLeadsNowhere)
{
    // The copy would go to "\\cache" at the root of the drive the client runs on.
    wchar_t szRootCache[MAX_PATH] = L"";
    GetFullPathNameW(L"\\cache", MAX_PATH, szRootCache, nullptr);
    const bool bRootCacheExisted = PathExists(szRootCache);
    // A copy of its own: a client of the build folder's executable that another test runs meanwhile
    // would first have to be ended.
    const CString strCopy = CopyExecutableTo(ClientExePath(), m_strScratch);
    ASSERT_FALSE(strCopy.IsEmpty());
    {
        // A roaming profile on a drive that is not there: the system has no such folder to give.
        ShellFolderOverride appData(L"AppData", L"Q:\\absent\\AppData\\Roaming");
        ASSERT_TRUE(appData.IsActive());
        ASSERT_NO_FATAL_FAILURE(AnswerPrompt(strCopy, [](HWND h) { ClickDialogButton(h, IDOK); }));
        EXPECT_TRUE(ProcessesNamed(kCopyName).empty()) << "a removal was started";
    }
    EXPECT_EQ(PathExists(szRootCache), bRootCacheExisted) << "made " << CString(szRootCache).ToUtf8();
    EXPECT_FALSE(PathExists(CString(szRootCache) + L"\\" + kCopyName));
}
