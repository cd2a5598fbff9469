// The shipped 32-bit client, checked from outside as a player would see it: a normal start, an
// update hand-over and the uninstall question. Under emulation every process starts slower, so this
// runs as few processes as the checks need and waits generously for each.
// Prints one line per check; the exit code is the number of failed checks.
#include "support/ClientWindows.h"
#include "support/FilesAndKeys.h"
#include "support/Wait.h"
#include "framework/Handles.h"
#include <shlobj.h>
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

// Lines of the update log (UTF-16 with CRLF line ends) other than the answers of the update check,
// which every normal run writes whenever its version server answers or fails.
int LogLines(const CString& strLog)
{
    const std::string bytes = ReadFileBytes(strLog);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    int lines = 0;
    for (size_t at = 0, end; (end = text.find(L"\r\n", at)) != std::wstring::npos; at = end + 2) {
        if (text.substr(at, end - at).find(L"\tUpdate check:") == std::wstring::npos)
            ++lines;
    }
    return lines;
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
    // Every run starts without an installation of this client.
    DeleteFileW(strInstalled);
    DeleteFileW(strCacheCopy);

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

    std::printf("update hand-over\n");
    {
        // The new build differs from the installed one by data after its image; it still runs.
        const std::string newBuild = ReadFileBytes(strClient) + "new build";
        const CString strNewDir = TempPath(L"torvel smoke new build");
        CreateDirectoryW(strNewDir, nullptr);
        const CString strNew = strNewDir + L"\\Torvel_Qerm.exe";
        Check(WriteFileBytes(strNew, newBuild), "a second copy is written");
        const int nLinesBefore = LogLines(strLog);
        ClientProcess step;
        Check(step.Start(strNew, L"-d " + strInstalled), "the second copy starts with -d");
        Check(step.WaitForExit(kWaitMs) && step.ExitCode() == 0, "the update step ends with exit code 0");
        Check(ReadFileBytes(strInstalled) == newBuild, "the installed copy is replaced byte for byte");
        std::printf("      update log: %d new lines\n", LogLines(strLog) - nLinesBefore);
        Check(LogLines(strLog) - nLinesBefore == 3, "the update log gained three lines");
        // The step started the installed copy as a normal run; it is not needed here.
        EndProcessesRunning(strInstalled, kWaitMs);
        DeleteFileW(strNew);
        RemoveDirectoryW(strNewDir);
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
