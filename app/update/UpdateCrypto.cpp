#include "app/update/UpdateCrypto.h"

#include <bcrypt.h>

#include <cstring>
#include <vector>

#include "framework/Handles.h"

namespace {

struct AlgClose { void operator()(BCRYPT_ALG_HANDLE h) const { BCryptCloseAlgorithmProvider(h, 0); } };
struct HashClose { void operator()(BCRYPT_HASH_HANDLE h) const { BCryptDestroyHash(h); } };
struct KeyClose { void operator()(BCRYPT_KEY_HANDLE h) const { BCryptDestroyKey(h); } };
using UniqueAlgorithm = unique_any<BCRYPT_ALG_HANDLE, AlgClose, nullptr>;
using UniqueHash = unique_any<BCRYPT_HASH_HANDLE, HashClose, nullptr>;
using UniqueKey = unique_any<BCRYPT_KEY_HANDLE, KeyClose, nullptr>;

// The key blob CNG imports: its header, then X and Y.
static_assert(sizeof(BCRYPT_ECCKEY_BLOB) == 8, "the ECC key blob header is two ULONGs on every architecture");

bool Succeeded(NTSTATUS status)
{
    return status >= 0;
}

}  // namespace

struct CSha256::Impl
{
    UniqueAlgorithm algorithm;
    UniqueHash hash;
};

CSha256::CSha256() : m_pImpl(std::make_unique<Impl>())
{
    if (!Succeeded(BCryptOpenAlgorithmProvider(m_pImpl->algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
        return;
    // The hash object's memory is CNG's own (no buffer given), so nothing here outlives it.
    if (!Succeeded(BCryptCreateHash(m_pImpl->algorithm.get(), m_pImpl->hash.put(), nullptr, 0, nullptr, 0, 0)))
        m_pImpl->hash.reset();
}

CSha256::~CSha256() = default;

bool CSha256::IsValid() const
{
    return static_cast<bool>(m_pImpl->hash);
}

bool CSha256::Add(const void* pData, std::size_t nBytes)
{
    if (!IsValid())
        return false;
    const auto* p = static_cast<const UCHAR*>(pData);
    // CNG takes ULONG counts: a larger block goes in pieces.
    while (nBytes > 0) {
        const ULONG nPiece = nBytes > 0x40000000 ? 0x40000000 : ULONG(nBytes);
        if (!Succeeded(BCryptHashData(m_pImpl->hash.get(), const_cast<PUCHAR>(p), nPiece, 0)))
            return false;
        p += nPiece;
        nBytes -= nPiece;
    }
    return true;
}

bool CSha256::Finish(std::uint8_t (&digest)[32])
{
    if (!IsValid())
        return false;
    const bool bDone = Succeeded(BCryptFinishHash(m_pImpl->hash.get(), digest, sizeof digest, 0));
    m_pImpl->hash.reset();
    return bDone;
}

bool Sha256Of(const void* pData, std::size_t nBytes, std::uint8_t (&digest)[32])
{
    CSha256 sha;
    return sha.Add(pData, nBytes) && sha.Finish(digest);
}

bool Sha256OfFile(HANDLE hFile, std::uint8_t (&digest)[32], std::uint64_t* pnBytes)
{
    CSha256 sha;
    std::vector<BYTE> buffer(256 * 1024);
    std::uint64_t nTotal = 0;
    for (;;) {
        DWORD nRead = 0;
        if (!ReadFile(hFile, buffer.data(), DWORD(buffer.size()), &nRead, nullptr))
            return false;
        if (nRead == 0)
            break;
        if (!sha.Add(buffer.data(), nRead))
            return false;
        nTotal += nRead;
    }
    if (pnBytes)
        *pnBytes = nTotal;
    return sha.Finish(digest);
}

bool VerifyP256Signature(const std::uint8_t (&publicKey)[64], const std::uint8_t (&digest)[32],
                         const std::uint8_t (&signature)[64])
{
    UniqueAlgorithm algorithm;
    if (!Succeeded(BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_ECDSA_P256_ALGORITHM, nullptr, 0)))
        return false;
    BYTE blob[sizeof(BCRYPT_ECCKEY_BLOB) + 64];
    BCRYPT_ECCKEY_BLOB header{};
    header.dwMagic = BCRYPT_ECDSA_PUBLIC_P256_MAGIC;
    header.cbKey = 32;
    std::memcpy(blob, &header, sizeof header);
    std::memcpy(blob + sizeof header, publicKey, 64);
    UniqueKey key;
    if (!Succeeded(BCryptImportKeyPair(algorithm.get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, key.put(), blob,
                                       sizeof blob, 0)))
        return false;
    // The verification reads the buffers only; CNG's prototypes are not const.
    return BCryptVerifySignature(key.get(), nullptr, const_cast<PUCHAR>(digest), sizeof digest,
                                 const_cast<PUCHAR>(signature), sizeof signature, 0) == 0;
}
