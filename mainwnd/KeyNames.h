// Key names of the hotkey settings ("Ctrl+Shift+A", "F10", "Num+") and their parsing into modifier
// flags and a virtual-key code. No window code and no Windows types, so the parser is tested and
// fuzzed on its own.
#pragma once

#include <cstdint>
#include <map>
#include <string>

// The modifier flags of RegisterHotKey.
constexpr std::uint32_t kHotKeyModAlt = 1;
constexpr std::uint32_t kHotKeyModControl = 2;
constexpr std::uint32_t kHotKeyModShift = 4;

// Key name (compared case-sensitively) to virtual-key code.
using KeyNameTable = std::map<std::wstring, std::uint32_t>;

// The 88 names a hotkey setting may end with.
KeyNameTable BuildKeyNameTable();

// Splits a setting such as "Ctrl+Shift+A" into modifiers and a key: every part before a "+"
// separator that reads "Alt", "Ctrl" or "Shift" adds its flag (other parts are ignored), and the
// last part is looked up in the table. A trailing "+" or "Num+" after a separator (or alone) is
// the key itself, so "Ctrl++" and "Alt+Num+" name the plus keys. Nothing is trimmed or folded:
// " A" and "ctrl" match nothing. Both outputs are 0 unless something matched; returns whether the
// key name was found.
bool ParseHotkeyText(const KeyNameTable& table, const std::wstring& text, std::uint32_t& modifiers,
                     std::uint32_t& key);
