// A private folder under %TEMP% for one test, removed with everything in it afterwards, and small
// whole-file helpers. Used by the update-log, HTTP and update-step tests.
#pragma once

#include <windows.h>

#include <string>

class CScratchFolder
{
public:
    explicit CScratchFolder(const wchar_t* pszTag)
    {
        static LONG s_nCounter = 0;
        wchar_t szTemp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, szTemp);
        wchar_t szName[96] = {};
        swprintf_s(szName, L"torvel_%ls_%lu_%ld", pszTag, GetCurrentProcessId(),
                   InterlockedIncrement(&s_nCounter));
        m_path = std::wstring(szTemp) + szName;
        RemoveTree(m_path);
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~CScratchFolder() { RemoveTree(m_path); }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    // Path of a child: Sub(L"res\\update.log").
    std::wstring Sub(const std::wstring& rel) const { return m_path + L"\\" + rel; }

    static void RemoveTree(const std::wstring& path)
    {
        WIN32_FIND_DATAW fd{};
        HANDLE hFind = FindFirstFileW((path + L"\\*").c_str(), &fd);
        if (hFind != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = fd.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring child = path + L"\\" + name;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child);
                else {
                    SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(child.c_str());
                }
            } while (FindNextFileW(hFind, &fd));
            FindClose(hFind);
        }
        RemoveDirectoryW(path.c_str());
    }

private:
    std::wstring m_path;
};

inline std::string ReadWholeFile(const std::wstring& path)
{
    std::string data;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return data;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got)
        data.append(buf, got);
    CloseHandle(h);
    return data;
}

inline bool WriteWholeFile(const std::wstring& path, const std::string& data)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    const BOOL ok = WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &put, nullptr);
    CloseHandle(h);
    return ok && put == data.size();
}

inline bool PathExists(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The bytes of a UTF-16 LE text, as the log stores it.
inline std::string Utf16Bytes(const std::wstring& text)
{
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}
