#include "start/Shortcut.h"

#include "app/Paths.h"
#include "framework/Handles.h"

#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <cstring>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

// True when the file at strPath holds exactly the bytes the link would be saved as. The link file is
// the link's stream written out, so an equal file is what a save would leave; saving it again only
// costs time (Wine, for one, hands every saved link to its menu builder and waits for it).
bool LinkFileIsCurrent(IShellLinkW* pLink, const CString& strPath)
{
    ComPtr<IPersistStream> stream;
    ComPtr<IStream> memory;
    if (FAILED(pLink->QueryInterface(IID_PPV_ARGS(&stream))) ||
        FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &memory)) || FAILED(stream->Save(memory.Get(), FALSE)))
        return false;
    HGLOBAL hMemory = nullptr;
    STATSTG stat{};
    if (FAILED(GetHGlobalFromStream(memory.Get(), &hMemory)) || FAILED(memory->Stat(&stat, STATFLAG_NONAME)))
        return false;
    UniqueFile file(CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size) || ULONGLONG(size.QuadPart) != stat.cbSize.QuadPart ||
        size.QuadPart > 0x100000)
        return false;
    std::vector<BYTE> bytes(size_t(size.QuadPart));
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), DWORD(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        return false;
    const void* pSaved = GlobalLock(hMemory);
    const bool bEqual = pSaved && std::memcmp(pSaved, bytes.data(), bytes.size()) == 0;
    GlobalUnlock(hMemory);
    return bEqual;
}

}  // namespace

bool CreateShortcut(const CString& strArguments, const CString& strTarget, const CString& strFolder,
                    const CString& strName, bool bUninstallIcon)
{
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&link))))
        return false;
    ComPtr<IPersistFile> file;
    if (FAILED(link.As(&file)))
        return false;

    const CString strPath = strTarget.IsEmpty() ? GetModulePath() : strTarget;
    link->SetPath(strPath);
    link->SetArguments(strArguments);
    link->SetDescription(L"");
    if (bUninstallIcon) {
        const int slash = strPath.ReverseFind(L'\\');
        link->SetIconLocation(strPath.Left(slash < 0 ? 0 : slash) + L"\\res\\uninstall.ico", 0);
    }
    link->SetShowCmd(SW_SHOWNORMAL);

    CString strLinkPath;
    if (!strName.IsEmpty()) {
        strLinkPath = strFolder + L"\\" + strName;
    } else {
        const int slash = strPath.ReverseFind(L'\\');
        if (slash < 0)
            return false;
        strLinkPath = strFolder + strPath.Mid(slash);
        if (strLinkPath.GetLength() >= 3)
            strLinkPath = strLinkPath.Left(strLinkPath.GetLength() - 3) + L"lnk";
    }
    if (LinkFileIsCurrent(link.Get(), strLinkPath))
        return true;
    return SUCCEEDED(file->Save(strLinkPath, TRUE));
}
