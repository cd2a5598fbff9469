#include "unit/zip/ScratchFolder.h"

#include "support/FilesAndKeys.h"

#include <algorithm>

namespace {

void Collect(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((root + relative + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(relative + name + L"\\");
            Collect(root, relative + name + L"\\", out);
        } else {
            out.push_back(relative + name);
        }
    } while (FindNextFileW(find, &data));
    FindClose(find);
}

}  // namespace

CScratchFolder::CScratchFolder()
{
    static LONG s_nCounter = 0;
    WCHAR temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    WCHAR name[64];
    swprintf_s(name, L"torvel-zip-%lu-%ld\\", GetCurrentProcessId(), InterlockedIncrement(&s_nCounter));
    m_strPath = std::wstring(temp) + name;
    RemoveTree(m_strPath);
    CreateDirectoryW(m_strPath.c_str(), nullptr);
}

CScratchFolder::~CScratchFolder()
{
    RemoveTree(m_strPath);
}

void RemoveTree(const std::wstring& path)
{
    DeleteTree(path.substr(0, path.find_last_not_of(L'\\') + 1));
}

std::vector<std::wstring> ListTree(const std::wstring& root)
{
    std::vector<std::wstring> out;
    std::wstring folder = root;
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    Collect(folder, L"", out);
    std::sort(out.begin(), out.end());
    return out;
}

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    uint8_t piece[65536];
    DWORD got = 0;
    while (ReadFile(file, piece, sizeof piece, &got, nullptr) && got > 0)
        bytes.insert(bytes.end(), piece, piece + got);
    CloseHandle(file);
    return true;
}

void WriteWholeFile(const std::wstring& path, const std::vector<uint8_t>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

FILETIME WriteTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastWriteTime;
}

SYSTEMTIME LocalWriteTime(const std::wstring& path)
{
    const FILETIME utc = WriteTime(path);
    FILETIME local = {};
    SYSTEMTIME st = {};
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &st);
    return st;
}
