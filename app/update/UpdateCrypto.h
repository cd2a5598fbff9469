// SHA-256 and ECDSA P-256 through the system's CNG: what proves that an update comes from the
// operator and arrived whole, without a library of our own.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "framework/CString.h"

// A running SHA-256 digest.
class CSha256
{
public:
    CSha256();
    ~CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    // False when the system has no SHA-256; the digest is then never finished.
    bool IsValid() const;
    bool Add(const void* pData, std::size_t nBytes);
    // The digest of everything added; the object is spent afterwards.
    bool Finish(std::uint8_t (&digest)[32]);

private:
    struct Impl;
    std::unique_ptr<Impl> m_pImpl;
};

bool Sha256Of(const void* pData, std::size_t nBytes, std::uint8_t (&digest)[32]);

// The digest and size of what hFile holds from its current position to its end.
bool Sha256OfFile(HANDLE hFile, std::uint8_t (&digest)[32], std::uint64_t* pnBytes);

// True only when signature (r||s, 32 bytes each) is a valid ECDSA P-256 signature of digest made with
// the private half of publicKey (X||Y, 32 bytes each, big-endian as CNG takes them).
bool VerifyP256Signature(const std::uint8_t (&publicKey)[64], const std::uint8_t (&digest)[32],
                         const std::uint8_t (&signature)[64]);
