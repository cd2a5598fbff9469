// The key-name table and the parser of hotkey settings: names and codes, modifiers, what is ignored,
// and the plus keys that the separator character would otherwise hide.
#include <gtest/gtest.h>

#include "mainwnd/KeyNames.h"

#include <string>
#include <utility>
#include <vector>

namespace {

struct Parsed
{
    bool bFound;
    std::uint32_t modifiers;
    std::uint32_t key;
};

Parsed Parse(const std::wstring& text)
{
    static const KeyNameTable table = BuildKeyNameTable();
    Parsed result{false, 0xDEAD, 0xBEEF};
    result.bFound = ParseHotkeyText(table, text, result.modifiers, result.key);
    return result;
}

void ExpectParse(const std::wstring& text, bool bFound, std::uint32_t modifiers, std::uint32_t key)
{
    const Parsed parsed = Parse(text);
    EXPECT_EQ(parsed.bFound, bFound) << "text \"" << std::string(text.begin(), text.end()) << "\"";
    EXPECT_EQ(parsed.modifiers, modifiers) << "text \"" << std::string(text.begin(), text.end()) << "\"";
    EXPECT_EQ(parsed.key, key) << "text \"" << std::string(text.begin(), text.end()) << "\"";
}

}  // namespace

TEST(KeyNameTable, HoldsEightyEightNames)
{
    EXPECT_EQ(BuildKeyNameTable().size(), 88u);
}

TEST(KeyNameTable, DigitsLettersFunctionAndNumpadKeys)
{
    const KeyNameTable table = BuildKeyNameTable();
    const std::vector<std::pair<std::wstring, std::uint32_t>> expected = {
        {L"0", 0x30},    {L"5", 0x35},    {L"9", 0x39},    {L"A", 0x41},    {L"M", 0x4D},
        {L"Z", 0x5A},    {L"F1", 0x70},   {L"F5", 0x74},   {L"F10", 0x79},  {L"F11", 0x7A},
        {L"F12", 0x7B},  {L"Num0", 0x60}, {L"Num5", 0x65}, {L"Num9", 0x69},
    };
    for (const auto& [name, code] : expected) {
        auto found = table.find(name);
        ASSERT_NE(found, table.end()) << std::string(name.begin(), name.end());
        EXPECT_EQ(found->second, code) << std::string(name.begin(), name.end());
    }
}

TEST(KeyNameTable, SingleNames)
{
    const KeyNameTable table = BuildKeyNameTable();
    const std::vector<std::pair<std::wstring, std::uint32_t>> expected = {
        {L"Alt", 0x12},    {L"Ctrl", 0x11},     {L"Shift", 0x10}, {L"Space", 0x20}, {L"PageUp", 0x21},
        {L"PageDown", 0x22}, {L"End", 0x23},    {L"Home", 0x24},  {L"Left", 0x25},  {L"Up", 0x26},
        {L"Right", 0x27},  {L"Down", 0x28},     {L"Insert", 0x2D}, {L"Delete", 0x2E}, {L"Num*", 0x6A},
        {L"Num+", 0x6B},   {L"NumDel", 0x6E},   {L"Num-", 0x6D},  {L"Num/", 0x6F},  {L";", 0xBA},
        {L"+", 0xBB},      {L",", 0xBC},        {L"-", 0xBD},     {L".", 0xBE},     {L"/", 0xBF},
        {L"`", 0xC0},      {L"[", 0xDB},        {L"\\", 0xDC},    {L"]", 0xDD},     {L"'", 0xDE},
    };
    EXPECT_EQ(expected.size(), 30u);
    for (const auto& [name, code] : expected) {
        auto found = table.find(name);
        ASSERT_NE(found, table.end()) << std::string(name.begin(), name.end());
        EXPECT_EQ(found->second, code) << std::string(name.begin(), name.end());
    }
}

TEST(KeyNameTable, NamesAreCaseSensitiveAndBounded)
{
    const KeyNameTable table = BuildKeyNameTable();
    for (const wchar_t* absent : {L"a", L"z", L"f10", L"F0", L"F13", L"Num10", L"num1", L"ALT", L"ctrl",
                                  L"Esc", L"Tab", L"Enter", L"", L" ", L"Num", L"f", L"F 1"})
        EXPECT_EQ(table.count(absent), 0u) << "name of " << std::wstring(absent).size() << " characters, first " << int(absent[0]);
}

TEST(ParseHotkeyText, ModifiersAndKey)
{
    ExpectParse(L"Ctrl+Shift+A", true, 6, 0x41);
    ExpectParse(L"F10", true, 0, 0x79);
    ExpectParse(L"Alt+F11", true, 1, 0x7A);
    ExpectParse(L"Alt+Ctrl+Shift+Delete", true, 7, 0x2E);
    ExpectParse(L"Shift+Ctrl+Num7", true, 6, 0x67);
    ExpectParse(L"Ctrl+Shift+`", true, 6, 0xC0);
    ExpectParse(L"Alt+\\", true, 1, 0xDC);
    ExpectParse(L"Ctrl+-", true, 2, 0xBD);
    ExpectParse(L"Alt+Num-", true, 1, 0x6D);
}

TEST(ParseHotkeyText, RepeatedModifierCountsOnce)
{
    ExpectParse(L"Shift+Shift+X", true, 4, 0x58);
    ExpectParse(L"Ctrl+Alt+Ctrl+B", true, 3, 0x42);
}

TEST(ParseHotkeyText, ModifierNameAsTheLastPartIsTheKey)
{
    ExpectParse(L"Ctrl+Alt", true, 2, 0x12);
    ExpectParse(L"Shift", true, 0, 0x10);
    ExpectParse(L"Alt+Ctrl", true, 1, 0x11);
    ExpectParse(L"Ctrl+Shift", true, 2, 0x10);
}

TEST(ParseHotkeyText, UnknownPartsBeforeTheKeyAreIgnored)
{
    ExpectParse(L"Foo+Bar+B", true, 0, 0x42);
    ExpectParse(L"ctrl+A", true, 0, 0x41);
    ExpectParse(L"Win+Ctrl+C", true, 2, 0x43);
    ExpectParse(L"+A", true, 0, 0x41);
    ExpectParse(L"Ctrl++A", true, 2, 0x41);
}

TEST(ParseHotkeyText, NothingIsTrimmedOrFolded)
{
    ExpectParse(L"Ctrl + A", false, 0, 0);
    ExpectParse(L"Ctrl+ A", false, 2, 0);
    ExpectParse(L" F10", false, 0, 0);
    ExpectParse(L"Ctrl+a", false, 2, 0);
    ExpectParse(L"ctrl+shift+f10", false, 0, 0);
}

TEST(ParseHotkeyText, MissingKeyLeavesKeyZero)
{
    ExpectParse(L"", false, 0, 0);
    ExpectParse(L"Ctrl+", false, 2, 0);
    ExpectParse(L"Ctrl+Shift+", false, 6, 0);
    ExpectParse(L"F13", false, 0, 0);
    ExpectParse(L"Alt+Esc", false, 1, 0);
}

TEST(ParseHotkeyText, PlusKeysAreReachable)
{
    ExpectParse(L"+", true, 0, 0xBB);
    ExpectParse(L"Num+", true, 0, 0x6B);
    ExpectParse(L"Ctrl++", true, 2, 0xBB);
    ExpectParse(L"Ctrl+Shift++", true, 6, 0xBB);
    ExpectParse(L"Alt+Num+", true, 1, 0x6B);
    ExpectParse(L"Ctrl+Alt+Num+", true, 3, 0x6B);
    ExpectParse(L"++", true, 0, 0xBB);
    // "Num" is no modifier, so this is the main keyboard's plus after an ignored part.
    ExpectParse(L"Num++", true, 0, 0xBB);
    // Without a separator in front, "XNum+" is one unknown name.
    ExpectParse(L"CtrlNum+", false, 0, 0);
}

TEST(ParseHotkeyText, EveryNameParsesBehindModifiers)
{
    const KeyNameTable table = BuildKeyNameTable();
    int nChecked = 0;
    for (const auto& [name, code] : table) {
        std::uint32_t modifiers = 99, key = 99;
        EXPECT_TRUE(ParseHotkeyText(table, L"Ctrl+Shift+" + name, modifiers, key));
        EXPECT_EQ(modifiers, 6u) << std::string(name.begin(), name.end());
        EXPECT_EQ(key, code) << std::string(name.begin(), name.end());
        ++nChecked;
    }
    EXPECT_EQ(nChecked, 88);
}
