#include "app/update/UpdateSetup.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "app/Paths.h"
#include "app/UpdateLog.h"
#include "app/update/UpdateCrypto.h"
#include "framework/CInternetSession.h"
#include "res/resource.h"
#include "start/VersionCheck.h"

namespace {

// SubjectPublicKeyInfo of a P-256 key up to the uncompressed point's X||Y.
const std::uint8_t kP256SpkiPrefix[] = {0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2a, 0x86, 0x48, 0xce, 0x3d, 0x02,
                                        0x01, 0x06, 0x08, 0x2a, 0x86, 0x48, 0xce, 0x3d, 0x03, 0x01, 0x07, 0x03,
                                        0x42, 0x00, 0x04};

std::int64_t UnixNow()
{
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    const std::uint64_t ticks = (std::uint64_t(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return std::int64_t((ticks - 116444736000000000ull) / 10000000ull);
}

std::string FormatV(const char* pszFormat, va_list args)
{
    char text[1024];
    _vsnprintf(text, sizeof text - 1, pszFormat, args);
    text[sizeof text - 1] = 0;
    return text;
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
    pSetup->strKeyId = UpdateKeyId(pSetup->publicKey);
    pSetup->strQueryUrl = GetVersionQueryUrl();
    pSetup->strProduct = ProductOfVersionQuery(LoadResString(IDS_VERSION_QUERY).ToUtf8());
    pSetup->strRunningVersion = GetFileVersionText(GetModulePath());
    pSetup->strLogPath = GetUpdateLogPath();
    pSetup->strUserAgent = CInternetSession::GetDefaultAgent();
    pSetup->nNowUnix = UnixNow();
    return true;
}

std::string UpdateKeyId(const std::uint8_t (&publicKey)[64])
{
    std::uint8_t der[sizeof kP256SpkiPrefix + 64];
    std::memcpy(der, kP256SpkiPrefix, sizeof kP256SpkiPrefix);
    std::memcpy(der + sizeof kP256SpkiPrefix, publicKey, 64);
    std::uint8_t digest[32] = {};
    if (!Sha256Of(der, sizeof der, digest))
        return "unknown";
    return HexDigits(digest, 4);
}

std::string ManifestRefusal(const UpdateManifest& manifest, const UpdateSetup& setup)
{
    // One operator key may sign several games: a manifest counts only for the product it names.
    if (manifest.strProduct.empty())
        return "manifest names no product";
    if (manifest.strProduct != setup.strProduct)
        return "manifest for " + manifest.strProduct + ", not " + setup.strProduct;
    if (manifest.nExpiresUnix <= setup.nNowUnix)
        return "manifest expired";
    // A manifest good for years could be replayed for years.
    if (manifest.nExpiresUnix - setup.nNowUnix > kManifestLifetimeLimit)
        return "manifest expires more than 90 days ahead";
    return std::string();
}

void LogUpdate(const UpdateSetup& setup, const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const std::string text = FormatV(pszFormat, args);
    va_end(args);
    if (!setup.strLogPath.IsEmpty())
        AppendUpdateLogLine(setup.strLogPath, CString::FromUtf8(text.c_str()));
}

void LogUpdateCheck(const UpdateSetup& setup, const char* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    const std::string text = FormatV(pszFormat, args);
    va_end(args);
    LogUpdate(setup, "Update check: %s [key %s]", text.c_str(), setup.strKeyId.c_str());
}
