// Base64 decoding of the stored account values, without window code or Windows types, so that it is
// tested directly and fuzzed natively.
#pragma once

#include <cstddef>
#include <string>

// Decodes text (standard alphabet; characters outside it are skipped, so padding and line breaks
// are too) into out, which holds nOutSize bytes. Groups of 2, 3 or 4 characters give 1, 2 or 3
// bytes; a lone last character gives none. A group that would bring the output to nOutSize ends
// the decoding, so out always keeps room for a terminating zero, which is written after the bytes.
// Returns the number of bytes written before that zero; nothing is written when nOutSize is 0.
std::size_t DecodeBase64Bytes(const std::string& text, unsigned char* out, std::size_t nOutSize);
