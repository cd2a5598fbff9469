// What a test needs to play the operator of the client's updates: a signing key of its own, signed
// manifests, and copies of the client that trust that key and carry another version.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/CString.h"
#include "support/NoCopy.h"

// A P-256 key pair made by CNG for one test.
class CTestSigningKey : CNoCopy
{
public:
    CTestSigningKey();
    ~CTestSigningKey();

    bool IsValid() const { return m_hKey != nullptr; }
    // X||Y, as the client carries it.
    const std::uint8_t* PublicKey() const { return m_publicKey; }
    // body + "signature=<Base64 of r||s>\n", signed over every byte of body.
    std::string Sign(const std::string& body) const;

private:
    void* m_hAlgorithm = nullptr;
    void* m_hKey = nullptr;
    std::uint8_t m_publicKey[64] = {};
};

struct ManifestFields
{
    std::string version = "1.0.0.2";
    std::string product = "tarnube/pelq";          // the client's own; "" leaves the line out
    std::string url;
    std::uint64_t size = 0;
    std::string sha256;                             // 64 lower-case hex digits
    std::string expires;                            // "" is 30 days after this machine's clock
    int rollout = -1;                               // below 0 leaves the line out
};
// "2027-01-31T00:00:00Z" for a time nDays from now on this machine's clock.
std::string UtcTimestampInDays(int nDays);
// The manifest's lines before its signature, in the order the release tool writes them.
std::string ManifestBody(const ManifestFields& fields);

std::string Sha256Hex(const std::string& data);

// The client's update key and its FileVersion and ProductVersion in a copy that is not running. The
// version text must be as long as the one it replaces ("1.0.0.1" -> "1.0.0.2").
bool SetUpdateKey(const std::wstring& strExe, const std::uint8_t* pKey64);
bool SetFileVersion(const std::wstring& strExe, const std::string& strVersion);

// A copy of strClientExe in strFolder that asks strServer for its version, trusts key and carries
// pszVersion ("1.0.0.1", the build's own, is left as it is); "" when a step failed.
CString MakeUpdateClient(const CString& strClientExe, const CString& strFolder, const std::wstring& strServer,
                         const CTestSigningKey& key, const char* pszVersion);

// A manifest signed with key that offers file, as version 1.0.0.2, at strUrl.
std::string SignedManifestFor(const CTestSigningKey& key, const std::string& file, const std::wstring& strUrl);
