#include "UpdateRelease.h"

#include <bcrypt.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "framework/Handles.h"
#include "res/resource.h"
#include "support/ResourcePatch.h"

CTestSigningKey::CTestSigningKey()
{
    BCRYPT_ALG_HANDLE hAlgorithm = nullptr;
    BCRYPT_KEY_HANDLE hKey = nullptr;
    if (BCryptOpenAlgorithmProvider(&hAlgorithm, BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0) != 0)
        return;
    m_hAlgorithm = hAlgorithm;
    if (BCryptGenerateKeyPair(hAlgorithm, &hKey, 256, 0) != 0)
        return;
    BYTE blob[sizeof(BCRYPT_ECCKEY_BLOB) + 64] = {};
    ULONG cb = 0;
    if (BCryptFinalizeKeyPair(hKey, 0) != 0 ||
        BCryptExportKey(hKey, nullptr, BCRYPT_ECCPUBLIC_BLOB, blob, sizeof blob, &cb, 0) != 0 || cb != sizeof blob) {
        BCryptDestroyKey(hKey);
        return;
    }
    std::memcpy(m_publicKey, blob + sizeof(BCRYPT_ECCKEY_BLOB), 64);
    m_hKey = hKey;
}

CTestSigningKey::~CTestSigningKey()
{
    if (m_hKey)
        BCryptDestroyKey(static_cast<BCRYPT_KEY_HANDLE>(m_hKey));
    if (m_hAlgorithm)
        BCryptCloseAlgorithmProvider(static_cast<BCRYPT_ALG_HANDLE>(m_hAlgorithm), 0);
}

namespace {

bool Sha256(const std::string& data, BYTE (&digest)[32])
{
    BCRYPT_ALG_HANDLE hAlgorithm = nullptr;
    if (BCryptOpenAlgorithmProvider(&hAlgorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0)
        return false;
    BCRYPT_HASH_HANDLE hHash = nullptr;
    bool ok = BCryptCreateHash(hAlgorithm, &hHash, nullptr, 0, nullptr, 0, 0) == 0;
    if (ok) {
        ok = BCryptHashData(hHash, reinterpret_cast<PUCHAR>(const_cast<char*>(data.data())), ULONG(data.size()), 0) == 0 &&
             BCryptFinishHash(hHash, digest, sizeof digest, 0) == 0;
        BCryptDestroyHash(hHash);
    }
    BCryptCloseAlgorithmProvider(hAlgorithm, 0);
    return ok;
}

std::string Base64(const BYTE* p, DWORD cb)
{
    DWORD nChars = 0;
    CryptBinaryToStringA(p, cb, CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF, nullptr, &nChars);
    std::string text(nChars, '\0');
    CryptBinaryToStringA(p, cb, CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF, &text[0], &nChars);
    text.resize(nChars);
    return text;
}

bool ReplaceResource(const std::wstring& strExe, LPCWSTR pType, LPCWSTR pName, const void* pData, DWORD cb)
{
    HANDLE hUpdate = BeginUpdateResourceW(strExe.c_str(), FALSE);
    if (!hUpdate)
        return false;
    const bool ok = UpdateResourceW(hUpdate, pType, pName, kClientStringLanguage, const_cast<void*>(pData), cb) != FALSE;
    return EndUpdateResourceW(hUpdate, ok ? FALSE : TRUE) && ok;
}

}  // namespace

std::string CTestSigningKey::Sign(const std::string& body) const
{
    BYTE digest[32] = {};
    BYTE signature[64] = {};
    ULONG cb = 0;
    if (!m_hKey || !Sha256(body, digest) ||
        BCryptSignHash(static_cast<BCRYPT_KEY_HANDLE>(m_hKey), nullptr, digest, sizeof digest, signature,
                       sizeof signature, &cb, 0) != 0)
        return std::string();
    return body + "signature=" + Base64(signature, cb) + "\n";
}

std::string UtcTimestampInDays(int nDays)
{
    FILETIME ft{};
    GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER ticks{};
    ticks.LowPart = ft.dwLowDateTime;
    ticks.HighPart = ft.dwHighDateTime;
    ticks.QuadPart += ULONGLONG(nDays) * 24 * 3600 * 10000000ull;
    ft.dwLowDateTime = ticks.LowPart;
    ft.dwHighDateTime = ticks.HighPart;
    SYSTEMTIME st{};
    FileTimeToSystemTime(&ft, &st);
    char text[32];
    snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02uZ", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
             st.wSecond);
    return text;
}

std::string ManifestBody(const ManifestFields& fields)
{
    std::string body = "version=" + fields.version + "\n";
    if (!fields.product.empty())
        body += "product=" + fields.product + "\n";
    body += "url=" + fields.url + "\nsize=" + std::to_string(fields.size) + "\nsha256=" + fields.sha256 +
            "\nexpires=" + (fields.expires.empty() ? UtcTimestampInDays(30) : fields.expires) + "\n";
    if (fields.rollout >= 0)
        body += "rollout=" + std::to_string(fields.rollout) + "\n";
    return body;
}

std::string Sha256Hex(const std::string& data)
{
    BYTE digest[32] = {};
    if (!Sha256(data, digest))
        return std::string();
    std::string hex;
    for (BYTE b : digest) {
        static const char kHex[] = "0123456789abcdef";
        hex += kHex[b >> 4];
        hex += kHex[b & 15];
    }
    return hex;
}

bool SetUpdateKey(const std::wstring& strExe, const std::uint8_t* pKey64)
{
    return ReplaceResource(strExe, RT_RCDATA, MAKEINTRESOURCEW(IDR_UPDATE_KEY), pKey64, 64);
}

bool SetFileVersion(const std::wstring& strExe, const std::string& strVersion)
{
    std::vector<BYTE> block;
    {
        UniqueModule hModule(LoadLibraryExW(strExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        HRSRC hRes = hModule ? FindResourceExW(hModule.get(), RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO),
                                               kClientStringLanguage) : nullptr;
        HGLOBAL hData = hRes ? LoadResource(hModule.get(), hRes) : nullptr;
        const BYTE* p = hData ? static_cast<const BYTE*>(LockResource(hData)) : nullptr;
        if (!p)
            return false;
        block.assign(p, p + SizeofResource(hModule.get(), hRes));
    }
    // The fixed part: dwFileVersionMS/LS and dwProductVersionMS/LS follow the signature and its
    // structure version.
    const DWORD kSignature = 0xFEEF04BD;
    unsigned parts[4] = {};
    if (sscanf(strVersion.c_str(), "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]) != 4)
        return false;
    const DWORD ms = parts[0] << 16 | parts[1], ls = parts[2] << 16 | parts[3];
    bool bFixed = false;
    std::wstring oldText;
    for (size_t i = 0; i + sizeof(VS_FIXEDFILEINFO) <= block.size(); i += 4) {
        if (std::memcmp(&block[i], &kSignature, 4) != 0)
            continue;
        auto* pInfo = reinterpret_cast<VS_FIXEDFILEINFO*>(&block[i]);
        wchar_t szOld[64];
        swprintf_s(szOld, L"%u.%u.%u.%u", HIWORD(pInfo->dwFileVersionMS), LOWORD(pInfo->dwFileVersionMS),
                   HIWORD(pInfo->dwFileVersionLS), LOWORD(pInfo->dwFileVersionLS));
        oldText = szOld;
        pInfo->dwFileVersionMS = pInfo->dwProductVersionMS = ms;
        pInfo->dwFileVersionLS = pInfo->dwProductVersionLS = ls;
        bFixed = true;
        break;
    }
    const std::wstring newText(strVersion.begin(), strVersion.end());
    if (!bFixed || oldText.size() != newText.size())
        return false;
    // The texts: FileVersion and ProductVersion hold the same text.
    const size_t cbText = oldText.size() * sizeof(wchar_t);
    int nReplaced = 0;
    for (size_t i = 0; i + cbText <= block.size(); i += 2) {
        if (std::memcmp(&block[i], oldText.data(), cbText) == 0) {
            std::memcpy(&block[i], newText.data(), cbText);
            ++nReplaced;
        }
    }
    return nReplaced >= 2 &&
           ReplaceResource(strExe, RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO), block.data(), DWORD(block.size()));
}

CString MakeUpdateClient(const CString& strClientExe, const CString& strFolder, const std::wstring& strServer,
                         const CTestSigningKey& key, const char* pszVersion)
{
    const CString strCopy = CopyExecutableTo(strClientExe, strFolder);
    if (strCopy.IsEmpty())
        return CString();
    CResourcePatch patch(strCopy);
    patch.SetString(IDS_VERSION_SERVER, strServer.c_str());
    const bool bMade = patch.Commit() && SetUpdateKey(std::wstring(strCopy), key.PublicKey()) &&
                       (std::strcmp(pszVersion, "1.0.0.1") == 0 || SetFileVersion(std::wstring(strCopy), pszVersion));
    return bMade ? strCopy : CString();
}

std::string SignedManifestFor(const CTestSigningKey& key, const std::string& file, const std::wstring& strUrl)
{
    ManifestFields fields;
    fields.url = CString(strUrl.c_str()).ToUtf8();
    fields.size = file.size();
    fields.sha256 = Sha256Hex(file);
    return key.Sign(ManifestBody(fields));
}
