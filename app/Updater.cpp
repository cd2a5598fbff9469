#include "app/Updater.h"

#include <windows.h>

#include <cstring>
#include <memory>

#include "app/Paths.h"
#include "app/UpdateCrypto.h"
#include "app/UpdateFetch.h"
#include "app/UpdateLog.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include "start/VersionCheck.h"

namespace {

// A partial download is named after the digest it must reach, so a different file offered later
// never continues the wrong one.
CString PartialPath(const UpdateSetup& setup, const UpdateManifest& manifest)
{
    return UpdateFilePath(setup) + L"." + CString::FromUtf8(HexDigits(manifest.sha256, 8).c_str()) + L".part";
}

void Log(const char* pszFormat, ...)
{
    char text[1024];
    va_list args;
    va_start(args, pszFormat);
    _vsnprintf(text, sizeof text - 1, pszFormat, args);
    va_end(args);
    text[sizeof text - 1] = 0;
    WriteUpdateLog(CString::FromUtf8(text));
}

std::string Narrow(const CString& text)
{
    return text.ToUtf8();
}

std::int64_t UnixNow()
{
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    const std::uint64_t ticks = (std::uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return std::int64_t((ticks - 116444736000000000ull) / 10000000ull);
}

bool ReadSmallFile(const CString& strPath, std::size_t nLimit, std::string* pText)
{
    UniqueFile file(CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 || std::uint64_t(size.QuadPart) > nLimit)
        return false;
    pText->assign(std::size_t(size.QuadPart), '\0');
    DWORD nRead = 0;
    return pText->empty() ||
           (ReadFile(file.get(), &(*pText)[0], DWORD(pText->size()), &nRead, nullptr) && nRead == pText->size());
}

// Written beside its place and moved there, so a manifest is either the old one or the new one whole.
bool WriteFileWhole(const CString& strPath, const std::string& text)
{
    const CString strTemp = strPath + L".new";
    {
        UniqueFile file(CreateFileW(strTemp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD nWritten = 0;
        if (!file || !WriteFile(file.get(), text.data(), DWORD(text.size()), &nWritten, nullptr) ||
            nWritten != text.size() || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileW(strTemp);
            return false;
        }
    }
    if (MoveFileExW(strTemp, strPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(strTemp);
    return false;
}

// Partial downloads other than keep (those of versions no longer offered).
void DeletePartialsExcept(const UpdateSetup& setup, const CString& strKeep)
{
    WIN32_FIND_DATAW found{};
    const CString strPattern = UpdateFilePath(setup) + L".*.part";
    UniqueFindFile find(FindFirstFileW(strPattern, &found));
    if (!find)
        return;
    do {
        const CString strPath = setup.strDownloadDir + L"\\" + found.cFileName;
        if (strPath.CompareNoCase(strKeep) != 0)
            DeleteFileW(strPath);
    } while (FindNextFileW(find.get(), &found));
}

// Size, digest and FileVersion of a downloaded file against its manifest; "" when all match. A digest
// taken during the download is used instead of reading the file again.
const char* CheckDownloadedFile(const CString& strPath, const UpdateManifest& manifest,
                                const std::uint8_t* pKnownDigest = nullptr)
{
    std::uint8_t digest[32] = {};
    std::uint64_t nBytes = manifest.nSize;
    if (pKnownDigest) {
        std::memcpy(digest, pKnownDigest, sizeof digest);
    } else {
        UniqueFile file(CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file || !Sha256OfFile(file.get(), digest, &nBytes))
            return "file unreadable";
    }
    if (nBytes != manifest.nSize)
        return "size differs from the manifest";
    if (std::memcmp(digest, manifest.sha256, sizeof digest) != 0)
        return "sha256 differs from the manifest";
    const CVersionNumber fileVersion = CVersionNumber::Parse(GetFileVersionText(strPath));
    if (fileVersion.IsZero() || !(fileVersion == manifest.version))
        return "file version differs from the manifest";
    return "";
}

UpdateCheckResult Download(const UpdateSetup& setup, const UpdateManifest& manifest, const std::string& strManifestText)
{
    // The cache folder itself may not exist yet: the version check makes it only once a page loads.
    const int nSlash = setup.strDownloadDir.ReverseFind(L'\\');
    if (nSlash > 0)
        CreateDirectoryW(setup.strDownloadDir.Left(nSlash), nullptr);
    CreateDirectoryW(setup.strDownloadDir, nullptr);
    const CString strPart = PartialPath(setup, manifest);
    DeletePartialsExcept(setup, strPart);
    std::uint64_t nResumedAt = 0;
    DWORD dwStatus = 0;
    std::uint8_t digest[32] = {};
    const DownloadResult result = DownloadToFile(CString::FromUtf8(manifest.strUrl.c_str()), strPart, manifest.nSize,
                                                 &nResumedAt, &dwStatus, digest);
    const DWORD dwError = GetLastError();
    if (nResumedAt > 0)
        Log("Update download: %s continued at byte %I64u", manifest.strVersionText.c_str(), (unsigned long long)nResumedAt);
    switch (result) {
    case DownloadResult::Complete:
        break;
    case DownloadResult::Incomplete:
        Log("Update download: %s cut short, continues at the next start", manifest.strVersionText.c_str());
        return UpdateCheckResult::Incomplete;
    case DownloadResult::TooLarge:
        DeleteFileW(strPart);
        Log("Update refused: %s is larger than its manifest's size %I64u; download deleted",
            manifest.strVersionText.c_str(), (unsigned long long)manifest.nSize);
        return UpdateCheckResult::Refused;
    case DownloadResult::Failed:
        Log("Update download: %s failed (HTTP %lu, error %lu)", manifest.strVersionText.c_str(), (unsigned long)dwStatus,
            (unsigned long)dwError);
        return UpdateCheckResult::Incomplete;
    }
    const char* pszProblem = CheckDownloadedFile(strPart, manifest, digest);
    if (*pszProblem) {
        DeleteFileW(strPart);
        Log("Update refused: %s %s; download deleted", manifest.strVersionText.c_str(), pszProblem);
        return UpdateCheckResult::Refused;
    }
    // The manifest goes first: a file in place is only ever handed over with the manifest that vouches for it.
    if (!WriteFileWhole(UpdateManifestPath(setup), strManifestText) ||
        !MoveFileExW(strPart, UpdateFilePath(setup), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        Log("Update download: %s could not be put in place (error %lu)", manifest.strVersionText.c_str(),
            (unsigned long)GetLastError());
        return UpdateCheckResult::Incomplete;
    }
    Log("Update ready: %s, sha256=%s", manifest.strVersionText.c_str(), HexDigits(manifest.sha256, 32).c_str());
    return UpdateCheckResult::Ready;
}

DWORD WINAPI UpdateThread(LPVOID pParam)
{
    std::unique_ptr<UpdateSetup> pSetup(static_cast<UpdateSetup*>(pParam));
    try {
        if (LoadUpdateSetup(pSetup.get()))
            RunUpdateCheck(*pSetup);
    } catch (...) {
        // Nothing of a failed check may reach the player; the next start asks again.
    }
    return 0;
}

}  // namespace

bool LoadUpdateLocation(UpdateSetup* pSetup)
{
    const CString strCache = GetCacheDir();
    const CString strModule = GetModulePath();
    if (strCache.IsEmpty() || strModule.IsEmpty())
        return false;
    pSetup->strDownloadDir = strCache + L"\\" + LoadResString(IDS_PLATFORM_CODE) + LoadResString(IDS_GAME_CODE) + L"update";
    pSetup->strExeName = strModule.Mid(strModule.ReverseFind(L'\\') + 1);
    return true;
}

bool LoadUpdateSetup(UpdateSetup* pSetup)
{
    HRSRC hInfo = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_UPDATE_KEY), RT_RCDATA);
    HGLOBAL hData = hInfo ? LoadResource(nullptr, hInfo) : nullptr;
    const void* pKey = hData ? LockResource(hData) : nullptr;
    if (!pKey || SizeofResource(nullptr, hInfo) != sizeof pSetup->publicKey || !LoadUpdateLocation(pSetup))
        return false;
    std::memcpy(pSetup->publicKey, pKey, sizeof pSetup->publicKey);
    pSetup->strQueryUrl = GetVersionQueryUrl();
    pSetup->strRunningVersion = GetFileVersionText(GetModulePath());
    pSetup->nNowUnix = UnixNow();
    return true;
}

CString UpdateFilePath(const UpdateSetup& setup)
{
    return setup.strDownloadDir + L"\\" + setup.strExeName;
}

CString UpdateManifestPath(const UpdateSetup& setup)
{
    return setup.strDownloadDir + L"\\update.manifest";
}

bool ManifestSignatureValid(const std::string& text, const UpdateManifest& manifest, const std::uint8_t (&key)[64])
{
    std::uint8_t digest[32] = {};
    return Sha256Of(text.data(), manifest.nSignedBytes, digest) &&
           VerifyP256Signature(key, digest, manifest.signature);
}

bool LoadStoredManifest(const UpdateSetup& setup, UpdateManifest* pManifest, std::string* pText)
{
    return ReadSmallFile(UpdateManifestPath(setup), kManifestByteLimit, pText) &&
           ParseUpdateManifest(*pText, pManifest) == ManifestError::None &&
           ManifestSignatureValid(*pText, *pManifest, setup.publicKey);
}

bool DiscardUpdate(const UpdateSetup& setup)
{
    const CString strUpdate = UpdateFilePath(setup);
    DeleteFileW(strUpdate);
    DeleteFileW(UpdateManifestPath(setup));
    DeletePartialsExcept(setup, CString());
    RemoveDirectoryW(setup.strDownloadDir);
    return GetFileAttributesW(strUpdate) == INVALID_FILE_ATTRIBUTES;
}

UpdateCheckResult RunUpdateCheck(const UpdateSetup& setup)
{
    try {
        const std::string strQuery = Narrow(setup.strQueryUrl);
        DWORD dwStatus = 0;
        std::string text;
        if (!FetchBytes(setup.strQueryUrl, kManifestByteLimit, &dwStatus, &text)) {
            if (dwStatus == 0)
                Log("Update check: no update (no answer from %s)", strQuery.c_str());
            else
                Log("Update check: no update (HTTP %lu)", (unsigned long)dwStatus);
            return UpdateCheckResult::NoUpdate;
        }
        UpdateManifest manifest;
        const ManifestError error = ParseUpdateManifest(text, &manifest);
        if (error != ManifestError::None) {
            Log("Update check: no update (%s)", ManifestErrorText(error));
            return UpdateCheckResult::NoUpdate;
        }
        if (!ManifestSignatureValid(text, manifest, setup.publicKey)) {
            Log("Update check: no update (signature does not verify)");
            return UpdateCheckResult::NoUpdate;
        }
        if (manifest.nExpiresUnix <= setup.nNowUnix) {
            Log("Update check: no update (manifest expired)");
            return UpdateCheckResult::NoUpdate;
        }
        const CVersionNumber running = CVersionNumber::Parse(setup.strRunningVersion);
        if (!(running < manifest.version)) {
            Log("Update check: no update (%s offered, %s running)", manifest.strVersionText.c_str(),
                Narrow(setup.strRunningVersion).c_str());
            return UpdateCheckResult::NoUpdate;
        }

        // Downloaded at an earlier start and still whole: nothing to fetch.
        UpdateManifest stored;
        std::string storedText;
        if (LoadStoredManifest(setup, &stored, &storedText) &&
            std::memcmp(stored.sha256, manifest.sha256, sizeof stored.sha256) == 0 &&
            *CheckDownloadedFile(UpdateFilePath(setup), stored) == 0) {
            Log("Update check: %s already downloaded", manifest.strVersionText.c_str());
            return UpdateCheckResult::Ready;
        }
        Log("Update check: %s offered, downloading %s", manifest.strVersionText.c_str(), manifest.strUrl.c_str());
        return Download(setup, manifest, text);
    } catch (...) {
        return UpdateCheckResult::NoUpdate;
    }
}

void StartUpdateCheck()
{
    auto pSetup = std::make_unique<UpdateSetup>();
    UniqueHandle thread(CreateThread(nullptr, 0, UpdateThread, pSetup.get(), 0, nullptr));
    if (thread)
        pSetup.release();
}
