#include "CacheFiller.h"
#include "framework/CString.h"
#include "framework/Handles.h"

#include <shlobj.h>

namespace {
constexpr int kFilesPerFolder = 100;
constexpr wchar_t kFolderPrefix[] = L"winctl-fill-";

CString CacheFolder()
{
    wchar_t sz[MAX_PATH] = L"";
    if (!::SHGetSpecialFolderPathW(nullptr, sz, CSIDL_INTERNET_CACHE, TRUE))
        return CString();
    return sz;
}
}  // namespace

bool CCacheFiller::Fill(int nFiles)
{
    const CString strRoot = CacheFolder();
    if (strRoot.IsEmpty())
        return false;
    static const char kContent[] = "/* cached script */\n";
    for (int i = 0; i < nFiles; ++i) {
        CString strFolder;
        strFolder.Format(L"%s\\%s%d", strRoot.GetString(), kFolderPrefix, i / kFilesPerFolder);
        if (i % kFilesPerFolder == 0)
            ::CreateDirectoryW(strFolder, nullptr);
        CString strFile;
        strFile.Format(L"%s\\f%d.js", strFolder.GetString(), i % kFilesPerFolder);
        UniqueFile file(::CreateFileW(strFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD nWritten = 0;
        if (!file || !::WriteFile(file.get(), kContent, sizeof kContent - 1, &nWritten, nullptr))
            return false;
    }
    return true;
}

bool CCacheFiller::AnyLeft()
{
    const CString strRoot = CacheFolder();
    if (strRoot.IsEmpty())
        return false;
    WIN32_FIND_DATAW found{};
    UniqueFindFile find(::FindFirstFileW(strRoot + L"\\" + kFolderPrefix + L"*", &found));
    return static_cast<bool>(find);
}
