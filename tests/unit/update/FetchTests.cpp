// The update's downloads against a loopback server: the answers to a continued download that keep,
// drop or refuse the partial file, the manifest's size cap, and the deadline of a dripping server
// (with a deadline of seconds; the product's is a minute's window and 20 minutes in all).
#include <gtest/gtest.h>

#include <string>

#include "app/update/UpdateFetch.h"
#include "app/update/UpdateManifest.h"
#include "support/FilesAndKeys.h"
#include "support/LoopbackHttpServer.h"
#include "unit/updatelog/ScratchFolder.h"

namespace {

std::string Body(size_t nBytes)
{
    std::string body(nBytes, '\0');
    for (size_t i = 0; i < nBytes; ++i)
        body[i] = char('a' + i % 23);
    return body;
}

CannedResponse Partial(const std::string& body, size_t nFrom, size_t nTotal)
{
    return CannedResponse::Partial(body, nFrom, nTotal);
}

class Fetch : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.IsListening());
        m_job.strUrl = m_server.Url("/file").c_str();
        m_job.strPartPath = m_dir.Sub(L"file.part").c_str();
        m_job.strUserAgent = L"FetchTests";
        m_job.nExpectedBytes = m_file.size();
    }

    std::string Part() const { return ReadFileBytes(std::wstring(m_job.strPartPath)); }

    const std::string m_file = Body(100000);
    CScratchFolder m_dir{L"fetch"};
    CLoopbackHttpServer m_server;
    DownloadJob m_job;
};

TEST_F(Fetch, AnswersToAContinuedDownloadKeepDropOrTakeThePartialFile)
{
    const size_t kHave = 40000;
    struct Case
    {
        const char* name;
        CannedResponse answer;
        DownloadResult expected;
        std::string partAfter;
    };
    const Case cases[] = {
        {"the matching 206", Partial(m_file.substr(kHave), kHave, m_file.size()), DownloadResult::Complete, m_file},
        {"a 206 that starts elsewhere", Partial(m_file.substr(kHave - 1000), kHave - 1000, m_file.size()),
         DownloadResult::Mismatch, ""},
        {"416", CannedResponse::Make("416 Range Not Satisfiable", ""), DownloadResult::Mismatch, ""},
        {"503 while the server is busy", CannedResponse::Make("503 Service Unavailable", "later"), DownloadResult::Failed,
         m_file.substr(0, kHave)},
        {"404 while the file is replaced", CannedResponse::Make("404 Not Found", "gone"), DownloadResult::Failed,
         m_file.substr(0, kHave)},
        {"the whole file instead", CannedResponse::Make("200 OK", m_file), DownloadResult::Complete, m_file},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteFileBytes(std::wstring(m_job.strPartPath), m_file.substr(0, kHave)));
        m_server.Add("/file", c.answer);
        const DownloadOutcome outcome = DownloadToFile(m_job);
        EXPECT_EQ(outcome.result, c.expected);
        EXPECT_NE(m_server.LastRequest().find("Range: bytes=40000-"), std::string::npos) << m_server.LastRequest();
        EXPECT_TRUE(Part() == c.partAfter) << Part().size() << " bytes in the partial file";
        EXPECT_EQ(outcome.nHaveBytes, c.partAfter.size());
    }
}

TEST_F(Fetch, A206ToARequestWithoutARangeIsRefused)
{
    DeleteFileW(m_job.strPartPath);
    m_server.Add("/file", Partial(m_file.substr(0, 50000), 0, m_file.size()));
    EXPECT_EQ(DownloadToFile(m_job).result, DownloadResult::Mismatch);
    EXPECT_EQ(m_server.LastRequest().find("Range:"), std::string::npos);
    EXPECT_TRUE(Part().empty());
}

TEST_F(Fetch, TheManifestIsReadUpToItsCapAndNoFurther)
{
    for (bool bChunked : {false, true}) {
        SCOPED_TRACE(bChunked ? "chunked, without a length" : "with a length");
        for (size_t nBytes : {kManifestByteLimit, kManifestByteLimit + 1}) {
            CannedResponse answer = CannedResponse::Make("200 OK", Body(nBytes), !bChunked);
            answer.chunked = bChunked;
            answer.pieceBytes = 4000;
            m_server.Add("/manifest", answer);
            DWORD dwStatus = 0;
            std::string body;
            const bool bRead = FetchBytes(m_server.Url("/manifest").c_str(), L"FetchTests", kManifestByteLimit, &dwStatus, &body);
            EXPECT_EQ(bRead, nBytes <= kManifestByteLimit) << nBytes;
            EXPECT_EQ(dwStatus, 200u);
            EXPECT_LE(body.size(), kManifestByteLimit);
        }
    }
}

// A byte now and then keeps every receive within its time-out: only the download's own deadline
// ends it, and what came stays for the next start.
TEST_F(Fetch, ADrippingServerMeetsTheDeadlineAndThePartialFileStays)
{
    struct Case
    {
        const char* name;
        DownloadDeadline deadline;
    };
    const Case cases[] = {
        {"too few bytes in a window", {1500, 4096, 60000}},
        {"too long in all", {60000, 0, 1500}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileW(m_job.strPartPath);
        CannedResponse drip = CannedResponse::Make("200 OK", m_file);
        drip.pieceBytes = 100;
        drip.pauseMs = 100;   // 1000 bytes a second: 100 seconds for the whole file
        m_server.Add("/file", drip);
        m_job.deadline = c.deadline;
        const DownloadOutcome outcome = DownloadToFile(m_job);
        EXPECT_EQ(outcome.result, DownloadResult::TooSlow);
        const std::string part = Part();
        EXPECT_GT(part.size(), 0u);
        EXPECT_LT(part.size(), m_file.size());
        EXPECT_EQ(part.size(), outcome.nHaveBytes);
        EXPECT_TRUE(part == m_file.substr(0, part.size())) << "the partial file is not the file's beginning";
    }
}

}  // namespace
