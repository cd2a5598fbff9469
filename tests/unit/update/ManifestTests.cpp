// The manifest reader on literal texts, and a manifest that the release tool signed with openssl.
#include <gtest/gtest.h>

#include "app/update/UpdateCrypto.h"
#include "app/update/UpdateManifest.h"
#include "app/update/UpdateStore.h"
#include "support/ClientProcess.h"
#include "support/FilesAndKeys.h"

namespace {

const std::string kSig = "signature=" + std::string(86, 'A') + "==\n";
const std::string kGood = "version=1.0.0.2\nurl=http://u.example/a.exe\nsize=1825280\nsha256=" +
                          std::string(64, 'a') + "\nexpires=2027-01-31T00:00:00Z\n";
// The lines that came later, which clients before them ignore.
const std::string kLater = "product=tarnube/pelq\nrollout=20\n";

ManifestError Parse(const std::string& text, UpdateManifest* pManifest = nullptr)
{
    UpdateManifest scratch;
    return ParseUpdateManifest(text, pManifest ? pManifest : &scratch);
}

}  // namespace

TEST(Manifest, AcceptsTheDocumentedFormWithEitherLineEnd)
{
    UpdateManifest m;
    ASSERT_EQ(Parse(kGood + kSig, &m), ManifestError::None);
    EXPECT_EQ(m.strVersionText, "1.0.0.2");
    EXPECT_EQ(m.strUrl, "http://u.example/a.exe");
    EXPECT_EQ(m.nSize, 1825280u);
    EXPECT_EQ(m.nExpiresUnix, 1801353600);
    EXPECT_EQ(m.nSignedBytes, kGood.size()) << "the signed part is every byte before the signature line";
    EXPECT_EQ(m.strProduct, "") << "no product line";
    EXPECT_EQ(m.nRollout, 100) << "no rollout line: everyone";

    ASSERT_EQ(Parse(kGood + kLater + kSig, &m), ManifestError::None);
    EXPECT_EQ(m.strProduct, "tarnube/pelq");
    EXPECT_EQ(m.nRollout, 20);
    ASSERT_EQ(Parse("version=65535.65535.65535.65535" + kGood.substr(15) + kSig, &m), ManifestError::None);
    EXPECT_EQ(m.strVersionText, "65535.65535.65535.65535");

    std::string crlf;
    for (char ch : kGood + "note=extra keys are signed and ignored\n" + kSig)
        crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    EXPECT_EQ(Parse(crlf, &m), ManifestError::None);
    EXPECT_EQ(Parse(kGood + kSig.substr(0, kSig.size() - 1)), ManifestError::None) << "no line end after the signature";
}

TEST(Manifest, RefusesWhatIsNotExactlyThatForm)
{
    const struct { std::string text; ManifestError error; } cases[] = {
        {"", ManifestError::Empty},
        {kGood, ManifestError::Unsigned},
        {kGood + kSig + "version=9.9.9.9\n", ManifestError::Unsigned},
        {std::string(20000, 'x'), ManifestError::TooLarge},
        {kGood + "version=1.0.0.3\n" + kSig, ManifestError::Malformed},
        {kGood + "no equals sign\n" + kSig, ManifestError::Malformed},
        {kGood + kSig.substr(0, kSig.size() - 1) + "\nsignature=x\n" + kSig, ManifestError::Malformed},
        {"url=http://a/b\nsize=1\nsha256=" + std::string(64, 'a') + "\nexpires=2027-01-31T00:00:00Z\n" + kSig,
         ManifestError::Malformed},
        {"version=1.0.0.2.5" + kGood.substr(15) + kSig, ManifestError::BadVersion},
        {"version=0.0" + kGood.substr(15) + kSig, ManifestError::BadVersion},
        {"version=999999999.0.0.0" + kGood.substr(15) + kSig, ManifestError::BadVersion},
        {"version=1.65536" + kGood.substr(15) + kSig, ManifestError::BadVersion},
        {"version=1.000001" + kGood.substr(15) + kSig, ManifestError::BadVersion},
        {kGood + "product=tarnube\n" + kSig, ManifestError::BadProduct},
        {kGood + "product=tarnube/pelq/x\n" + kSig, ManifestError::BadProduct},
        {kGood + "product=tarnube/pe lq\n" + kSig, ManifestError::BadProduct},
        {kGood + "product=/pelq\n" + kSig, ManifestError::BadProduct},
        {kGood + "rollout=101\n" + kSig, ManifestError::BadRollout},
        {kGood + "rollout=-1\n" + kSig, ManifestError::BadRollout},
        {kGood + "rollout=020\n" + kSig, ManifestError::BadRollout},
        {kGood + "rollout=\n" + kSig, ManifestError::BadRollout},
        {kGood + kLater + "rollout=30\n" + kSig, ManifestError::Malformed},
        {"version=1.0.0.2\nurl=file:///c:/a.exe" + kGood.substr(42) + kSig, ManifestError::BadUrl},
        {"version=1.0.0.2\nurl=http://a b/a.exe" + kGood.substr(42) + kSig, ManifestError::BadUrl},
        {"version=1.0.0.2\nurl=http://u.example/a.exe\nsize=67108865" + kGood.substr(55) + kSig, ManifestError::BadSize},
        {"version=1.0.0.2\nurl=http://u.example/a.exe\nsize=0000001" + kGood.substr(55) + kSig, ManifestError::BadSize},
        {kGood.substr(0, 70) + "A" + kGood.substr(71) + kSig, ManifestError::BadDigest},
        {kGood.substr(0, kGood.size() - 21) + "2027-02-29T00:00:00Z\n" + kSig, ManifestError::BadExpiry},
        {kGood.substr(0, kGood.size() - 21) + "2027-01-31 00:00:00Z\n" + kSig, ManifestError::BadExpiry},
        {kGood + "signature=" + std::string(86, 'A') + "=\n", ManifestError::BadSignature},
        {kGood + "signature=" + std::string(85, 'A') + "*==\n", ManifestError::BadSignature},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parse(c.text), c.error) << c.text.substr(0, 200);
}

TEST(Manifest, TheProductIsThePartnerAndGameOfTheVersionQuery)
{
    const struct { const char* query; const char* product; } cases[] = {
        {"getClientVersion.php?p=tarnube&g=pelq&v=", "tarnube/pelq"},
        {"getClientVersion.php?g=pelq&v=&p=tarnube", "tarnube/pelq"},
        {"v.php?p=a-b.c_d&g=9&x=1", "a-b.c_d/9"},
        {"getClientVersion.php?p=tarnube&v=", ""},
        {"getClientVersion.php?p=&g=pelq&v=", ""},
        {"getClientVersion.php?p=tar/nube&g=pelq", ""},
        {"getClientVersion.php", ""},
        {"p=tarnube&g=pelq", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProductOfVersionQuery(c.query), c.product) << c.query;
}

TEST(Manifest, TimestampsAreUtcSecondsOfRealDates)
{
    std::int64_t t = 0;
    ASSERT_TRUE(ParseUtcTimestamp("1970-01-01T00:00:00Z", &t));
    EXPECT_EQ(t, 0);
    ASSERT_TRUE(ParseUtcTimestamp("2028-02-29T23:59:59Z", &t));
    EXPECT_EQ(t, 1835481599);
    EXPECT_FALSE(ParseUtcTimestamp("2100-02-29T00:00:00Z", &t));
    EXPECT_FALSE(ParseUtcTimestamp("2027-01-31T24:00:00Z", &t));
    EXPECT_FALSE(ParseUtcTimestamp("2027-01-31T00:00:00+08:00", &t));
}

// The operator's tool signs with openssl (DER turned into r||s); the client verifies with CNG.
TEST(Manifest, ReleaseToolSignatureVerifiesAndOneChangedByteDoesNot)
{
    const std::string text = ReadFileBytes(TORVEL_TOOL_FIXTURE L"/manifest.txt");
    const std::string key = ReadFileBytes(TORVEL_TOOL_FIXTURE L"/key.bin");
    ASSERT_EQ(key.size(), 64u);
    std::uint8_t publicKey[64];
    memcpy(publicKey, key.data(), 64);

    UpdateManifest m;
    ASSERT_EQ(Parse(text, &m), ManifestError::None) << text;
    EXPECT_TRUE(ManifestSignatureValid(text, m, publicKey));
    EXPECT_EQ(m.strVersionText, "1.0.0.1") << "the tool reads the exe's own FileVersion";
    EXPECT_EQ(m.strProduct, "tarnube/pelq") << "the tool reads the exe's own version query";
    EXPECT_EQ(m.nRollout, 20);

    const std::string bytes = ReadFileBytes(ClientExePath());
    std::uint8_t digest[32];
    ASSERT_TRUE(Sha256Of(bytes.data(), bytes.size(), digest));
    EXPECT_EQ(m.nSize, bytes.size());
    EXPECT_EQ(HexDigits(m.sha256, 32), HexDigits(digest, 32));

    std::string changed = text;
    changed[text.find("\nsha256=") - 1] ^= 1;   // the size's last digit
    ASSERT_EQ(Parse(changed, &m), ManifestError::None);
    EXPECT_FALSE(ManifestSignatureValid(changed, m, publicKey));
}

// The tool's verify, run at build time on that manifest and on what must fail it.
TEST(Manifest, ReleaseToolVerifyPassesTheSignedManifestAndNamesWhatFails)
{
    const std::string report = ReadFileBytes(TORVEL_TOOL_FIXTURE L"/verify.txt");
    const std::string keyId = UpdateKeyId(*reinterpret_cast<const std::uint8_t(*)[64]>(
        ReadFileBytes(TORVEL_TOOL_FIXTURE L"/key.bin").data()));
    const struct { const char* name; const char* code; std::string said; } cases[] = {
        {"good", "0", "rollout 20 %, key " + keyId},
        {"another key", "1", "the signature does not verify"},
        {"a signed line changed", "1", "the signature does not verify"},
        {"another exe", "1", "the manifest names size"},
    };
    for (const auto& c : cases) {
        const std::string head = std::string(c.name) + "\t" + c.code + "\t";
        const size_t at = report.find(head);
        ASSERT_NE(at, std::string::npos) << c.name << "\n" << report;
        const std::string line = report.substr(at, report.find('\n', at) - at);
        EXPECT_NE(line.find(c.said), std::string::npos) << line;
    }
}
