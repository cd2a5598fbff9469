// Entry names: strict UTF-8, the stripping of drives, leading separators and parent steps, and the
// check that decides whether a name may become a path.
#include "start/zip/ZipName.h"

#include <gtest/gtest.h>

TEST(ZipName, SanitisingStripsDrivesSeparatorsAndParentSteps)
{
    struct Case
    {
        const char16_t* pIn;
        const char16_t* pOut;
    } cases[] = {
        {u"plain.txt", u"plain.txt"},
        {u"dir/sub/file.txt", u"dir/sub/file.txt"},
        {u"C:\\dir\\..\\file.txt", u"file.txt"},
        {u"/etc/passwd", u"etc/passwd"},
        {u"\\\\server\\share\\x.txt", u"server\\share\\x.txt"},
        {u"a/../b/../c.txt", u"c.txt"},
        {u"a\\../b", u"b"},
        {u"a/..\\b", u"b"},
        {u"C:D:/x", u"x"},
        {u"../up.txt", u"../up.txt"},     // no separator in front: left for the path check
        {u"", u""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SanitiseZipName(c.pIn), std::u16string(c.pOut));
}

TEST(ZipName, DecodesUtf8Strictly)
{
    std::u16string out;
    const uint8_t chinese[] = {0xE8, 0xAE, 0xBE, 0xE7, 0xBD, 0xAE};   // 设置
    ASSERT_TRUE(DecodeZipNameUtf8(chinese, sizeof chinese, out));
    EXPECT_EQ(out, u"\u8BBE\u7F6E");
    const uint8_t emoji[] = {0xF0, 0x9F, 0x98, 0x80};
    ASSERT_TRUE(DecodeZipNameUtf8(emoji, sizeof emoji, out));
    EXPECT_EQ(out, std::u16string(u"\xD83D\xDE00"));
    const uint8_t bad[][4] = {
        {0xC0, 0x80, 0, 0},      // overlong zero
        {0xE0, 0x80, 0xAF, 0},   // overlong slash
        {0xED, 0xB0, 0x80, 0},   // lone surrogate
        {0xF4, 0x90, 0x80, 0x80},// past U+10FFFF
        {0xFF, 0x41, 0, 0},
    };
    const size_t lengths[] = {2, 3, 3, 4, 2};
    for (size_t i = 0; i < 5; ++i)
        EXPECT_FALSE(DecodeZipNameUtf8(bad[i], lengths[i], out)) << i;
    const uint8_t truncated[] = {'a', 0xE8, 0xAE};
    EXPECT_FALSE(DecodeZipNameUtf8(truncated, sizeof truncated, out));
}

TEST(ZipName, PathCheckRefusesEscapesDevicesAndReservedCharacters)
{
    struct Case
    {
        const char16_t* pName;
        bool bUsable;
        bool bAbsolute;
    } cases[] = {
        {u"systemset.ini", true, false},
        {u"a/b/c.txt", true, false},
        {u"dir/", true, false},
        {u"\u8BBE\u7F6E.ini", true, false},
        {u"name.with.dots.txt.", true, false},
        {u"../up.txt", false, false},
        {u"a/../b", false, false},
        {u"./here", false, false},
        {u"a/.../b", false, false},
        {u"a/. ./b", false, false},
        {u"a/ /b", false, false},
        {u"x:y.txt", false, false},
        {u"stream.txt:ads", false, false},
        {u"tab\there", false, false},
        {u"star*.txt", false, false},
        {u"q?.txt", false, false},
        {u"p|ipe", false, false},
        {u"<a>", false, false},
        {u"quote\".txt", false, false},
        {u"CON", false, false},
        {u"dir/nul.txt", false, false},
        {u"Com1", false, false},
        {u"lpt9.log", false, false},
        {u"aux .txt", false, false},
        {u"conin$", false, false},
        {u"console.txt", true, false},
        {u"com10", true, false},
        {u"C:\\out\\file.txt", true, true},
        {u"\\out\\file.txt", true, true},
        {u"1:\\file.txt", false, false},
        {u"C:\\out\\..\\file.txt", false, true},
    };
    for (const Case& c : cases) {
        bool bAbsolute = !c.bAbsolute;
        EXPECT_EQ(IsUsableZipPath(c.pName, bAbsolute), c.bUsable)
            << std::string(c.pName, c.pName + std::char_traits<char16_t>::length(c.pName));
        if (c.bUsable) {
            EXPECT_EQ(bAbsolute, c.bAbsolute);
        }
    }
}
