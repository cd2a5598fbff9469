// The shipped 32-bit client, checked from outside as a player would see it: a normal start, a signed
// update from download to the new version's start window, and the uninstall question. Under emulation every process starts slower, so this
// runs as few processes as the checks need and waits generously for each.
// Prints one line per check; the exit code is the number of failed checks.
#include "support/ClientWindows.h"
#include "support/FilesAndKeys.h"
#include "support/LoopbackHttpServer.h"
#include "support/UpdateLogText.h"
#include "support/UpdateRelease.h"
#include "support/Wait.h"
#include "framework/Handles.h"
#include <shlobj.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD kWaitMs = 3 * 60 * 1000;
int g_nFailed = 0;

void Check(bool bPassed, const char* pszWhat)
{
    std::printf("%s  %s\n", bPassed ? "ok  " : "FAIL", pszWhat);
    std::fflush(stdout);
    if (!bPassed)
        ++g_nFailed;
}

// The start window takes the size of its picture: PNG 319's width and height, from its header.
SIZE StartPictureSize(const CString& strExe)
{
    SIZE size{};
    UniqueModule module(LoadLibraryExW(strExe, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    HRSRC res = module ? FindResourceW(module.get(), MAKEINTRESOURCEW(319), L"PNG") : nullptr;
    const BYTE* p = res ? static_cast<const BYTE*>(LockResource(LoadResource(module.get(), res))) : nullptr;
    if (!p || SizeofResource(module.get(), res) < 24)
        return size;
    auto bigEndian = [p](int at) { return LONG(p[at]) << 24 | LONG(p[at + 1]) << 16 | LONG(p[at + 2]) << 8 | p[at + 3]; };
    size.cx = bigEndian(16);
    size.cy = bigEndian(20);
    return size;
}

// The update log's messages after its first nSkip, which earlier runs wrote.
std::vector<std::wstring> NewMessages(const CString& strLog, size_t nSkip)
{
    std::vector<std::wstring> messages = UpdateLogMessages(strLog);
    messages.erase(messages.begin(), messages.begin() + std::min(nSkip, messages.size()));
    return messages;
}

bool Logged(const std::vector<std::wstring>& messages, const wchar_t* pszFragment)
{
    return std::any_of(messages.begin(), messages.end(),
                       [&](const std::wstring& message) { return message.find(pszFragment) != std::wstring::npos; });
}

}  // namespace

int wmain()
{
    const CString strClient = ClientExePath();
    const CString strAppData = ShellFolder(CSIDL_APPDATA);
    const CString strData = strAppData + L"\\qzrv\\pelq\\";
    const CString strInstalled = strData + L"Torvel_Qerm.exe";
    const CString strLog = strData + L"res\\update.log";
    const CString strCacheCopy = strAppData + L"\\cache\\qzrvpelqtmpu.exe";
    // Every run starts without an installation of this client and without a downloaded update.
    DeleteFileW(strInstalled);
    DeleteFileW(strCacheCopy);
    DeleteTree(strAppData + L"\\cache\\qzrvpelqupdate");

    std::printf("normal start of %ls\n", static_cast<LPCWSTR>(strClient));
    {
        ClientProcess client;
        Check(client.Start(strClient, L"\"" + strClient + L"\""), "the client starts");
        const HWND hStart = WaitForStartWindow(client, kWaitMs);
        Check(hStart != nullptr, "the start window 《Vantor》微端 appears");
        RECT rc{};
        GetWindowRect(hStart, &rc);
        const SIZE picture = StartPictureSize(strClient);
        std::printf("      start window %ld x %ld, start picture %ld x %ld\n", rc.right - rc.left, rc.bottom - rc.top,
                    picture.cx, picture.cy);
        Check(picture.cx > 0 && rc.right - rc.left == picture.cx && rc.bottom - rc.top == picture.cy,
              "the start window has the size of the start picture");
        // The installation runs once the start window is up.
        const std::string clientBytes = ReadFileBytes(strClient);
        Check(WaitUntil([&] { return PathExists(strData + L"res\\systemset.ini"); }, kWaitMs, 500),
              "the data folder holds the settings file");
        Check(WaitUntil([&] { return ReadFileBytes(strInstalled) == clientBytes; }, kWaitMs, 500),
              "the data folder holds the installed copy");
        PostMessageW(hStart, WM_SYSCOMMAND, SC_CLOSE, 0);
        const HWND hBox = hStart ? WaitForMessageBox(client, kWaitMs) : nullptr;
        Check(hBox != nullptr, "closing asks first");
        ClickDialogButton(hBox, IDOK);
        Check(hBox && client.WaitForExit(kWaitMs) && client.ExitCode() == 0, "OK ends the client with exit code 0");
    }

    std::printf("signed update\n");
    {
        // The operator's two builds: this client as 1.0.0.1 and as 1.0.0.2, both asking a loopback
        // version server and trusting this run's key instead of the build's.
        CTestSigningKey key;
        CLoopbackHttpServer server;
        Check(key.IsValid() && server.IsListening(), "a signing key and a version server");
        const CString strFolder = TempPath(L"torvel smoke update");
        DeleteTree(strFolder);
        CreateDirectoryW(strFolder, nullptr);
        auto makeBuild = [&](const wchar_t* pszName, const char* pszVersion) {
            const CString strDir = strFolder + L"\\" + pszName;
            CreateDirectoryW(strDir, nullptr);
            const CString strCopy = MakeUpdateClient(strClient, strDir, server.Url(""), key, pszVersion);
            return strCopy.IsEmpty() ? std::string() : ReadFileBytes(strCopy);
        };
        const std::string oldBuild = makeBuild(L"old", "1.0.0.1");
        const std::string newBuild = makeBuild(L"new", "1.0.0.2");
        server.Add("/getClientVersion.php?p=tarnube&g=pelq&v=1.0.0.1",
                   CannedResponse::Make("200 OK", SignedManifestFor(key, newBuild, server.Url("/new.exe"))));
        server.Add("/new.exe", CannedResponse::Make("200 OK", newBuild));
        Check(!oldBuild.empty() && !newBuild.empty() && WriteFileBytes(strInstalled, oldBuild),
              "1.0.0.1 is installed, 1.0.0.2 is offered");

        const size_t nOldMessages = UpdateLogMessages(strLog).size();
        {
            ClientProcess first;
            first.Start(strInstalled, L"\"" + strInstalled + L"\"");
            const HWND hStart = WaitForStartWindow(first, kWaitMs);
            Check(hStart && WaitUntil([&] { return Logged(NewMessages(strLog, nOldMessages), L"Update ready: 1.0.0.2"); },
                                         kWaitMs, 500),
                  "a start fetches, verifies and keeps 1.0.0.2");
            PostMessageW(hStart, WM_SYSCOMMAND, SC_CLOSE, 0);
            const HWND hBox = hStart ? WaitForMessageBox(first, kWaitMs) : nullptr;
            ClickDialogButton(hBox, IDOK);
            Check(hBox && first.WaitForExit(kWaitMs) && first.ExitCode() == 0, "and ends as always when closed");
        }
        {
            ClientProcess handing;
            handing.Start(strInstalled, L"\"" + strInstalled + L"\"");
            Check(handing.WaitForExit(kWaitMs) && handing.ExitCode() == 0 && handing.TopLevelWindows(false).empty(),
                  "the next start hands it over and ends before any window");
        }
        Check(WaitForStartWindowOf(strInstalled, kWaitMs) != nullptr, "the new version's start window follows");
        Check(ReadFileBytes(strInstalled) == newBuild, "the installed copy is 1.0.0.2 byte for byte");
        const std::vector<std::wstring> log = NewMessages(strLog, nOldMessages);
        const auto at = std::find(log.begin(), log.end(), L"Update 1.0.0.2: handed over to the update step");
        Check(log.end() - at >= 4 && at[2] == L"Update success.Current Version:1.0.0.2",
              "the update log tells the hand-over and the update step's three lines");
        EndProcessesRunning(strInstalled, kWaitMs);
        DeleteTree(strFolder);
    }

    std::printf("uninstall question\n");
    {
        ClientProcess prompt;
        Check(prompt.Start(strInstalled, L"\"" + strInstalled + L"\" -u"), "the installed copy starts with -u");
        const HWND hBox = WaitForMessageBox(prompt, kWaitMs);
        Check(hBox != nullptr, "it asks before it uninstalls");
        ClickDialogButton(hBox, IDCANCEL);
        Check(hBox && prompt.WaitForExit(kWaitMs) && prompt.ExitCode() == 0, "Cancel ends it with exit code 0");
        Check(PathExists(strInstalled) && PathExists(strData + L"res\\systemset.ini") && !PathExists(strCacheCopy),
              "Cancel changes nothing and starts nothing");
    }
    std::printf("%d checks failed\n", g_nFailed);
    return g_nFailed;
}
