#include "app/update/UpdateStore.h"

#include <windows.h>

#include <cstring>

#include "app/Paths.h"
#include "app/update/UpdateCrypto.h"
#include "framework/Handles.h"

namespace {

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

}  // namespace

CString UpdateFilePath(const UpdateSetup& setup)
{
    return setup.strDownloadDir + L"\\" + setup.strExeName;
}

CString UpdateManifestPath(const UpdateSetup& setup)
{
    return setup.strDownloadDir + L"\\update.manifest";
}

CString PartialDownloadPath(const UpdateSetup& setup, const UpdateManifest& manifest)
{
    return UpdateFilePath(setup) + L"." + CString::FromUtf8(HexDigits(manifest.sha256, 8).c_str()) + L".part";
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

const char* CheckDownloadedFile(const CString& strPath, const UpdateManifest& manifest,
                                const std::uint8_t* pKnownDigest)
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

bool StoreManifest(const UpdateSetup& setup, const std::string& text)
{
    const CString strPath = UpdateManifestPath(setup);
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

bool DiscardUpdate(const UpdateSetup& setup)
{
    const CString strUpdate = UpdateFilePath(setup);
    const DWORD dwFolder = GetFileAttributesW(setup.strDownloadDir);
    if (dwFolder != INVALID_FILE_ATTRIBUTES && (dwFolder & FILE_ATTRIBUTE_REPARSE_POINT)) {
        // A folder that leads elsewhere: only the link goes, nothing is deleted where it leads. A
        // junction or directory link goes with RemoveDirectoryW; some file systems see a file.
        if (!RemoveDirectoryW(setup.strDownloadDir))
            DeleteFileW(setup.strDownloadDir);
        return GetFileAttributesW(setup.strDownloadDir) == INVALID_FILE_ATTRIBUTES;
    }
    DeleteFileW(strUpdate);
    DeleteFileW(UpdateManifestPath(setup));
    DeletePartialsExcept(setup, CString());
    RemoveDirectoryW(setup.strDownloadDir);
    return GetFileAttributesW(strUpdate) == INVALID_FILE_ATTRIBUTES;
}
