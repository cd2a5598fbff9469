#include "app/UpdateHandOver.h"

#include <windows.h>

#include <cstring>

#include "app/ChildProcess.h"
#include "app/Paths.h"
#include "app/RunningClients.h"
#include "app/UpdateCrypto.h"
#include "app/UpdateLog.h"
#include "framework/Handles.h"

namespace {

bool FileExists(const CString& strPath)
{
    const DWORD dwAttributes = GetFileAttributesW(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

void Log(const CString& strVersion, const wchar_t* pszWhat)
{
    WriteUpdateLog(L"Update " + strVersion + L": " + pszWhat);
}

}  // namespace

HandOverResult HandOverUpdate(const UpdateSetup& setup, const CString& strInstalledExe)
{
    const CString strUpdate = UpdateFilePath(setup);
    if (!FileExists(strUpdate))
        return HandOverResult::Nothing;
    UpdateManifest manifest;
    std::string text;
    if (!LoadStoredManifest(setup, &manifest, &text)) {
        DiscardUpdate(setup);
        WriteUpdateLog(L"Update refused at start: its manifest is missing or not signed; download deleted");
        return HandOverResult::Discarded;
    }
    const CString strVersion = CString::FromUtf8(manifest.strVersionText.c_str());
    if (!FileExists(strInstalledExe))
        return HandOverResult::Nothing;
    const CVersionNumber installed = CVersionNumber::Parse(GetFileVersionText(strInstalledExe));
    const CVersionNumber running = CVersionNumber::Parse(setup.strRunningVersion);
    if (!(installed < manifest.version) || !(running < manifest.version)) {
        // Applied already (this is the new version's first start), or overtaken by a newer client. The
        // update step may still be ending from the file: then a later start removes it.
        if (DiscardUpdate(setup))
            Log(strVersion, L"installed; download removed");
        return HandOverResult::Discarded;
    }
    if (!FindProcessesRunning(strInstalledExe).empty()) {
        Log(strVersion, L"waits: another client of this installation is running");
        return HandOverResult::Waiting;
    }

    // Checked again, and held against writers and deleters until the update step has started from it.
    UniqueFile file(CreateFileW(strUpdate, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    std::uint8_t digest[32] = {};
    std::uint64_t nBytes = 0;
    const bool bWhole = file && Sha256OfFile(file.get(), digest, &nBytes) && nBytes == manifest.nSize &&
                        std::memcmp(digest, manifest.sha256, sizeof digest) == 0;
    const CVersionNumber fileVersion = CVersionNumber::Parse(GetFileVersionText(strUpdate));
    if (!bWhole || !(fileVersion == manifest.version)) {
        file.reset();
        DiscardUpdate(setup);
        Log(strVersion, L"refused at start: the file no longer matches its manifest; download deleted");
        return HandOverResult::Discarded;
    }
    Log(strVersion, L"handed over to the update step");
    // Exactly the command line the update step expects, started while the open file still keeps anyone from
    // changing the checked update.
    const CString strCommandLine = L"-d " + strInstalledExe;
    if (!StartChildProcess(strUpdate, &strCommandLine)) {
        CString strFailure;
        strFailure.Format(L"could not start the update step (error %lu)", static_cast<unsigned long>(GetLastError()));
        Log(strVersion, strFailure);
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
