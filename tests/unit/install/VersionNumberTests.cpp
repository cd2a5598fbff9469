// Version numbers of FileVersion texts and their order.
#include "start/VersionNumber.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::uint32_t> PartsOf(const wchar_t* text)
{
    return CVersionNumber::Parse(text).Parts();
}

int CompareTexts(const wchar_t* a, const wchar_t* b)
{
    return CVersionNumber::Parse(a).Compare(CVersionNumber::Parse(b));
}

}  // namespace

TEST(VersionNumber, ParsesTheLeadingDottedDigits)
{
    EXPECT_EQ(PartsOf(L"1.0.0.1"), (std::vector<std::uint32_t>{1, 0, 0, 1}));
    EXPECT_EQ(PartsOf(L"1.0.0.10"), (std::vector<std::uint32_t>{1, 0, 0, 10}));
    EXPECT_EQ(PartsOf(L"2.5 (beta)"), (std::vector<std::uint32_t>{2, 5}));
    EXPECT_EQ(PartsOf(L"3.1."), (std::vector<std::uint32_t>{3, 1}));
    EXPECT_EQ(PartsOf(L"3..1"), (std::vector<std::uint32_t>{3}));
    EXPECT_EQ(PartsOf(L"007.2"), (std::vector<std::uint32_t>{7, 2}));
    EXPECT_EQ(PartsOf(L"99999999999.1"), (std::vector<std::uint32_t>{4294967295u, 1}));
}

TEST(VersionNumber, TextsWithoutLeadingDigitsAreUnknown)
{
    for (const wchar_t* text : {L"", L"None VerSion Supprot", L" 1.0", L"v1.0", L".1"}) {
        EXPECT_TRUE(CVersionNumber::Parse(text).Parts().empty()) << text;
        EXPECT_TRUE(CVersionNumber::Parse(text).IsZero()) << text;
    }
    EXPECT_TRUE(CVersionNumber::Parse(nullptr).IsZero());
    EXPECT_TRUE(CVersionNumber::Parse(L"0.0.0.0").IsZero());
    EXPECT_FALSE(CVersionNumber::Parse(L"0.0.0.1").IsZero());
}

TEST(VersionNumber, ComparesPartByPart)
{
    EXPECT_EQ(CompareTexts(L"1.0.1.0", L"1.0.0.10"), 1);
    EXPECT_EQ(CompareTexts(L"1.0.0.10", L"1.0.1.0"), -1);
    EXPECT_EQ(CompareTexts(L"2.0", L"1.0.0.1"), 1);
    EXPECT_EQ(CompareTexts(L"1.1", L"1.0.0.1"), 1);
    EXPECT_EQ(CompareTexts(L"1.0.0.1", L"1.0.0.2"), -1);
    EXPECT_EQ(CompareTexts(L"10", L"9.9.9.9"), 1);
    EXPECT_EQ(CompareTexts(L"1.2", L"1.2.0.0"), 0);
    EXPECT_EQ(CompareTexts(L"1.0.0.1", L"1.0.0.1"), 0);
    EXPECT_EQ(CompareTexts(L"", L"0.0.0.1"), -1);
    EXPECT_TRUE(CVersionNumber::Parse(L"1.0.0.1") == CVersionNumber::Parse(L"1.0.0.1.0"));
    EXPECT_TRUE(CVersionNumber::Parse(L"1.0.0.9") < CVersionNumber::Parse(L"1.0.0.10"));
}
