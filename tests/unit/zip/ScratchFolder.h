// A fresh folder under the temporary folder for one test, removed with everything in it afterwards,
// and small file helpers for checking what an extraction left behind.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class CScratchFolder
{
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    // Full path, ending in a backslash.
    const std::wstring& Path() const { return m_strPath; }

private:
    std::wstring m_strPath;
};

void RemoveTree(const std::wstring& path);
// Every file and folder below root, relative, sorted; folders end in "\".
std::vector<std::wstring> ListTree(const std::wstring& root);
bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& bytes);
void WriteWholeFile(const std::wstring& path, const std::vector<uint8_t>& bytes);
// The file's last-write time as local time.
SYSTEMTIME LocalWriteTime(const std::wstring& path);
FILETIME WriteTime(const std::wstring& path);
