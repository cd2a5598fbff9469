#include "app/update/UpdateManifest.h"

#include <cstring>
#include <map>

#include "start/Base64Text.h"

namespace {

const char kSignatureKey[] = "signature=";

bool IsDigit(char ch)
{
    return ch >= '0' && ch <= '9';
}

int HexValue(char ch)
{
    if (IsDigit(ch))
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    return -1;
}

bool StartsWithNoCase(const std::string& text, const char* pszPrefix)
{
    const std::size_t n = std::strlen(pszPrefix);
    if (text.size() < n)
        return false;
    for (std::size_t i = 0; i < n; ++i) {
        char ch = text[i];
        if (ch >= 'A' && ch <= 'Z')
            ch = char(ch - 'A' + 'a');
        if (ch != pszPrefix[i])
            return false;
    }
    return true;
}

bool ParseVersion(const std::string& text, UpdateManifest* pManifest)
{
    // Dotted decimal parts only, at most four, each at most 65535: a build's version resource holds
    // 16 bits a part, so a larger number is one that no later build could ever exceed.
    if (text.empty() || text.size() > 64)
        return false;
    int nParts = 1;
    std::size_t nRun = 0;
    unsigned value = 0;
    for (char ch : text) {
        if (IsDigit(ch)) {
            value = value * 10 + unsigned(ch - '0');
            if (++nRun > 5 || value > 65535)
                return false;
        } else if (ch == '.' && nRun > 0 && nParts < 4) {
            ++nParts;
            nRun = 0;
            value = 0;
        } else {
            return false;
        }
    }
    if (nRun == 0)
        return false;
    const std::wstring wide(text.begin(), text.end());
    pManifest->version = CVersionNumber::Parse(wide.c_str());
    pManifest->strVersionText = text;
    return !pManifest->version.IsZero();
}

// A partner or game code: what a version query's parameter holds, and nothing that could read as
// another parameter, a path or a blank.
bool IsProductCode(const std::string& text)
{
    if (text.empty() || text.size() > 64)
        return false;
    for (char ch : text) {
        const bool bAllowed = IsDigit(ch) || (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || ch == '_' ||
                              ch == '-' || ch == '.';
        if (!bAllowed)
            return false;
    }
    return true;
}

bool ParseProduct(const std::string& text, UpdateManifest* pManifest)
{
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos || !IsProductCode(text.substr(0, slash)) || !IsProductCode(text.substr(slash + 1)))
        return false;
    pManifest->strProduct = text;
    return true;
}

bool ParseRollout(const std::string& text, UpdateManifest* pManifest)
{
    if (text.empty() || text.size() > 3 || (text.size() > 1 && text[0] == '0'))
        return false;
    int value = 0;
    for (char ch : text) {
        if (!IsDigit(ch))
            return false;
        value = value * 10 + (ch - '0');
    }
    if (value > kRolloutEveryone)
        return false;
    pManifest->nRollout = value;
    return true;
}

bool ParseUrl(const std::string& text, UpdateManifest* pManifest)
{
    if (!StartsWithNoCase(text, "http://") && !StartsWithNoCase(text, "https://"))
        return false;
    const std::size_t nScheme = StartsWithNoCase(text, "http://") ? 7 : 8;
    if (text.size() <= nScheme || text.size() > 2048 || text[nScheme] == '/')
        return false;
    for (unsigned char ch : text) {
        if (ch <= ' ' || ch >= 0x7F)
            return false;
    }
    pManifest->strUrl = text;
    return true;
}

bool ParseSize(const std::string& text, UpdateManifest* pManifest)
{
    if (text.empty() || text.size() > 12 || text[0] == '0')
        return false;
    std::uint64_t value = 0;
    for (char ch : text) {
        if (!IsDigit(ch))
            return false;
        value = value * 10 + std::uint64_t(ch - '0');
    }
    if (value == 0 || value > kUpdateByteLimit)
        return false;
    pManifest->nSize = value;
    return true;
}

bool ParseDigest(const std::string& text, UpdateManifest* pManifest)
{
    if (text.size() != 64)
        return false;
    for (std::size_t i = 0; i < 32; ++i) {
        const int hi = HexValue(text[2 * i]);
        const int lo = HexValue(text[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        pManifest->sha256[i] = std::uint8_t(hi << 4 | lo);
    }
    return true;
}

bool ParseSignature(const std::string& text, UpdateManifest* pManifest)
{
    // 64 bytes are 86 characters and two of padding; the decoder skips what is not Base64, so the
    // form is checked here first.
    if (text.size() != 88 || text[86] != '=' || text[87] != '=')
        return false;
    for (std::size_t i = 0; i < 86; ++i) {
        const char ch = text[i];
        const bool bBase64 = IsDigit(ch) || (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '+' || ch == '/';
        if (!bBase64)
            return false;
    }
    unsigned char decoded[66] = {};
    if (DecodeBase64Bytes(text, decoded, sizeof decoded) != 64)
        return false;
    std::memcpy(pManifest->signature, decoded, 64);
    return true;
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

}  // namespace

bool ParseUtcTimestamp(const std::string& text, std::int64_t* pSeconds)
{
    // YYYY-MM-DDTHH:MM:SSZ
    static const char kShape[] = "dddd-dd-ddTdd:dd:ddZ";
    if (text.size() != sizeof kShape - 1)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (kShape[i] == 'd' ? !IsDigit(text[i]) : text[i] != kShape[i])
            return false;
    }
    auto number = [&](std::size_t at, std::size_t len) {
        int value = 0;
        for (std::size_t i = 0; i < len; ++i)
            value = value * 10 + (text[at + i] - '0');
        return value;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const int hour = number(11, 2), minute = number(14, 2), second = number(17, 2);
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool bLeap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 1970 || month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59)
        return false;
    if (day > kDays[month - 1] + (month == 2 && bLeap ? 1 : 0))
        return false;
    *pSeconds = DaysFromCivil(year, unsigned(month), unsigned(day)) * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

ManifestError ParseUpdateManifest(const std::string& text, UpdateManifest* pManifest)
{
    if (text.empty())
        return ManifestError::Empty;
    if (text.size() > kManifestByteLimit)
        return ManifestError::TooLarge;
    UpdateManifest manifest;

    // The signature line is the last line; what follows it may only be its own line end.
    std::size_t end = text.size();
    if (end > 0 && text[end - 1] == '\n')
        --end;
    if (end > 0 && text[end - 1] == '\r')
        --end;
    const std::size_t lineStart = text.rfind('\n', end == 0 ? 0 : end - 1);
    const std::size_t sigStart = lineStart == std::string::npos ? 0 : lineStart + 1;
    if (text.compare(sigStart, sizeof kSignatureKey - 1, kSignatureKey) != 0)
        return ManifestError::Unsigned;
    manifest.nSignedBytes = sigStart;

    std::map<std::string, std::string> fields;
    std::size_t pos = 0;
    while (pos < sigStart) {
        std::size_t eol = text.find('\n', pos);
        std::string line = text.substr(pos, eol - pos);
        pos = eol + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        for (unsigned char ch : line) {
            if (ch < ' ' || ch == 0x7F)
                return ManifestError::Malformed;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0)
            return ManifestError::Malformed;
        const std::string key = line.substr(0, eq);
        if (key == "signature" || !fields.emplace(key, line.substr(eq + 1)).second)
            return ManifestError::Malformed;
    }
    for (const char* required : {"version", "url", "size", "sha256", "expires"}) {
        if (fields.find(required) == fields.end())
            return ManifestError::Malformed;
    }
    if (!ParseVersion(fields["version"], &manifest))
        return ManifestError::BadVersion;
    // Optional for the reader; the update check refuses a manifest without a product.
    if (fields.count("product") && !ParseProduct(fields["product"], &manifest))
        return ManifestError::BadProduct;
    if (!ParseUrl(fields["url"], &manifest))
        return ManifestError::BadUrl;
    if (!ParseSize(fields["size"], &manifest))
        return ManifestError::BadSize;
    if (!ParseDigest(fields["sha256"], &manifest))
        return ManifestError::BadDigest;
    if (!ParseUtcTimestamp(fields["expires"], &manifest.nExpiresUnix))
        return ManifestError::BadExpiry;
    if (fields.count("rollout") && !ParseRollout(fields["rollout"], &manifest))
        return ManifestError::BadRollout;
    if (!ParseSignature(text.substr(sigStart + sizeof kSignatureKey - 1, end - sigStart - (sizeof kSignatureKey - 1)), &manifest))
        return ManifestError::BadSignature;
    *pManifest = manifest;
    return ManifestError::None;
}

const char* ManifestErrorText(ManifestError error)
{
    switch (error) {
    case ManifestError::None: return "accepted";
    case ManifestError::Empty: return "empty answer";
    case ManifestError::TooLarge: return "answer too large";
    case ManifestError::Unsigned: return "unsigned manifest";
    case ManifestError::Malformed: return "malformed manifest";
    case ManifestError::BadVersion: return "malformed version";
    case ManifestError::BadProduct: return "malformed product";
    case ManifestError::BadRollout: return "malformed rollout";
    case ManifestError::BadUrl: return "address not http or https";
    case ManifestError::BadSize: return "size out of range";
    case ManifestError::BadDigest: return "malformed sha256";
    case ManifestError::BadExpiry: return "malformed expiry";
    case ManifestError::BadSignature: return "malformed signature";
    }
    return "refused";
}

std::string ProductOfVersionQuery(const std::string& query)
{
    const std::size_t question = query.find('?');
    if (question == std::string::npos)
        return std::string();
    std::string partner, game;
    std::size_t pos = question + 1;
    while (pos <= query.size()) {
        std::size_t amp = query.find('&', pos);
        if (amp == std::string::npos)
            amp = query.size();
        const std::string pair = query.substr(pos, amp - pos);
        if (pair.compare(0, 2, "p=") == 0)
            partner = pair.substr(2);
        else if (pair.compare(0, 2, "g=") == 0)
            game = pair.substr(2);
        pos = amp + 1;
    }
    if (!IsProductCode(partner) || !IsProductCode(game))
        return std::string();
    return partner + "/" + game;
}

std::string HexDigits(const std::uint8_t* pBytes, std::size_t nBytes)
{
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    text.reserve(nBytes * 2);
    for (std::size_t i = 0; i < nBytes; ++i) {
        text += kHex[pBytes[i] >> 4];
        text += kHex[pBytes[i] & 15];
    }
    return text;
}
