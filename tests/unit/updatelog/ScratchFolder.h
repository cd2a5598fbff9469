// The scratch folder and whole-file helpers of the update, update-log, HTTP and cache tests.
#pragma once

#include <string>

#include "support/FilesAndKeys.h"
#include "support/ScratchFolder.h"

// The bytes of a UTF-16 LE text, as the log stores it.
inline std::string Utf16Bytes(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}
