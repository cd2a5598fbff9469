#include "app/update/Updater.h"

#include <windows.h>

#include <cstring>
#include <memory>

#include "app/update/UpdateRollout.h"
#include "app/update/UpdateStore.h"
#include "framework/Handles.h"
#include "start/InstallNames.h"

namespace {

std::string Narrow(const CString& text)
{
    return text.ToUtf8();
}

UpdateCheckResult Download(const UpdateSetup& setup, const UpdateManifest& manifest, const std::string& strManifestText)
{
    // The cache folder itself may not exist yet: the version check makes it only once a page loads.
    const int nSlash = setup.strDownloadDir.ReverseFind(L'\\');
    if (nSlash > 0)
        CreateDirectoryW(setup.strDownloadDir.Left(nSlash), nullptr);
    CreateDirectoryW(setup.strDownloadDir, nullptr);
    DownloadJob job;
    job.strUrl = CString::FromUtf8(manifest.strUrl.c_str());
    job.strPartPath = PartialDownloadPath(setup, manifest);
    job.strUserAgent = setup.strUserAgent;
    job.nExpectedBytes = manifest.nSize;
    job.deadline = setup.deadline;
    const CString& strPart = job.strPartPath;
    DeletePartialsExcept(setup, strPart);
    const DownloadOutcome outcome = DownloadToFile(job);
    const char* pszVersion = manifest.strVersionText.c_str();
    if (outcome.nResumedAt > 0)
        LogUpdate(setup, "Update download: %s continued at byte %I64u", pszVersion, (unsigned long long)outcome.nResumedAt);
    switch (outcome.result) {
    case DownloadResult::Complete:
        break;
    case DownloadResult::Incomplete:
        LogUpdate(setup, "Update download: %s cut short at byte %I64u, continues at the next start", pszVersion,
                  (unsigned long long)outcome.nHaveBytes);
        return UpdateCheckResult::Incomplete;
    case DownloadResult::TooSlow:
        LogUpdate(setup, "Update download: %s too slow, stopped at byte %I64u; continues at the next start", pszVersion,
                  (unsigned long long)outcome.nHaveBytes);
        return UpdateCheckResult::Incomplete;
    case DownloadResult::TooLarge:
        DeleteFileW(strPart);
        LogUpdate(setup, "Update refused: %s is larger than its manifest's size %I64u; download deleted", pszVersion,
                  (unsigned long long)manifest.nSize);
        return UpdateCheckResult::Refused;
    case DownloadResult::Mismatch:
        LogUpdate(setup, "Update download: %s answer does not continue the partial file (HTTP %lu); starts over at the next start",
                  pszVersion, (unsigned long)outcome.dwStatus);
        return UpdateCheckResult::Incomplete;
    case DownloadResult::Failed:
        LogUpdate(setup, "Update download: %s failed (HTTP %lu, error %lu), %I64u bytes kept", pszVersion,
                  (unsigned long)outcome.dwStatus, (unsigned long)outcome.dwError, (unsigned long long)outcome.nHaveBytes);
        return UpdateCheckResult::Incomplete;
    }
    const char* pszProblem = CheckDownloadedFile(strPart, manifest, outcome.digest);
    if (*pszProblem) {
        DeleteFileW(strPart);
        LogUpdate(setup, "Update refused: %s %s; download deleted", pszVersion, pszProblem);
        return UpdateCheckResult::Refused;
    }
    // The manifest goes first: a file in place is only ever handed over with the manifest that vouches for it.
    if (!StoreManifest(setup, strManifestText) ||
        !MoveFileExW(strPart, UpdateFilePath(setup), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        LogUpdate(setup, "Update download: %s could not be put in place (error %lu)", pszVersion,
                  (unsigned long)GetLastError());
        return UpdateCheckResult::Incomplete;
    }
    LogUpdate(setup, "Update ready: %s, sha256=%s", pszVersion, HexDigits(manifest.sha256, 32).c_str());
    return UpdateCheckResult::Ready;
}

DWORD WINAPI UpdateThread(LPVOID pParam)
{
    // The setup is the worker's own: it holds everything the check reads.
    std::unique_ptr<UpdateSetup> pSetup(static_cast<UpdateSetup*>(pParam));
    try {
        RunUpdateCheck(*pSetup);
    } catch (...) {
        // Nothing of a failed check may reach the player; the next start asks again.
    }
    return 0;
}

}  // namespace

UpdateCheckResult RunUpdateCheck(const UpdateSetup& setup)
{
    try {
        const std::string strQuery = Narrow(setup.strQueryUrl);
        DWORD dwStatus = 0;
        std::string text;
        if (!FetchBytes(setup.strQueryUrl, setup.strUserAgent, kManifestByteLimit, &dwStatus, &text)) {
            if (dwStatus == 0)
                LogUpdateCheck(setup, "no update (no answer from %s)", strQuery.c_str());
            else if (dwStatus < 400)
                LogUpdateCheck(setup, "no update (answer cut or larger than %u bytes)", unsigned(kManifestByteLimit));
            else
                LogUpdateCheck(setup, "no update (HTTP %lu)", (unsigned long)dwStatus);
            return UpdateCheckResult::NoUpdate;
        }
        UpdateManifest manifest;
        const ManifestError error = ParseUpdateManifest(text, &manifest);
        if (error != ManifestError::None) {
            LogUpdateCheck(setup, "no update (%s)", ManifestErrorText(error));
            return UpdateCheckResult::NoUpdate;
        }
        if (!ManifestSignatureValid(text, manifest, setup.publicKey)) {
            LogUpdateCheck(setup, "no update (signature does not verify)");
            return UpdateCheckResult::NoUpdate;
        }
        const std::string strRefusal = ManifestRefusal(manifest, setup);
        if (!strRefusal.empty()) {
            LogUpdateCheck(setup, "no update (%s)", strRefusal.c_str());
            return UpdateCheckResult::NoUpdate;
        }
        const CVersionNumber running = CVersionNumber::Parse(setup.strRunningVersion);
        if (!(running < manifest.version)) {
            LogUpdateCheck(setup, "no update (%s offered, %s running)", manifest.strVersionText.c_str(),
                           Narrow(setup.strRunningVersion).c_str());
            return UpdateCheckResult::NoUpdate;
        }
        if (setup.nRolloutNumber >= manifest.nRollout) {
            LogUpdateCheck(setup, "%s not offered to this installation yet (rollout %d %%)",
                           manifest.strVersionText.c_str(), manifest.nRollout);
            return UpdateCheckResult::NoUpdate;
        }

        // Downloaded at an earlier start and still whole: nothing to fetch.
        UpdateManifest stored;
        std::string storedText;
        if (LoadStoredManifest(setup, &stored, &storedText) &&
            std::memcmp(stored.sha256, manifest.sha256, sizeof stored.sha256) == 0 &&
            *CheckDownloadedFile(UpdateFilePath(setup), stored) == 0) {
            LogUpdateCheck(setup, "%s already downloaded", manifest.strVersionText.c_str());
            return UpdateCheckResult::Ready;
        }
        LogUpdateCheck(setup, "%s offered, downloading %s", manifest.strVersionText.c_str(), manifest.strUrl.c_str());
        return Download(setup, manifest, text);
    } catch (...) {
        return UpdateCheckResult::NoUpdate;
    }
}

void StartUpdateCheck()
{
    auto pSetup = std::make_unique<UpdateSetup>();
    if (!LoadUpdateSetup(pSetup.get()))
        return;
    pSetup->nRolloutNumber = InstallationRolloutNumber(GetProfileRootKey());
    UniqueHandle thread(CreateThread(nullptr, 0, UpdateThread, pSetup.get(), 0, nullptr));
    if (thread)
        pSetup.release();
}
