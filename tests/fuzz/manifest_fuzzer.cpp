// libFuzzer target over the update manifest reader (app/update/UpdateManifest.cpp), which reads what the
// version server answers. Properties checked, beyond not crashing:
// - an accepted manifest's signed part ends right before a last line that starts "signature=";
// - every accepted field lies in its range (version not zero with parts of at most 65535, size from 1
//   to the limit, address http or https without blanks, expiry not before 1970, rollout from 0 to 100,
//   product empty or two codes around one '/');
// - the accepted fields written back in the documented form are accepted again, as the same fields.
#include "app/update/UpdateManifest.h"
#include "tests/fuzz/FuzzText.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Base64(const std::uint8_t* p, std::size_t n)
{
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t i = 0; i < n; i += 3) {
        const unsigned v = unsigned(p[i]) << 16 | (i + 1 < n ? unsigned(p[i + 1]) << 8 : 0) | (i + 2 < n ? p[i + 2] : 0);
        text += kAlphabet[v >> 18 & 63];
        text += kAlphabet[v >> 12 & 63];
        text += i + 1 < n ? kAlphabet[v >> 6 & 63] : '=';
        text += i + 2 < n ? kAlphabet[v & 63] : '=';
    }
    return text;
}

std::string Timestamp(std::int64_t t)
{
    const std::int64_t days = t / 86400, rest = t % 86400;
    // Civil date from days since 1970 (the inverse of the reader's conversion).
    const std::int64_t z = days + 719468, era = z / 146097, doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1, m = mp < 10 ? mp + 3 : mp - 9, y = yoe + era * 400 + (m <= 2);
    char text[32];
    snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lldZ", (long long)y, (long long)m, (long long)d,
             (long long)(rest / 3600), (long long)(rest / 60 % 60), (long long)(rest % 60));
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    UpdateManifest m;
    if (ParseUpdateManifest(text, &m) != ManifestError::None)
        return 0;

    if (m.nSignedBytes > text.size() || text.compare(m.nSignedBytes, 10, "signature=") != 0)
        Fail("the signed part does not end at the signature line", text);
    if (m.nSignedBytes > 0 && text[m.nSignedBytes - 1] != '\n')
        Fail("the signature does not start a line", text);
    if (m.version.IsZero() || m.nSize == 0 || m.nSize > kUpdateByteLimit || m.nExpiresUnix < 0)
        Fail("a field out of its range", text);
    std::string scheme = m.strUrl.substr(0, 8);
    for (char& ch : scheme)
        ch = char(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
    if (scheme.compare(0, 7, "http://") != 0 && scheme != "https://")
        Fail("an address that is not http or https", text);
    if (m.strUrl.find_first_of(" \t\r\n") != std::string::npos)
        Fail("an address with a blank", text);
    unsigned long part = 0;
    for (char ch : m.strVersionText + ".") {
        if (ch == '.') {
            if (part > 65535)
                Fail("a version part past 65535", text);
            part = 0;
        } else {
            part = part * 10 + unsigned(ch - '0');
        }
    }
    if (m.nRollout < 0 || m.nRollout > 100)
        Fail("a rollout out of its range", text);
    const std::size_t slash = m.strProduct.find('/');
    if (!m.strProduct.empty() && (slash == 0 || slash == std::string::npos || slash + 1 == m.strProduct.size() ||
                                  m.strProduct.find('/', slash + 1) != std::string::npos ||
                                  m.strProduct.find_first_of(" \t&=?") != std::string::npos))
        Fail("a product that is not <partner>/<game>", text);

    const std::string again = "version=" + m.strVersionText +
                              (m.strProduct.empty() ? std::string() : "\nproduct=" + m.strProduct) + "\nurl=" + m.strUrl +
                              "\nsize=" + std::to_string(m.nSize) + "\nsha256=" + HexDigits(m.sha256, 32) +
                              "\nexpires=" + Timestamp(m.nExpiresUnix) + "\nrollout=" + std::to_string(m.nRollout) +
                              "\nsignature=" + Base64(m.signature, 64) + "\n";
    UpdateManifest m2;
    if (ParseUpdateManifest(again, &m2) != ManifestError::None)
        Fail("the accepted fields written back are refused", again);
    if (m2.strVersionText != m.strVersionText || m2.strProduct != m.strProduct || m2.nRollout != m.nRollout ||
        m2.strUrl != m.strUrl || m2.nSize != m.nSize ||
        m2.nExpiresUnix != m.nExpiresUnix || std::memcmp(m2.sha256, m.sha256, 32) != 0 ||
        std::memcmp(m2.signature, m.signature, 64) != 0)
        Fail("the accepted fields read back differ", again);
    return 0;
}
