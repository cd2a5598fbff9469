#include "start/InstallNames.h"
#include "app/Paths.h"
#include "res/resource.h"

CString GetDesktopLinkName()
{
    CString strName;
    strName.Format(L"%s《%s》%s.lnk", static_cast<LPCWSTR>(LoadResString(IDS_PLATFORM_PUBLISHER)),
                   static_cast<LPCWSTR>(LoadResString(IDS_GAME_TITLE)),
                   static_cast<LPCWSTR>(LoadResString(IDS_LINK_SUFFIX)));
    return strName;
}

CString GetGameLinkName()
{
    CString strName;
    strName.Format(L"《%s》%s.lnk", static_cast<LPCWSTR>(LoadResString(IDS_GAME_TITLE)),
                   static_cast<LPCWSTR>(LoadResString(IDS_LINK_SUFFIX)));
    return strName;
}

CString GetUninstallLinkName()
{
    return LoadResString(IDS_UNINSTALL_LINK) + L".lnk";
}

CString GetStartMenuBrandDir()
{
    const CString strPrograms = GetProgramsDir();
    return strPrograms.IsEmpty() ? strPrograms : strPrograms + L"\\" + LoadResString(IDS_PLATFORM_FOLDER);
}

CString GetStartMenuGameDir()
{
    const CString strBrand = GetStartMenuBrandDir();
    return strBrand.IsEmpty() ? strBrand : strBrand + L"\\" + LoadResString(IDS_GAME_TITLE);
}

bool HaveInstallNames()
{
    for (UINT nID : {IDS_PLATFORM_CODE, IDS_GAME_CODE, IDS_PLATFORM_FOLDER, IDS_GAME_TITLE, IDS_UNINSTALL_KEY}) {
        if (LoadResString(nID).IsEmpty())
            return false;
    }
    return true;
}

CString GetProfileRootKey()
{
    return L"Software\\" + LoadResString(IDS_PLATFORM_CODE) + LoadResString(IDS_GAME_CODE);
}
