// Entry names of the archive reader: UTF-8 in the archive, UTF-16 everywhere else. Free of Windows
// types like the rest of the core.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Strict decoding: refuses overlong forms, surrogates, values past U+10FFFF, truncated sequences
// and zero bytes.
bool DecodeZipNameUtf8(const uint8_t* pBytes, size_t nCount, std::u16string& out);
// Strips drive prefixes, leading separators and everything up to a parent step in the middle of
// the name, repeated until none applies.
std::u16string SanitiseZipName(std::u16string name);
// Whether a name may be used as the path of an output file or folder: no control characters, no
// wildcards or pipes, no ':' but the drive's, no component that is empty once trailing dots and
// spaces go ("." and ".." among them), no device names. bAbsolute tells the caller whether the name
// leaves the base folder out (it starts with a separator or a drive).
bool IsUsableZipPath(const std::u16string& name, bool& bAbsolute);
