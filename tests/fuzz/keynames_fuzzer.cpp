// libFuzzer target over the hotkey-setting parser (mainwnd/KeyNames.cpp). Properties checked on
// every input, beyond not crashing:
// - a failed lookup leaves the key 0, a found key is a whole part of the text, and only the three
//   modifier flags ever appear (none without a separator);
// - writing "Alt+", "Ctrl+" or "Shift+" in front adds exactly that flag and changes nothing else;
// - a setting formatted from a table name and a set of modifiers parses back to them.
#include "mainwnd/KeyNames.h"
#include "tests/fuzz/FuzzText.h"

#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace {

const KeyNameTable& Table()
{
    static const KeyNameTable table = BuildKeyNameTable();
    return table;
}

struct Parsed
{
    bool bFound;
    std::uint32_t modifiers;
    std::uint32_t key;
};

Parsed Parse(const std::wstring& text)
{
    Parsed parsed{};
    parsed.bFound = ParseHotkeyText(Table(), text, parsed.modifiers, parsed.key);
    return parsed;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (Table().size() != 88)
        Fail("table size", L"");
    const std::wstring text = FuzzText(data, size);
    const Parsed plain = Parse(text);
    if (!plain.bFound && plain.key != 0)
        Fail("a key without a name", text);
    if (plain.modifiers & ~(kHotKeyModAlt | kHotKeyModControl | kHotKeyModShift))
        Fail("unknown modifier flag", text);
    if (plain.bFound) {
        // The name found is a whole part: the text itself or what follows one of its separators.
        bool bWholePart = false;
        for (std::size_t k = 0; k < text.size() && !bWholePart; ++k) {
            if (k > 0 && text[k - 1] != L'+')
                continue;
            const auto entry = Table().find(text.substr(k));
            bWholePart = entry != Table().end() && entry->second == plain.key;
        }
        if (!bWholePart)
            Fail("a key that is no part of the text", text);
    }
    if (text.find(L'+') == std::wstring::npos && plain.modifiers != 0)
        Fail("modifiers without a separator", text);

    static const struct { const wchar_t* pszName; std::uint32_t flag; } kModifiers[] = {
        {L"Alt+", kHotKeyModAlt}, {L"Ctrl+", kHotKeyModControl}, {L"Shift+", kHotKeyModShift}};
    for (const auto& modifier : kModifiers) {
        const Parsed prefixed = Parse(modifier.pszName + text);
        if (prefixed.bFound != plain.bFound || prefixed.key != plain.key ||
            prefixed.modifiers != (plain.modifiers | modifier.flag))
            Fail("a modifier in front changed more than its flag", text);
    }

    // Formatting: the first byte picks the name, the second the modifiers and their order.
    if (size >= 2) {
        auto name = Table().begin();
        std::advance(name, data[0] % Table().size());
        const unsigned set = data[1] & 7u;
        const bool bReversed = data[1] & 8u;
        std::vector<const wchar_t*> parts;
        for (int i = 0; i < 3; ++i) {
            if (set & (1u << i))
                parts.push_back(kModifiers[i].pszName);
        }
        if (bReversed)
            parts = std::vector<const wchar_t*>(parts.rbegin(), parts.rend());
        std::wstring setting;
        std::uint32_t expected = 0;
        for (const wchar_t* part : parts)
            setting += part;
        for (int i = 0; i < 3; ++i) {
            if (set & (1u << i))
                expected |= kModifiers[i].flag;
        }
        setting += name->first;
        const Parsed formatted = Parse(setting);
        if (!formatted.bFound || formatted.key != name->second || formatted.modifiers != expected)
            Fail("a formatted setting did not parse back", setting);
    }
    return 0;
}
