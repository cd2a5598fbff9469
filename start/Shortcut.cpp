#include "start/Shortcut.h"

#include "app/Paths.h"

#include <objbase.h>
#include <objidl.h>
#include <shlguid.h>
#include <shobjidl.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

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
    return SUCCEEDED(file->Save(strLinkPath, TRUE));
}
