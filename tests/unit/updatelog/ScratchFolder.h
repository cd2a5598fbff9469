// The scratch folder and whole-file helpers of the update, update-log, HTTP and cache tests, under
// the names those tests use.
#pragma once

#include <string>

#include "support/FilesAndKeys.h"
#include "support/ScratchFolder.h"

inline std::string ReadWholeFile(const std::wstring& path)
{
    return ReadFileBytes(path);
}

inline bool WriteWholeFile(const std::wstring& path, const std::string& data)
{
    return WriteFileBytes(path, data);
}

// The bytes of a UTF-16 LE text, as the log stores it.
inline std::string Utf16Bytes(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}
