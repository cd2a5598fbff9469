// The update log as tests read it: UTF-16 LE lines ended by CRLF, each
// "2027- 3- 7  8: 9: 5 : \tUpdateModule\t<message>".
#pragma once
#include <string>
#include <vector>

#include "support/FilesAndKeys.h"

// Every line of the log, without its line end; none when the log is missing.
inline std::vector<std::wstring> ReadUpdateLogLines(const CString& strLog)
{
    const std::string bytes = ReadFileBytes(strLog);
    const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    std::vector<std::wstring> lines;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find(L"\r\n", pos);
        if (end == std::wstring::npos)
            end = text.size();
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

// What follows the tag of each line.
inline std::vector<std::wstring> UpdateLogMessages(const CString& strLog)
{
    std::vector<std::wstring> messages;
    for (const std::wstring& line : ReadUpdateLogLines(strLog)) {
        const size_t tag = line.find(L"UpdateModule\t");
        messages.push_back(tag == std::wstring::npos ? line : line.substr(tag + 13));
    }
    return messages;
}
