// Single values of the settings file through the real private-profile functions, the integer
// reading of the unpack marker and the Base64 decoding of the account values.
#include "app/Paths.h"
#include "start/Settings.h"
#include "unit/settings/SettingsFixture.h"

#include <gtest/gtest.h>

#include <string>

TEST_F(SettingsTest, MissingFileGivesTheReadersDefaults)
{
    WCHAR value[MAX_PATH];
    GetSettingString(L"Setting", L"screentoggle", L"0", value);
    EXPECT_STREQ(value, L"0");
    GetSettingString(L"Setting", L"fullscreen", L"0", value);
    EXPECT_STREQ(value, L"0");
    GetSettingString(L"Start", L"firststart", L"0", value);
    EXPECT_STREQ(value, L"0");
    GetSettingString(L"Setting", L"start", L"-1", value);
    EXPECT_STREQ(value, L"-1");
    EXPECT_FALSE(Exists(L"systemset.ini"));
}

TEST_F(SettingsTest, ValuesAreWrittenAndReadBackThroughTheDoubleSlashPath)
{
    SetSettingString(L"Setting", L"screentoggle", L"Ctrl+F9");
    WCHAR value[MAX_PATH];
    GetSettingString(L"Setting", L"screentoggle", L"0", value);
    EXPECT_STREQ(value, L"Ctrl+F9");
    EXPECT_TRUE(Exists(L"systemset.ini"));
    EXPECT_EQ(std::wstring(GetSettingsFilePath()), GetDataDir() + L"res//systemset.ini");
}

TEST_F(SettingsTest, PageZoomIsAStepFromTheFileOr100AndWritesOnlyItsOwnKey)
{
    EXPECT_EQ(ReadPageZoomSetting(), 100) << "no file";
    const struct
    {
        const char* pszLine;
        int nExpected;
    } cases[] = {
        {"zoom=125", 125}, {"zoom=50", 50}, {"zoom = 300 ", 300}, {"zoom=", 100}, {"zoom=big", 100},
        {"zoom=130", 100}, {"zoom=-100", 100}, {"zoom=125%", 100}, {"fullscreen=F11", 100},
    };
    for (const auto& c : cases) {
        WriteText(L"systemset.ini", std::string("[Setting]\r\n") + c.pszLine + "\r\n");
        EXPECT_EQ(ReadPageZoomSetting(), c.nExpected) << c.pszLine;
    }

    WriteText(L"systemset.ini", "[Setting]\r\nscreentoggle=F10\r\nsoundoff=1\r\n");
    WritePageZoomSetting(175);
    EXPECT_EQ(ReadPageZoomSetting(), 175);
    WCHAR value[MAX_PATH];
    GetSettingString(L"Setting", L"screentoggle", L"", value);
    EXPECT_STREQ(value, L"F10");
    GetSettingString(L"Setting", L"soundoff", L"", value);
    EXPECT_STREQ(value, L"1");
    EXPECT_NE(FileText(L"systemset.ini").find("zoom=175"), std::string::npos);
}

TEST_F(SettingsTest, LongValueArrivesCutTo259Characters)
{
    const std::wstring longValue(300, L'q');
    SetSettingString(L"Info", L"code", longValue.c_str());
    WCHAR value[MAX_PATH];
    GetSettingString(L"Info", L"code", L"", value);
    EXPECT_EQ(std::wstring(value), std::wstring(259, L'q'));
}

TEST_F(SettingsTest, ChineseValuesRoundTripInTheAnsiCodePage)
{
    ASSERT_EQ(GetACP(), 936u) << "the tests run with the Chinese code page";
    SetSettingString(L"Info", L"code", L"\u8BBE\u7F6E\u8D26\u53F7");   // 设置账号
    WCHAR value[MAX_PATH];
    GetSettingString(L"Info", L"code", L"", value);
    EXPECT_STREQ(value, L"\u8BBE\u7F6E\u8D26\u53F7");
    const std::string bytes = FileText(L"systemset.ini");
    EXPECT_NE(bytes.find("code=\xC9\xE8\xD6\xC3\xD5\xCB\xBA\xC5"), std::string::npos) << bytes;
}

TEST(SettingsInteger, ReadsLeadingDigitsWithBlanksAndOneSign)
{
    EXPECT_EQ(ParseSettingInt(L"1001"), 1001);
    EXPECT_EQ(ParseSettingInt(L"1001abc"), 1001);
    EXPECT_EQ(ParseSettingInt(L"01001"), 1001);
    EXPECT_EQ(ParseSettingInt(L"  -12x"), -12);
    EXPECT_EQ(ParseSettingInt(L"+7"), 7);
    EXPECT_EQ(ParseSettingInt(L"-1"), -1);
    EXPECT_EQ(ParseSettingInt(L"abc"), 0);
    EXPECT_EQ(ParseSettingInt(L"--5"), 0);
    EXPECT_EQ(ParseSettingInt(L""), 0);
    EXPECT_EQ(ParseSettingInt(nullptr), 0);
    EXPECT_EQ(ParseSettingInt(L"99999999999999999999"), 2147483647);
    EXPECT_EQ(ParseSettingInt(L"-99999999999999999999"), -2147483647 - 1);
}

TEST(SettingsBase64, DecodesGroupsPartialGroupsAndSkipsOtherCharacters)
{
    EXPECT_EQ(std::wstring(DecodeBase64Text(L"QUJD")), L"ABC");
    EXPECT_EQ(std::wstring(DecodeBase64Text(L"QUI")), L"AB");
    EXPECT_EQ(std::wstring(DecodeBase64Text(L"QQ")), L"A");
    EXPECT_EQ(std::wstring(DecodeBase64Text(L"QUJDQ")), L"ABC");   // a single leftover gives nothing
    EXPECT_EQ(std::wstring(DecodeBase64Text(L"Q=U=J=D")), L"ABC");
    EXPECT_EQ(std::wstring(DecodeBase64Text(L"QUJD\r\nRA==")), L"ABCD");
    EXPECT_EQ(std::wstring(DecodeBase64Text(L"dXNlcjE+Pz8/")), L"user1>???");
    EXPECT_EQ(std::wstring(DecodeBase64Text(L"QQBC")), L"A");       // ends at the first zero byte
    EXPECT_EQ(std::wstring(DecodeBase64Text(L"")), L"");
    EXPECT_EQ(std::wstring(DecodeBase64Text(L"====")), L"");
    EXPECT_EQ(std::wstring(DecodeBase64Text(nullptr)), L"");
}

TEST(SettingsBase64, ChineseTextComesFromTheAnsiCodePage)
{
    ASSERT_EQ(GetACP(), 936u);
    EXPECT_EQ(std::wstring(DecodeBase64Text(L"suLK1A==")), L"\u6D4B\u8BD5");   // 测试
}

TEST(SettingsBase64, OutputStopsBeforeTheGroupThatReaches1024Bytes)
{
    std::wstring groups;
    for (int i = 0; i < 341; ++i)
        groups += L"QUJD";
    std::wstring expected;
    for (int i = 0; i < 341; ++i)
        expected += L"ABC";
    // 341 groups are 1,023 bytes; a further group of any size would reach 1,024.
    EXPECT_EQ(std::wstring(DecodeBase64Text(groups.c_str())), expected);
    EXPECT_EQ(std::wstring(DecodeBase64Text((groups + L"QUJD").c_str())), expected);
    EXPECT_EQ(std::wstring(DecodeBase64Text((groups + L"QQ").c_str())), expected);
    // 340 groups and a two-byte group end at 1,022 bytes and are kept.
    const std::wstring shorter = groups.substr(0, 340 * 4) + L"QUI";
    EXPECT_EQ(std::wstring(DecodeBase64Text(shorter.c_str())), expected.substr(0, 1020) + L"AB");
}
