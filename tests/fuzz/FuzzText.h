// Input bytes as UTF-16 text for the text fuzzers: each byte is one character, and 0xFF followed by
// two bytes is the character those two bytes make (little-endian), so that seeds stay readable while
// every code unit can still be reached.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

inline std::wstring FuzzText(const std::uint8_t* data, std::size_t size)
{
    std::wstring text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0xFF && i + 2 < size) {
            text += wchar_t(data[i + 1] | data[i + 2] << 8);
            i += 2;
        } else {
            text += wchar_t(data[i]);
        }
    }
    return text;
}
