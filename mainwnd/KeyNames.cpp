#include "mainwnd/KeyNames.h"

namespace {

struct NamedKey
{
    const wchar_t* pszName;
    std::uint32_t code;
};

// Names whose codes are not their own character codes.
const NamedKey kSingleNames[] = {
    {L"Alt", 0x12},      {L"Ctrl", 0x11},     {L"Shift", 0x10},    {L"Space", 0x20},
    {L"PageUp", 0x21},   {L"PageDown", 0x22}, {L"End", 0x23},      {L"Home", 0x24},
    {L"Left", 0x25},     {L"Up", 0x26},       {L"Right", 0x27},    {L"Down", 0x28},
    {L"Insert", 0x2D},   {L"Delete", 0x2E},   {L"Num*", 0x6A},     {L"Num+", 0x6B},
    {L"NumDel", 0x6E},   {L"Num-", 0x6D},     {L"Num/", 0x6F},     {L";", 0xBA},
    {L"+", 0xBB},        {L",", 0xBC},        {L"-", 0xBD},        {L".", 0xBE},
    {L"/", 0xBF},        {L"`", 0xC0},        {L"[", 0xDB},        {L"\\", 0xDC},
    {L"]", 0xDD},        {L"'", 0xDE},
};

// "F" or "Num" followed by a number of one or two digits. Written out by hand: std::to_wstring
// would bring the C runtime's whole formatted printing into the executable for these few names.
std::wstring Numbered(const wchar_t* pszPrefix, int n)
{
    std::wstring name(pszPrefix);
    if (n >= 10)
        name += wchar_t(L'0' + n / 10);
    name += wchar_t(L'0' + n % 10);
    return name;
}

bool EndsWith(const std::wstring& text, const wchar_t* pszTail, size_t tailLength)
{
    return text.size() >= tailLength && text.compare(text.size() - tailLength, tailLength, pszTail) == 0;
}

// Where the key name starts. The plus keys are written with the separator character itself, so a
// "+" or "Num+" that stands alone or right after a separator is a name, not a separator.
size_t KeyNameStart(const std::wstring& text)
{
    const size_t n = text.size();
    if (EndsWith(text, L"Num+", 4) && (n == 4 || text[n - 5] == L'+'))
        return n - 4;
    if (n >= 1 && text[n - 1] == L'+' && (n == 1 || text[n - 2] == L'+'))
        return n - 1;
    const size_t lastPlus = text.rfind(L'+');
    return lastPlus == std::wstring::npos ? 0 : lastPlus + 1;
}

std::uint32_t ModifierFlag(const std::wstring& token)
{
    if (token == L"Alt")
        return kHotKeyModAlt;
    if (token == L"Ctrl")
        return kHotKeyModControl;
    if (token == L"Shift")
        return kHotKeyModShift;
    return 0;
}

}  // namespace

KeyNameTable BuildKeyNameTable()
{
    KeyNameTable table;
    for (wchar_t ch = L'0'; ch <= L'9'; ++ch)
        table[std::wstring(1, ch)] = std::uint32_t(ch);
    for (wchar_t ch = L'A'; ch <= L'Z'; ++ch)
        table[std::wstring(1, ch)] = std::uint32_t(ch);
    for (int i = 1; i <= 12; ++i)
        table[Numbered(L"F", i)] = std::uint32_t(0x70 + i - 1);
    for (int i = 0; i <= 9; ++i)
        table[Numbered(L"Num", i)] = std::uint32_t(0x60 + i);
    for (const NamedKey& named : kSingleNames)
        table[named.pszName] = named.code;
    return table;
}

bool ParseHotkeyText(const KeyNameTable& table, const std::wstring& text, std::uint32_t& modifiers,
                     std::uint32_t& key)
{
    modifiers = 0;
    key = 0;
    const size_t keyStart = KeyNameStart(text);
    // Every part that ends at a separator before the key name is a modifier candidate.
    size_t tokenStart = 0;
    for (size_t plus = text.find(L'+'); plus != std::wstring::npos && plus < keyStart;
         plus = text.find(L'+', plus + 1)) {
        modifiers |= ModifierFlag(text.substr(tokenStart, plus - tokenStart));
        tokenStart = plus + 1;
    }
    const auto found = table.find(text.substr(keyStart));
    if (found == table.end())
        return false;
    key = found->second;
    return true;
}
