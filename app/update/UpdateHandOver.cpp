#include "app/update/UpdateHandOver.h"

#include <windows.h>

#include <cstring>

#include "app/ChildProcess.h"
#include "app/Paths.h"
#include "app/RunningClients.h"
#include "app/update/UpdateCrypto.h"
#include "app/update/UpdateStore.h"
#include "framework/Handles.h"

namespace {

bool FileExists(const CString& strPath)
{
    const DWORD dwAttributes = GetFileAttributesW(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsReparsePoint(const CString& strPath)
{
    const DWORD dwAttributes = GetFileAttributesW(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The path the open handle really names, in the plain form that a started program sees as its own
// (no "\\?\" unless the path needs it); "" when the system cannot say.
CString FinalPathOf(HANDLE hFile)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD nLength = GetFinalPathNameByHandleW(hFile, &path[0], DWORD(path.size()), FILE_NAME_NORMALIZED);
        if (nLength == 0)
            return CString();
        if (nLength < path.size()) {
            path.resize(nLength);
            break;
        }
        path.assign(nLength + 1, L'\0');
    }
    if (path.compare(0, 8, L"\\\\?\\UNC\\") == 0 && path.size() < MAX_PATH + 6)
        path = L"\\\\" + path.substr(8);
    else if (path.compare(0, 4, L"\\\\?\\") == 0 && path.size() < MAX_PATH + 4 && path.size() > 6 && path[5] == L':')
        path = path.substr(4);
    return CString(path.c_str());
}

// The update refused at the hand-over: both files go, and the log says why.
HandOverResult Refuse(const UpdateSetup& setup, const char* pszVersion, const char* pszWhy)
{
    DiscardUpdate(setup);
    LogUpdate(setup, "Update %s refused at start: %s; download deleted", pszVersion, pszWhy);
    return HandOverResult::Discarded;
}

}  // namespace

HandOverResult HandOverUpdate(const UpdateSetup& setup, const CString& strInstalledExe)
{
    const CString strUpdate = UpdateFilePath(setup);
    if (!FileExists(strUpdate))
        return HandOverResult::Nothing;
    // A folder or file that leads elsewhere could be pointed at another file after the check.
    if (IsReparsePoint(setup.strDownloadDir))
        return Refuse(setup, "download", "its folder is a link to another place");
    UpdateManifest manifest;
    std::string text;
    if (!LoadStoredManifest(setup, &manifest, &text))
        return Refuse(setup, "download", "its manifest is missing or not signed by this client's key");
    const std::string strVersion = manifest.strVersionText;
    const char* pszVersion = strVersion.c_str();
    // Checked again: a manifest that lapsed while its update waited has been withdrawn.
    const std::string strRefusal = ManifestRefusal(manifest, setup);
    if (!strRefusal.empty())
        return Refuse(setup, pszVersion, strRefusal.c_str());
    if (!FileExists(strInstalledExe))
        return HandOverResult::Nothing;
    const CVersionNumber installed = CVersionNumber::Parse(GetFileVersionText(strInstalledExe));
    const CVersionNumber running = CVersionNumber::Parse(setup.strRunningVersion);
    if (!(installed < manifest.version) || !(running < manifest.version)) {
        // Applied already (this is the new version's first start), or overtaken by a newer client. The
        // update step may still be ending from the file: then a later start removes it.
        if (DiscardUpdate(setup))
            LogUpdate(setup, "Update %s: installed; download removed", pszVersion);
        return HandOverResult::Discarded;
    }
    if (!FindProcessesRunning(strInstalledExe).empty()) {
        LogUpdate(setup, "Update %s: waits: another client of this installation is running", pszVersion);
        return HandOverResult::Waiting;
    }

    // Checked again, and held against writers and deleters until the update step has started from it.
    // Opened as itself, not as what it may lead to, so a link is seen as one.
    UniqueFile file(CreateFileW(strUpdate, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file || !GetFileInformationByHandle(file.get(), &info)) {
        file.reset();
        return Refuse(setup, pszVersion, "the file cannot be read");
    }
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        file.reset();
        return Refuse(setup, pszVersion, "the file is a link to another place");
    }
    std::uint8_t digest[32] = {};
    std::uint64_t nBytes = 0;
    const bool bWhole = Sha256OfFile(file.get(), digest, &nBytes) && nBytes == manifest.nSize &&
                        std::memcmp(digest, manifest.sha256, sizeof digest) == 0;
    if (!bWhole) {
        file.reset();
        return Refuse(setup, pszVersion, "the file no longer matches its manifest");
    }
    // Started by the name the checked handle really has, and its version read from there too: only now
    // that its bytes are the signed ones.
    const CString strFinal = FinalPathOf(file.get());
    if (strFinal.IsEmpty()) {
        file.reset();
        return Refuse(setup, pszVersion, "the file's final path is unknown");
    }
    const CVersionNumber fileVersion = CVersionNumber::Parse(GetFileVersionText(strFinal));
    if (!(fileVersion == manifest.version)) {
        file.reset();
        return Refuse(setup, pszVersion, "the file's version differs from its manifest");
    }
    LogUpdate(setup, "Update %s: handed over to the update step", pszVersion);
    // Exactly the command line the update step expects, started while the open file still keeps anyone
    // from changing the checked update.
    const CString strCommandLine = L"-d " + strInstalledExe;
    if (!StartChildProcess(strFinal, &strCommandLine)) {
        LogUpdate(setup, "Update %s: could not start the update step (error %lu)", pszVersion,
                  static_cast<unsigned long>(GetLastError()));
        return HandOverResult::Failed;
    }
    return HandOverResult::HandedOver;
}

bool HandOverDownloadedUpdate()
{
    // Every normal start gets here: without a downloaded update it costs one look at the disk.
    UpdateSetup setup;
    if (!LoadUpdateLocation(&setup) || !FileExists(UpdateFilePath(setup)))
        return false;
    const CString strDataDir = GetDataDir();
    if (strDataDir.IsEmpty() || !LoadUpdateSetup(&setup))
        return false;
    return HandOverUpdate(setup, strDataDir + setup.strExeName) == HandOverResult::HandedOver;
}
