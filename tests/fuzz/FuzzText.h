// What every fuzzer here shares: reporting a broken property, and input bytes read as UTF-16 text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// A property that does not hold: says which and for what input (its first 400 characters), then
// stops the run (libFuzzer then keeps the input as a crash).
[[noreturn]] inline void Fail(const char* what, const std::string& detail = std::string())
{
    std::fprintf(stderr, "fuzzer: %s: \"%.400s\"\n", what, detail.c_str());
    std::abort();
}

[[noreturn]] inline void Fail(const char* what, const std::wstring& text)
{
    std::fprintf(stderr, "fuzzer: %s: \"%.400ls\"\n", what, text.c_str());
    std::abort();
}

// Input bytes as UTF-16 text for the text fuzzers: each byte is one character, and 0xFF followed by
// two bytes is the character those two bytes make (little-endian), so that seeds stay readable while
// every code unit can still be reached.

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
