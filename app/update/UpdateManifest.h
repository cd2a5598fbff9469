// The version server's answer: a signed manifest, UTF-8 text with one key=value per line ("\n" or
// "\r\n"), the signature last. Read without window code or Windows types, so that it is tested
// directly and fuzzed natively: it is outside input, and the first thing an attacker would feed us.
//
//   version=1.0.0.2
//   product=tarnube/pelq
//   url=http://updates.example/Torvel_Qerm-1.0.0.2.exe
//   size=1825280
//   sha256=<64 lower-case hex digits of the file>
//   expires=2027-01-31T00:00:00Z
//   rollout=20
//   signature=<Base64 of the 64-byte r||s ECDSA P-256 signature of the SHA-256 of every byte before
//             this line>
//
// Keys this reader does not know are signed and ignored, so that a manifest with lines added later
// still updates the clients installed before them. product= and rollout= came that way: clients older
// than them ignore both.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "start/VersionNumber.h"

// No answer of a version server is read past this: a manifest is a few hundred bytes.
constexpr std::size_t kManifestByteLimit = 16 * 1024;
// No update is larger: a longer download is cut there whatever the manifest says.
constexpr std::uint64_t kUpdateByteLimit = 64ull * 1024 * 1024;
// A manifest is good for at most this long after the player's clock: a replayed one goes stale.
constexpr std::int64_t kManifestLifetimeLimit = 90ll * 24 * 60 * 60;
// The share of installations offered an update when the manifest names none.
constexpr int kRolloutEveryone = 100;

enum class ManifestError
{
    None,
    Empty,
    TooLarge,
    Unsigned,       // no signature line, or one that is not the last
    Malformed,      // a line without '=', a repeated key, a control character, a missing field
    BadVersion,     // not one to four dotted parts of 0 to 65535, or all zero
    BadProduct,     // not <partner>/<game>
    BadUrl,         // not http:// or https://, or holding blanks or control characters
    BadSize,        // not a decimal number from 1 to kUpdateByteLimit
    BadDigest,      // not 64 lower-case hexadecimal digits
    BadExpiry,      // not YYYY-MM-DDTHH:MM:SSZ with a real date and time
    BadRollout,     // not a decimal number from 0 to 100
    BadSignature,   // not Base64 of 64 bytes
};

struct UpdateManifest
{
    std::string strVersionText;     // as written, for the log
    CVersionNumber version;
    std::string strProduct;         // "<partner>/<game>"; empty when the manifest names none
    std::string strUrl;
    std::uint64_t nSize = 0;
    std::uint8_t sha256[32] = {};
    std::int64_t nExpiresUnix = 0;  // seconds since 1970-01-01 00:00:00 UTC
    int nRollout = kRolloutEveryone;   // percent of installations offered the update, 0 to 100
    std::uint8_t signature[64] = {};
    std::size_t nSignedBytes = 0;   // the bytes before the signature line: what was signed
};

// Reads text into *pManifest. Every field is checked for its form here; what needs keys, clocks and
// files (the signature, the expiry, the version against ours) is for the caller.
ManifestError ParseUpdateManifest(const std::string& text, UpdateManifest* pManifest);

// The product a version query asks about: "getClientVersion.php?p=tarnube&g=pelq&v=" gives
// "tarnube/pelq" (its p and g parameters); "" when either is missing or empty.
std::string ProductOfVersionQuery(const std::string& query);

// "2027-01-31T00:00:00Z" as seconds since 1970; false for any other form or an impossible date.
bool ParseUtcTimestamp(const std::string& text, std::int64_t* pSeconds);

// Why a manifest was refused, for the update log.
const char* ManifestErrorText(ManifestError error);

// Bytes as lower-case hexadecimal digits.
std::string HexDigits(const std::uint8_t* pBytes, std::size_t nBytes);
