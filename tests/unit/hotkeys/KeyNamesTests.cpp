// The key-name table and the parser of hotkey settings: names and codes, modifiers, what is ignored,
// and the plus keys that the separator character would otherwise hide.
#include <gtest/gtest.h>

#include "mainwnd/KeyNames.h"

#include <string>
#include <utility>
#include <vector>

namespace {

struct ParseCase
{
    const wchar_t* pszText;
    bool bFound;
    std::uint32_t modifiers;
    std::uint32_t key;
};

std::string Narrow(const std::wstring& text)
{
    return std::string(text.begin(), text.end());
}

// Each text parses to its result; the outputs start as values the parser never gives.
void ExpectParses(std::initializer_list<ParseCase> cases)
{
    static const KeyNameTable table = BuildKeyNameTable();
    for (const ParseCase& c : cases) {
        std::uint32_t modifiers = 0xDEAD, key = 0xBEEF;
        const bool bFound = ParseHotkeyText(table, c.pszText, modifiers, key);
        EXPECT_EQ(bFound, c.bFound) << "text \"" << Narrow(c.pszText) << "\"";
        EXPECT_EQ(modifiers, c.modifiers) << "text \"" << Narrow(c.pszText) << "\"";
        EXPECT_EQ(key, c.key) << "text \"" << Narrow(c.pszText) << "\"";
    }
}

// Each name is in the table with its code.
void ExpectNames(const std::vector<std::pair<std::wstring, std::uint32_t>>& expected)
{
    const KeyNameTable table = BuildKeyNameTable();
    for (const auto& [name, code] : expected) {
        auto found = table.find(name);
        ASSERT_NE(found, table.end()) << Narrow(name);
        EXPECT_EQ(found->second, code) << Narrow(name);
    }
}

}  // namespace

TEST(KeyNameTable, HoldsEightyEightNames)
{
    EXPECT_EQ(BuildKeyNameTable().size(), 88u);
}

TEST(KeyNameTable, DigitsLettersFunctionAndNumpadKeys)
{
    ExpectNames({
        {L"0", 0x30},    {L"5", 0x35},    {L"9", 0x39},    {L"A", 0x41},    {L"M", 0x4D},
        {L"Z", 0x5A},    {L"F1", 0x70},   {L"F5", 0x74},   {L"F10", 0x79},  {L"F11", 0x7A},
        {L"F12", 0x7B},  {L"Num0", 0x60}, {L"Num5", 0x65}, {L"Num9", 0x69},
    });
}

TEST(KeyNameTable, SingleNames)
{
    const std::vector<std::pair<std::wstring, std::uint32_t>> expected = {
        {L"Alt", 0x12},    {L"Ctrl", 0x11},     {L"Shift", 0x10}, {L"Space", 0x20}, {L"PageUp", 0x21},
        {L"PageDown", 0x22}, {L"End", 0x23},    {L"Home", 0x24},  {L"Left", 0x25},  {L"Up", 0x26},
        {L"Right", 0x27},  {L"Down", 0x28},     {L"Insert", 0x2D}, {L"Delete", 0x2E}, {L"Num*", 0x6A},
        {L"Num+", 0x6B},   {L"NumDel", 0x6E},   {L"Num-", 0x6D},  {L"Num/", 0x6F},  {L";", 0xBA},
        {L"+", 0xBB},      {L",", 0xBC},        {L"-", 0xBD},     {L".", 0xBE},     {L"/", 0xBF},
        {L"`", 0xC0},      {L"[", 0xDB},        {L"\\", 0xDC},    {L"]", 0xDD},     {L"'", 0xDE},
    };
    EXPECT_EQ(expected.size(), 30u);
    ExpectNames(expected);
}

TEST(KeyNameTable, NamesAreCaseSensitiveAndBounded)
{
    const KeyNameTable table = BuildKeyNameTable();
    for (const wchar_t* absent : {L"a", L"z", L"f10", L"F0", L"F13", L"Num10", L"num1", L"ALT", L"ctrl",
                                  L"Esc", L"Tab", L"Enter", L"", L" ", L"Num", L"f", L"F 1"})
        EXPECT_EQ(table.count(absent), 0u) << "name of " << std::wstring(absent).size() << " characters, first " << int(absent[0]);
}

// Every text with what the parser finds in it: found, modifiers (MOD_* bits), virtual key.
TEST(ParseHotkeyText, Texts)
{
    ExpectParses({
        // Modifiers and a key.
        {L"Ctrl+Shift+A", true, 6, 0x41},
        {L"F10", true, 0, 0x79},
        {L"Alt+F11", true, 1, 0x7A},
        {L"Alt+Ctrl+Shift+Delete", true, 7, 0x2E},
        {L"Shift+Ctrl+Num7", true, 6, 0x67},
        {L"Ctrl+Shift+`", true, 6, 0xC0},
        {L"Alt+\\", true, 1, 0xDC},
        {L"Ctrl+-", true, 2, 0xBD},
        {L"Alt+Num-", true, 1, 0x6D},

        // A repeated modifier counts once.
        {L"Shift+Shift+X", true, 4, 0x58},
        {L"Ctrl+Alt+Ctrl+B", true, 3, 0x42},

        // A modifier name as the last part is the key.
        {L"Ctrl+Alt", true, 2, 0x12},
        {L"Shift", true, 0, 0x10},
        {L"Alt+Ctrl", true, 1, 0x11},
        {L"Ctrl+Shift", true, 2, 0x10},

        // Unknown parts before the key are ignored.
        {L"Foo+Bar+B", true, 0, 0x42},
        {L"ctrl+A", true, 0, 0x41},
        {L"Win+Ctrl+C", true, 2, 0x43},
        {L"+A", true, 0, 0x41},
        {L"Ctrl++A", true, 2, 0x41},

        // Nothing is trimmed or folded to another case.
        {L"Ctrl + A", false, 0, 0},
        {L"Ctrl+ A", false, 2, 0},
        {L" F10", false, 0, 0},
        {L"Ctrl+a", false, 2, 0},
        {L"ctrl+shift+f10", false, 0, 0},

        // A missing or unknown key leaves the key 0 (and the modifiers read before it).
        {L"", false, 0, 0},
        {L"Ctrl+", false, 2, 0},
        {L"Ctrl+Shift+", false, 6, 0},
        {L"F13", false, 0, 0},
        {L"Alt+Esc", false, 1, 0},

        // The plus keys are reachable although "+" separates the parts.
        {L"+", true, 0, 0xBB},
        {L"Num+", true, 0, 0x6B},
        {L"Ctrl++", true, 2, 0xBB},
        {L"Ctrl+Shift++", true, 6, 0xBB},
        {L"Alt+Num+", true, 1, 0x6B},
        {L"Ctrl+Alt+Num+", true, 3, 0x6B},
        {L"++", true, 0, 0xBB},
        // "Num" is no modifier, so this is the main keyboard's plus after an ignored part.
        {L"Num++", true, 0, 0xBB},
        // Without a separator in front, "XNum+" is one unknown name.
        {L"CtrlNum+", false, 0, 0},
    });
}

TEST(ParseHotkeyText, EveryNameParsesBehindModifiers)
{
    const KeyNameTable table = BuildKeyNameTable();
    int nChecked = 0;
    for (const auto& [name, code] : table) {
        std::uint32_t modifiers = 99, key = 99;
        EXPECT_TRUE(ParseHotkeyText(table, L"Ctrl+Shift+" + name, modifiers, key));
        EXPECT_EQ(modifiers, 6u) << Narrow(name);
        EXPECT_EQ(key, code) << Narrow(name);
        ++nChecked;
    }
    EXPECT_EQ(nChecked, 88);
}
