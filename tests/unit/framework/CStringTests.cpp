#include "framework/CString.h"
#include <gtest/gtest.h>

TEST(CString, FormatTakesWideStringsAndGrowsPastAnyFixedBuffer)
{
    CString s;
    s.Format(L"%s/%s%s", L"http://h", L"q?v=", L"1.0.0.1");
    EXPECT_STREQ(s, L"http://h/q?v=1.0.0.1");
    s.Format(L"%2d-%2d:%d", 3, 12, -7);
    EXPECT_STREQ(s, L" 3-12:-7");

    CString longPart(L'x', 5000);
    s.Format(L"[%s]", static_cast<const wchar_t*>(longPart));
    EXPECT_EQ(s.GetLength(), 5002);
    EXPECT_EQ(s[0], L'[');
    EXPECT_EQ(s[5001], L']');

    s.AppendFormat(L"%d", 42);
    EXPECT_EQ(s.Right(3), CString(L"]42"));
}

TEST(CString, SubstringsClampAtBothEnds)
{
    CString s(L"-frameWnd=12");
    EXPECT_EQ(s.Left(2), CString(L"-f"));
    EXPECT_EQ(s.Left(0), CString(L""));
    EXPECT_EQ(s.Left(-1), CString(L""));
    EXPECT_EQ(s.Left(100), s);
    EXPECT_EQ(s.Right(2), CString(L"12"));
    EXPECT_EQ(s.Right(100), s);
    EXPECT_EQ(s.Mid(10), CString(L"12"));
    EXPECT_EQ(s.Mid(12), CString(L""));
    EXPECT_EQ(s.Mid(50), CString(L""));
    EXPECT_EQ(s.Mid(-3, 2), CString(L"-f"));
    EXPECT_EQ(s.Mid(1, 5), CString(L"frame"));
    EXPECT_EQ(CString(L"").Left(2), CString(L""));
}

TEST(CString, FindAndCompare)
{
    CString s(L"a play_gamecode b play_gamecode");
    EXPECT_EQ(s.Find(L"play_gamecode"), 2);
    EXPECT_EQ(s.Find(L"play_gamecode", 3), 18);
    EXPECT_EQ(s.Find(L"PLAY_GAMECODE"), -1);
    EXPECT_EQ(s.Find(L'b'), 16);
    EXPECT_EQ(s.Find(L'z'), -1);
    EXPECT_EQ(s.Find(L"a", 99), -1);
    EXPECT_EQ(s.ReverseFind(L' '), 17);
    EXPECT_TRUE(CString(L"ABC").CompareNoCase(L"abc") == 0);
    EXPECT_FALSE(CString(L"ABC") == L"abc");
    EXPECT_TRUE(CString(L"abc") == L"abc");
    EXPECT_TRUE(CString(L"abc") != CString(L"abd"));
    EXPECT_TRUE(CString(L"abc") < CString(L"abd"));
    CString t(L"  x y \t");
    EXPECT_EQ(t.Trim(), CString(L"x y"));
    CString r(L"a\"b\"");
    EXPECT_EQ(r.Replace(L"\"", L"%22"), 2);
    EXPECT_EQ(r, CString(L"a%22b%22"));
}

TEST(CString, ValueSemantics)
{
    CString a(L"one");
    CString b = a;
    b += L"two";
    EXPECT_EQ(a, CString(L"one"));
    EXPECT_EQ(b, CString(L"onetwo"));
    CString c(static_cast<const wchar_t*>(nullptr));
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(CString(L"abc", 2), CString(L"ab"));
}

TEST(CString, BufferAccessStopsAtTheTerminator)
{
    CString s;
    wchar_t* p = s.GetBuffer(10);
    wcscpy(p, L"abc");
    s.ReleaseBuffer();
    EXPECT_EQ(s, CString(L"abc"));
    EXPECT_EQ(s.GetLength(), 3);
    p = s.GetBuffer(3);
    p[1] = L'X';
    s.ReleaseBuffer(2);
    EXPECT_EQ(s, CString(L"aX"));
}

TEST(CString, AnsiAndUtf8AtTheEdges)
{
    // The test environment runs with code page 936, as a player's machine does.
    CString chinese(L"《Vantor》微端");
    std::string ansi = chinese.ToAnsi();
    EXPECT_EQ(CString::FromAnsi(ansi.c_str()), chinese);
    std::string utf8 = chinese.ToUtf8();
    EXPECT_EQ(utf8, "\xE3\x80\x8AVantor\xE3\x80\x8B\xE5\xBE\xAE\xE7\xAB\xAF");
    EXPECT_EQ(CString::FromUtf8(utf8.c_str()), chinese);
    EXPECT_EQ(CString::FromUtf8("abcdef", 3), CString(L"abc"));
    EXPECT_TRUE(CString::FromAnsi(nullptr).IsEmpty());
    EXPECT_TRUE(CString().ToAnsi().empty());
}
