// Cleaning of the real Internet cache: entries are deleted, cookies survive, entries of every size
// and count are reached, and the two query lines report what the cache held.
#include <gtest/gtest.h>

#include "CacheTestSupport.h"
#include "mainwnd/CacheCleaner.h"

#include <wininet.h>

#include <regex>

namespace {

const std::wstring kFirstNone = L"*******第一次查找缓存:未找到缓存。************\r\n";
const std::wstring kSecondNone = L"*******第二次查找缓存:未找到缓存。************\r\n";

bool IsSecondSizeLine(const std::wstring& line)
{
    static const std::wregex pattern(L"\\*{7}第二次查找缓存:缓存大小为:[1-9][0-9]*。\\*{12}\r\n");
    return std::regex_match(line, pattern);
}

}  // namespace

TEST(DeleteUrlCacheEntries, DeletesEntriesAndKeepsCookies)
{
    ASSERT_TRUE(AddCacheEntry(L"http://cache-test.invalid/game/main.swf"));
    ASSERT_TRUE(AddCacheEntry(L"http://cache-test.invalid/game/skin.png"));
    ASSERT_TRUE(AddCookieEntry(L"Cookie:tester@cache-test.invalid/"));
    ASSERT_TRUE(InternetSetCookieW(L"http://cache-test.invalid/", L"session",
                                   L"abc; expires=Sat, 01-Jan-2050 00:00:00 GMT"));

    CTraceCapture trace;
    EXPECT_TRUE(DeleteUrlCacheEntries());

    EXPECT_FALSE(IsInCache(L"http://cache-test.invalid/game/main.swf"));
    EXPECT_FALSE(IsInCache(L"http://cache-test.invalid/game/skin.png"));
    EXPECT_TRUE(IsInCache(L"Cookie:tester@cache-test.invalid/"));
    wchar_t szCookie[256] = {};
    DWORD nCookie = 256;
    EXPECT_TRUE(InternetGetCookieW(L"http://cache-test.invalid/", nullptr, szCookie, &nCookie));
    EXPECT_STREQ(szCookie, L"session=abc");

    const std::vector<std::wstring> lines = trace.Lines();
    ASSERT_EQ(lines.size(), 2u);
    // Asked without a buffer, the cache returns no enumeration, only the size it needs.
    EXPECT_EQ(lines[0], kFirstNone);
    EXPECT_TRUE(IsSecondSizeLine(lines[1])) << std::string(lines[1].begin(), lines[1].end());
    for (const std::wstring& url : CacheUrls())
        EXPECT_EQ(url.rfind(L"Cookie:", 0), 0u);
    EmptyCache();
}

TEST(DeleteUrlCacheEntries, EmptyCacheReportsNothingFound)
{
    EmptyCache();
    ASSERT_TRUE(CacheUrls().empty());
    CTraceCapture trace;
    EXPECT_FALSE(DeleteUrlCacheEntries());
    EXPECT_EQ(trace.Lines(), (std::vector<std::wstring>{kFirstNone, kSecondNone}));
}

TEST(DeleteUrlCacheEntries, OnlyCookiesLeaveTheCookies)
{
    EmptyCache();
    ASSERT_TRUE(AddCookieEntry(L"Cookie:tester@only-cookies.invalid/"));
    EXPECT_TRUE(DeleteUrlCacheEntries());
    EXPECT_EQ(CacheUrls(), std::vector<std::wstring>{L"Cookie:tester@only-cookies.invalid/"});
    EmptyCache();
}

TEST(DeleteUrlCacheEntries, ReachesEveryEntryWhileDeleting)
{
    EmptyCache();
    for (int i = 0; i < 60; ++i)
        ASSERT_TRUE(AddCacheEntry(L"http://many.invalid/item" + std::to_wstring(i) + L".js"));
    ASSERT_EQ(CacheUrls().size(), 60u);
    EXPECT_TRUE(DeleteUrlCacheEntries());
    EXPECT_TRUE(CacheUrls().empty());
}

TEST(DeleteUrlCacheEntries, LargeEntriesAreReadWhole)
{
    EmptyCache();
    // Records far beyond the size of the first entry, first and later in the walk.
    const std::string headers = "HTTP/1.1 200 OK\r\nX-Padding: " + std::string(6000, 'p') + "\r\n\r\n";
    const std::wstring longUrl = L"http://large.invalid/" + std::wstring(1500, L'u') + L".png";
    ASSERT_TRUE(AddCacheEntry(L"http://large.invalid/small.png"));
    ASSERT_TRUE(AddCacheEntry(longUrl, headers));
    ASSERT_TRUE(AddCacheEntry(L"http://large.invalid/big-headers.png", headers));
    ASSERT_TRUE(AddCacheEntry(L"http://large.invalid/small2.png"));
    EXPECT_TRUE(DeleteUrlCacheEntries());
    EXPECT_TRUE(CacheUrls().empty());
    EXPECT_FALSE(IsInCache(longUrl));
}
