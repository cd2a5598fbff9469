// libFuzzer target over the Base64 decoder of the stored account values (start/Base64Text.cpp).
// Properties checked on every input, beyond not crashing:
// - the output buffer is exactly as large as asked (ASan stops a write past it), the count leaves
//   room for the terminating zero and the zero is there;
// - the bytes equal a plain reference decoding cut at the last whole group that fits;
// - bytes encoded by a reference encoder decode back to themselves.
#include "start/Base64Text.h"
#include "tests/fuzz/FuzzText.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Whole groups of the reference decoding, each as the bytes it gives.
std::vector<std::string> ReferenceGroups(const std::string& text)
{
    std::vector<std::string> groups;
    std::string digits;
    for (unsigned char ch : text) {
        const char* at = ch ? strchr(kAlphabet, ch) : nullptr;
        if (at)
            digits += char(at - kAlphabet);
    }
    for (size_t i = 0; i < digits.size(); i += 4) {
        const size_t n = std::min<size_t>(4, digits.size() - i);
        if (n < 2)
            break;
        unsigned value = 0;
        for (size_t j = 0; j < 4; ++j)
            value = value << 6 | unsigned(j < n ? digits[i + j] : 0);
        std::string bytes;
        bytes += char(value >> 16);
        if (n > 2)
            bytes += char(value >> 8);
        if (n > 3)
            bytes += char(value);
        groups.push_back(bytes);
    }
    return groups;
}

std::string Encode(const std::uint8_t* data, size_t size)
{
    std::string text;
    for (size_t i = 0; i < size; i += 3) {
        const size_t n = std::min<size_t>(3, size - i);
        unsigned value = unsigned(data[i]) << 16 | unsigned(n > 1 ? data[i + 1] : 0) << 8 | unsigned(n > 2 ? data[i + 2] : 0);
        text += kAlphabet[value >> 18 & 63];
        text += kAlphabet[value >> 12 & 63];
        text += n > 1 ? kAlphabet[value >> 6 & 63] : '=';
        text += n > 2 ? kAlphabet[value & 63] : '=';
    }
    return text;
}

size_t Decode(const std::string& text, size_t nOutSize, std::string& bytes)
{
    // Exactly nOutSize bytes on the heap, so that one byte more is an ASan report.
    std::unique_ptr<unsigned char[]> out(nOutSize ? new unsigned char[nOutSize] : nullptr);
    if (nOutSize)
        memset(out.get(), 0xAA, nOutSize);
    const size_t written = DecodeBase64Bytes(text, out.get(), nOutSize);
    if (nOutSize == 0) {
        if (written != 0)
            Fail("bytes counted without a buffer");
        bytes.clear();
        return 0;
    }
    if (written >= nOutSize)
        Fail("no room left for the terminating zero");
    if (out[written] != 0)
        Fail("no terminating zero");
    bytes.assign(reinterpret_cast<const char*>(out.get()), written);
    return written;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the buffer: the product's 1,024 bytes, or a small one to reach the cut.
    const size_t nOutSize = data[0] == 0xFF ? 1024 : size_t(data[0] % 40);
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    std::string decoded;
    Decode(text, nOutSize, decoded);
    std::string expected;
    for (const std::string& group : ReferenceGroups(text)) {
        if (nOutSize == 0 || expected.size() + group.size() >= nOutSize)
            break;
        expected += group;
    }
    if (decoded != expected)
        Fail("differs from the reference decoding");

    const std::string encoded = Encode(data + 1, size - 1);
    std::string roundTrip;
    Decode(encoded, size + 1, roundTrip);
    if (roundTrip != text)
        Fail("encoded bytes did not decode back");
    return 0;
}
