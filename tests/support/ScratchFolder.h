// A private folder under the temporary folder for one test, removed with everything in it afterwards.
#pragma once
#include <windows.h>

#include <cwchar>
#include <string>

#include "support/FilesAndKeys.h"
#include "support/NoCopy.h"

class CScratchFolder : CNoCopy
{
public:
    // The folder's name carries the tag, this process and a count, so tests side by side never meet.
    explicit CScratchFolder(const wchar_t* pszTag)
    {
        static LONG s_nCounter = 0;
        wchar_t szName[96] = {};
        swprintf_s(szName, L"torvel_%ls_%lu_%ld", pszTag, GetCurrentProcessId(), InterlockedIncrement(&s_nCounter));
        m_path = TempPath(szName).str();
        DeleteTree(m_path);
        CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~CScratchFolder() { DeleteTree(m_path); }

    const std::wstring& Path() const { return m_path; }
    // Path of a child: Sub(L"res\\update.log").
    std::wstring Sub(const std::wstring& rel) const { return m_path + L"\\" + rel; }

private:
    std::wstring m_path;
};
