// The update check in-process: a loopback server plays the version server, a key of the test's own
// signs. Each refusal leaves nothing behind that the next start could hand over, and says why in the
// update log.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <functional>

#include "app/Paths.h"
#include "app/UpdateLog.h"
#include "app/update/UpdateHandOver.h"
#include "app/update/UpdateRollout.h"
#include "app/update/UpdateStore.h"
#include "app/update/Updater.h"
#include "framework/Handles.h"
#include "start/InstallNames.h"
#include "support/ClientProcess.h"
#include "support/FilesAndKeys.h"
#include "support/ResourcePatch.h"
#include "support/UpdateLogText.h"
#include "support/UpdateRelease.h"
#include "support/LoopbackHttpServer.h"
#include "unit/updatelog/ScratchFolder.h"

namespace {

std::vector<std::wstring> LogMessages()
{
    return UpdateLogMessages(GetUpdateLogPath());
}

std::string NarrowText(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

class UpdateCheck : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // The new build: the client itself with another FileVersion.
        CScratchFolder build(L"newbuild");
        const std::wstring copy = build.Sub(L"Torvel_Qerm.exe");
        ASSERT_TRUE(CopyFileW(ClientExePath(), copy.c_str(), FALSE));
        ASSERT_TRUE(SetFileVersion(copy, "1.0.0.2"));
        s_newBuild = new std::string(ReadFileBytes(copy));
    }
    static void TearDownTestSuite()
    {
        delete s_newBuild;
        s_newBuild = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_key.IsValid());
        ASSERT_TRUE(m_server.IsListening());
        SHCreateDirectoryExW(nullptr, GetDataDir() + L"res", nullptr);
        DeleteFileW(GetUpdateLogPath());
        m_setup.strQueryUrl = m_server.Url("/q").c_str();
        m_setup.strRunningVersion = L"1.0.0.1";
        memcpy(m_setup.publicKey, m_key.PublicKey(), 64);
        m_setup.strDownloadDir = m_dir.Sub(L"download").c_str();
        m_setup.strExeName = L"Torvel_Qerm.exe";
        m_setup.strProduct = "tarnube/pelq";
        m_setup.strKeyId = UpdateKeyId(*reinterpret_cast<const std::uint8_t(*)[64]>(m_key.PublicKey()));
        m_setup.strLogPath = GetUpdateLogPath();
        m_setup.strUserAgent = L"UpdateCheckTests";
        ParseUtcTimestamp("2027-01-01T00:00:00Z", &m_setup.nNowUnix);
        m_fields.expires = "2027-02-01T00:00:00Z";
        m_fields.url = NarrowText(m_server.Url("/new.exe"));
        m_fields.size = s_newBuild->size();
        m_fields.sha256 = Sha256Hex(*s_newBuild);
    }

    void Offer(const std::string& manifest, const std::string& file)
    {
        m_server.Add("/q", CannedResponse::Make("200 OK", manifest));
        m_server.Add("/new.exe", CannedResponse::Make("200 OK", file));
    }

    std::wstring Ready() const { return m_dir.Sub(L"download\\Torvel_Qerm.exe"); }

    static std::string* s_newBuild;
    CScratchFolder m_dir{L"update"};
    CTestSigningKey m_key;
    CLoopbackHttpServer m_server;
    UpdateSetup m_setup;
    ManifestFields m_fields;
};

std::string* UpdateCheck::s_newBuild = nullptr;

TEST_F(UpdateCheck, EveryRefusalKeepsNothingAndLogsOneReason)
{
    CTestSigningKey other;
    struct Case
    {
        const char* name;
        UpdateCheckResult expected;
        const wchar_t* logged;
        std::function<void(ManifestFields&, std::string& manifest, std::string& file)> change;
    };
    const std::string& good = *s_newBuild;
    const Case cases[] = {
        {"one byte of the file changed", UpdateCheckResult::Refused, L"sha256 differs",
         [](ManifestFields&, std::string&, std::string& file) { file[file.size() / 2] ^= 1; }},
        {"signed with another key", UpdateCheckResult::NoUpdate, L"signature does not verify",
         [&](ManifestFields& f, std::string& manifest, std::string&) { manifest = other.Sign(ManifestBody(f)); }},
        {"one byte of the signed text changed", UpdateCheckResult::NoUpdate, L"signature does not verify",
         [](ManifestFields&, std::string& manifest, std::string&) { manifest[manifest.find("new.exe")] = 'N'; }},
        {"expired", UpdateCheckResult::NoUpdate, L"manifest expired",
         [&](ManifestFields& f, std::string& manifest, std::string&) {
             f.expires = "2026-12-31T23:59:59Z";
             manifest = m_key.Sign(ManifestBody(f));
         }},
        {"no product line", UpdateCheckResult::NoUpdate, L"no update (manifest names no product)",
         [&](ManifestFields& f, std::string& manifest, std::string&) {
             f.product.clear();
             manifest = m_key.Sign(ManifestBody(f));
         }},
        {"another game of the same operator", UpdateCheckResult::NoUpdate,
         L"no update (manifest for tarnube/qelp, not tarnube/pelq)",
         [&](ManifestFields& f, std::string& manifest, std::string&) {
             f.product = "tarnube/qelp";
             manifest = m_key.Sign(ManifestBody(f));
         }},
        {"good for 91 days", UpdateCheckResult::NoUpdate, L"no update (manifest expires more than 90 days ahead)",
         [&](ManifestFields& f, std::string& manifest, std::string&) {
             f.expires = "2027-04-02T00:00:01Z";
             manifest = m_key.Sign(ManifestBody(f));
         }},
        {"a version part past 65535", UpdateCheckResult::NoUpdate, L"no update (malformed version)",
         [&](ManifestFields& f, std::string& manifest, std::string&) {
             f.version = "1.0.65536.0";
             manifest = m_key.Sign(ManifestBody(f));
         }},
        {"the same version", UpdateCheckResult::NoUpdate, L"1.0.0.1 offered, 1.0.0.1 running",
         [&](ManifestFields& f, std::string& manifest, std::string&) {
             f.version = "1.0.0.1";
             manifest = m_key.Sign(ManifestBody(f));
         }},
        {"an older version", UpdateCheckResult::NoUpdate, L"1.0.0.0 offered, 1.0.0.1 running",
         [&](ManifestFields& f, std::string& manifest, std::string&) {
             f.version = "1.0.0.0";
             manifest = m_key.Sign(ManifestBody(f));
         }},
        {"a FileVersion other than the manifest's", UpdateCheckResult::Refused, L"file version differs",
         [&](ManifestFields& f, std::string& manifest, std::string&) {
             f.version = "1.0.0.3";
             manifest = m_key.Sign(ManifestBody(f));
         }},
        {"a file larger than its size", UpdateCheckResult::Refused, L"larger than its manifest's size",
         [&](ManifestFields& f, std::string& manifest, std::string& file) {
             f.size = file.size() - 100;
             f.sha256 = Sha256Hex(file.substr(0, file.size() - 100));
             manifest = m_key.Sign(ManifestBody(f));
         }},
        {"90 days less one second is still good", UpdateCheckResult::Ready, L"Update ready: 1.0.0.2",
         [&](ManifestFields& f, std::string& manifest, std::string&) {
             f.expires = "2027-04-01T00:00:00Z";
             manifest = m_key.Sign(ManifestBody(f));
         }},
        {"404", UpdateCheckResult::NoUpdate, L"no update (HTTP 404)",
         [](ManifestFields&, std::string& manifest, std::string&) { manifest.clear(); }},
        {"an empty body", UpdateCheckResult::NoUpdate, L"no update (empty answer)",
         [](ManifestFields&, std::string& manifest, std::string&) { manifest = "-"; }},
        {"unsigned", UpdateCheckResult::NoUpdate, L"no update (unsigned manifest)",
         [](ManifestFields& f, std::string& manifest, std::string&) { manifest = ManifestBody(f); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ManifestFields fields = m_fields;
        std::string manifest = m_key.Sign(ManifestBody(fields));
        std::string file = good;
        c.change(fields, manifest, file);
        Offer(manifest, file);
        if (manifest.empty())
            m_server.Add("/q", CannedResponse::Make("404 Not Found", "none"));
        if (manifest == "-")
            m_server.Add("/q", CannedResponse::Make("200 OK", ""));
        DeleteFileW(GetUpdateLogPath());

        EXPECT_EQ(RunUpdateCheck(m_setup), c.expected);
        if (c.expected == UpdateCheckResult::Ready) {
            EXPECT_EQ(FilesIn(m_dir.Sub(L"download")).size(), 2u);
            DeleteTree(m_dir.Sub(L"download").c_str());
        }
        EXPECT_TRUE(FilesIn(m_dir.Sub(L"download")).empty()) << NarrowText(FilesIn(m_dir.Sub(L"download"))[0]);
        const std::vector<std::wstring> log = LogMessages();
        ASSERT_FALSE(log.empty());
        EXPECT_NE(log.back().find(c.logged), std::wstring::npos) << NarrowText(log.back());
        if (c.expected == UpdateCheckResult::NoUpdate) {
            EXPECT_EQ(log.size(), 1u) << "a manifest that offers nothing is one line";
            const std::wstring keyNote = L" [key " + std::wstring(m_setup.strKeyId.begin(), m_setup.strKeyId.end()) + L"]";
            EXPECT_EQ(log.back().substr(log.back().size() - keyNote.size()), keyNote) << "the line names the key";
        }
    }
}

TEST_F(UpdateCheck, ABodyPastTheSizeIsCutEvenWithoutALength)
{
    ManifestFields fields = m_fields;
    fields.size = s_newBuild->size() - 1;
    fields.sha256 = Sha256Hex(s_newBuild->substr(0, fields.size));
    m_server.Add("/q", CannedResponse::Make("200 OK", m_key.Sign(ManifestBody(fields))));
    CannedResponse endless = CannedResponse::Make("200 OK", *s_newBuild, false);
    endless.chunked = true;
    endless.pieceBytes = 65536;
    m_server.Add("/new.exe", endless);
    EXPECT_EQ(RunUpdateCheck(m_setup), UpdateCheckResult::Refused);
    EXPECT_TRUE(FilesIn(m_dir.Sub(L"download")).empty());
}

TEST_F(UpdateCheck, ACutDownloadContinuesWithARangeAndIsThenReady)
{
    const std::string& file = *s_newBuild;
    const size_t half = file.size() / 2;
    m_server.Add("/q", CannedResponse::Make("200 OK", m_key.Sign(ManifestBody(m_fields))));
    CannedResponse cut = CannedResponse::Make("200 OK", file.substr(0, half), false);
    cut.head += "Content-Length: " + std::to_string(file.size()) + "\r\n";
    m_server.Add("/new.exe", cut);
    EXPECT_EQ(RunUpdateCheck(m_setup), UpdateCheckResult::Incomplete);
    EXPECT_EQ(GetFileAttributesW(Ready().c_str()), INVALID_FILE_ATTRIBUTES) << "a partial file is never ready";

    m_server.Add("/new.exe", CannedResponse::Partial(file.substr(half), half, file.size()));
    EXPECT_EQ(RunUpdateCheck(m_setup), UpdateCheckResult::Ready);
    EXPECT_NE(m_server.LastRequest().find("Range: bytes=" + std::to_string(half) + "-"), std::string::npos)
        << m_server.LastRequest();
    EXPECT_TRUE(ReadFileBytes(Ready()) == file) << "the continued file differs from the offered one";
    EXPECT_EQ(FilesIn(m_dir.Sub(L"download")).size(), 2u) << "the file and its manifest, no partial left";

    // Asked again, a whole download is not fetched again.
    const int nRequests = m_server.RequestCount();
    EXPECT_EQ(RunUpdateCheck(m_setup), UpdateCheckResult::Ready);
    EXPECT_EQ(m_server.RequestCount(), nRequests + 1) << "only the manifest was asked for";
}

TEST_F(UpdateCheck, AServerThatIgnoresTheRangeStartsTheFileOver)
{
    const std::string& file = *s_newBuild;
    m_server.Add("/q", CannedResponse::Make("200 OK", m_key.Sign(ManifestBody(m_fields))));
    CannedResponse cut = CannedResponse::Make("200 OK", file.substr(0, 1000), false);
    cut.head += "Content-Length: " + std::to_string(file.size()) + "\r\n";
    m_server.Add("/new.exe", cut);
    EXPECT_EQ(RunUpdateCheck(m_setup), UpdateCheckResult::Incomplete);
    m_server.Add("/new.exe", CannedResponse::Make("200 OK", file));
    EXPECT_EQ(RunUpdateCheck(m_setup), UpdateCheckResult::Ready);
    EXPECT_TRUE(ReadFileBytes(Ready()) == file);
}

// A ready update is checked again right before it is started: changed on the disk, it is deleted.
TEST_F(UpdateCheck, AReadyFileChangedOnTheDiskIsDeletedInsteadOfStarted)
{
    Offer(m_key.Sign(ManifestBody(m_fields)), *s_newBuild);
    ASSERT_EQ(RunUpdateCheck(m_setup), UpdateCheckResult::Ready);
    std::string changed = *s_newBuild;
    changed[changed.size() - 10] ^= 1;
    ASSERT_TRUE(WriteFileBytes(Ready(), changed));

    const std::wstring installed = m_dir.Sub(L"Torvel_Qerm.exe");
    ASSERT_TRUE(CopyFileW(ClientExePath(), installed.c_str(), FALSE));
    EXPECT_EQ(HandOverUpdate(m_setup, installed.c_str()), HandOverResult::Discarded);
    EXPECT_TRUE(FilesIn(m_dir.Sub(L"download")).empty());
    EXPECT_TRUE(ReadFileBytes(installed) == ReadFileBytes(std::wstring(ClientExePath())));
}

// The hand-over reads the stored manifest again and trusts nothing it wrote earlier: each of these
// stored manifests leaves the installed client as it was, deletes the update and its manifest, and
// says why.
TEST_F(UpdateCheck, TheHandOverRefusesAStoredManifestThatNoLongerHolds)
{
    CTestSigningKey other;
    const std::wstring installed = m_dir.Sub(L"Torvel_Qerm.exe");
    ASSERT_TRUE(CopyFileW(ClientExePath(), installed.c_str(), FALSE));
    struct Case
    {
        const char* name;
        const wchar_t* logged;
        std::function<std::string(ManifestFields&)> manifest;
        std::int64_t nLaterSeconds;     // the player's clock at the hand-over, after the download
    };
    const Case cases[] = {
        {"a changed byte of the signed text", L"its manifest is missing or not signed by this client's key",
         [&](ManifestFields& f) {
             std::string text = m_key.Sign(ManifestBody(f));
             text[text.find("/new.exe") + 1] = 'N';   // still a well-formed manifest
             return text;
         }, 0},
        {"signed by another key", L"its manifest is missing or not signed by this client's key",
         [&](ManifestFields& f) { return other.Sign(ManifestBody(f)); }, 0},
        {"another version than the file's", L"the file's version differs from its manifest",
         [&](ManifestFields& f) {
             f.version = "1.0.0.3";
             return m_key.Sign(ManifestBody(f));
         }, 0},
        {"another digest than the file's", L"the file no longer matches its manifest",
         [&](ManifestFields& f) {
             f.sha256 = Sha256Hex("another file");
             return m_key.Sign(ManifestBody(f));
         }, 0},
        {"expired while the update waited", L"manifest expired",
         [&](ManifestFields& f) { return m_key.Sign(ManifestBody(f)); }, 31 * 24 * 3600},
        {"for another product", L"manifest for tarnube/qelp, not tarnube/pelq",
         [&](ManifestFields& f) {
             f.product = "tarnube/qelp";
             return m_key.Sign(ManifestBody(f));
         }, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteTree(m_dir.Sub(L"download").c_str());
        Offer(m_key.Sign(ManifestBody(m_fields)), *s_newBuild);
        ASSERT_EQ(RunUpdateCheck(m_setup), UpdateCheckResult::Ready);
        ManifestFields fields = m_fields;
        ASSERT_TRUE(WriteFileBytes(m_dir.Sub(L"download\\update.manifest"), c.manifest(fields)));
        DeleteFileW(GetUpdateLogPath());

        UpdateSetup later = m_setup;
        later.nNowUnix += c.nLaterSeconds;
        EXPECT_EQ(HandOverUpdate(later, installed.c_str()), HandOverResult::Discarded);
        EXPECT_TRUE(FilesIn(m_dir.Sub(L"download")).empty()) << "the update and its manifest are deleted";
        EXPECT_TRUE(ReadFileBytes(installed) == ReadFileBytes(std::wstring(ClientExePath()))) << "nothing was started";
        const std::vector<std::wstring> log = LogMessages();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_NE(log[0].find(L"refused at start: "), std::wstring::npos) << NarrowText(log[0]);
        EXPECT_NE(log[0].find(c.logged), std::wstring::npos) << NarrowText(log[0]);
    }
}

// A download folder that leads elsewhere could be pointed at another file between the check and the
// start: it is refused, and only the link goes, not what it leads to.
TEST_F(UpdateCheck, TheHandOverRefusesADownloadFolderThatIsALink)
{
    const std::wstring installed = m_dir.Sub(L"Torvel_Qerm.exe");
    ASSERT_TRUE(CopyFileW(ClientExePath(), installed.c_str(), FALSE));
    Offer(m_key.Sign(ManifestBody(m_fields)), *s_newBuild);
    ASSERT_EQ(RunUpdateCheck(m_setup), UpdateCheckResult::Ready);
    const std::wstring elsewhere = m_dir.Sub(L"elsewhere");
    ASSERT_TRUE(MoveFileW(m_setup.strDownloadDir, elsewhere.c_str()));
    if (!MakeFolderLink(elsewhere.c_str(), m_setup.strDownloadDir))
        GTEST_SKIP() << "no folder link could be made here";
    DeleteFileW(GetUpdateLogPath());

    EXPECT_EQ(HandOverUpdate(m_setup, installed.c_str()), HandOverResult::Discarded);
    EXPECT_EQ(FilesIn(elsewhere.c_str()).size(), 2u) << "what the link leads to was deleted";
    EXPECT_TRUE(ReadFileBytes(installed) == ReadFileBytes(std::wstring(ClientExePath()))) << "the update was started";
    const std::vector<std::wstring> log = LogMessages();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find(L"refused at start: its folder is a link to another place"), std::wstring::npos)
        << NarrowText(log[0]);
}

// Two installations whose kept numbers lie on either side of the manifest's rollout: the one below
// takes the update, the other is told it is not its turn. The number is what the installation keeps
// in its registry profile, set here as an operator could.
TEST_F(UpdateCheck, ARolloutReachesOnlyTheInstallationsBelowItsShare)
{
    const CString strKey = GetProfileRootKey();
    const long long nSaved = ReadDword(HKEY_CURRENT_USER, strKey, kRolloutValueName);
    auto keep = [&](DWORD dwValue) {
        UniqueRegKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, strKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key.get(), kRolloutValueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                                 sizeof dwValue), ERROR_SUCCESS);
    };
    ManifestFields fields = m_fields;
    fields.rollout = 20;
    Offer(m_key.Sign(ManifestBody(fields)), *s_newBuild);

    keep(20);
    m_setup.nRolloutNumber = InstallationRolloutNumber(strKey);
    EXPECT_EQ(m_setup.nRolloutNumber, 20);
    EXPECT_EQ(RunUpdateCheck(m_setup), UpdateCheckResult::NoUpdate);
    const std::wstring keyNote = L" [key " + std::wstring(m_setup.strKeyId.begin(), m_setup.strKeyId.end()) + L"]";
    EXPECT_EQ(LogMessages().back(), L"Update check: 1.0.0.2 not offered to this installation yet (rollout 20 %)" + keyNote);
    EXPECT_TRUE(FilesIn(m_dir.Sub(L"download")).empty());

    keep(19);
    m_setup.nRolloutNumber = InstallationRolloutNumber(strKey);
    EXPECT_EQ(RunUpdateCheck(m_setup), UpdateCheckResult::Ready);

    // A number out of range, or none, is drawn again and kept; the next start reads the same one.
    for (DWORD dwStored : {DWORD(100), DWORD(0xFFFFFFFF)}) {
        keep(dwStored);
        const int nDrawn = InstallationRolloutNumber(strKey);
        EXPECT_GE(nDrawn, 0);
        EXPECT_LT(nDrawn, 100);
        EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, strKey, kRolloutValueName), nDrawn);
        EXPECT_EQ(InstallationRolloutNumber(strKey), nDrawn);
    }
    if (nSaved >= 0)
        keep(DWORD(nSaved));
    else
        SHDeleteValueW(HKEY_CURRENT_USER, strKey, kRolloutValueName);
}

}  // namespace
