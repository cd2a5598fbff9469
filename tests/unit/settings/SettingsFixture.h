// Tests of the settings file work on the real data folder: they start and end with no settings
// file, icon or leftover archive in its "res" folder.
#pragma once

#include "app/Paths.h"

#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <string>
#include <vector>

class SettingsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_strDataDir = GetDataDir().str();
        ASSERT_FALSE(m_strDataDir.empty());
        SHCreateDirectoryExW(nullptr, m_strDataDir.c_str(), nullptr);
        Clean();
    }
    void TearDown() override { Clean(); }

    void Clean()
    {
        for (const wchar_t* name : {L"systemset.ini", L"uninstall.ico", L"data.zip"}) {
            SetFileAttributesW(ResPath(name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(ResPath(name).c_str());
        }
    }
    // The installation folder as the installer passes it: no trailing separator.
    std::wstring InstallDir() const { return m_strDataDir.substr(0, m_strDataDir.size() - 1); }
    std::wstring ResPath(const wchar_t* name) const { return m_strDataDir + L"res\\" + name; }
    bool Exists(const wchar_t* name) const
    {
        const DWORD attributes = GetFileAttributesW(ResPath(name).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    std::string FileText(const wchar_t* name) const
    {
        std::string text;
        HANDLE file = CreateFileW(ResPath(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return text;
        char piece[4096];
        DWORD got = 0;
        while (ReadFile(file, piece, sizeof piece, &got, nullptr) && got > 0)
            text.append(piece, got);
        CloseHandle(file);
        return text;
    }
    void WriteText(const wchar_t* name, const std::string& text) const
    {
        CreateDirectoryW((m_strDataDir + L"res").c_str(), nullptr);
        HANDLE file = CreateFileW(ResPath(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
        CloseHandle(file);
    }

    std::wstring m_strDataDir;
};
