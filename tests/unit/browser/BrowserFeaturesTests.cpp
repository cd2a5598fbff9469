// The per-program switches of the HTML engine are in the user's registry before the login browser's
// control exists: a diagnostics sink reads the registry at the moment the control is created.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include "browser/WebFormLogin.h"
#include "framework/CWinApp.h"
#include "framework/Handles.h"
#include "framework/Trace.h"
#include "support/FilesAndKeys.h"

namespace {

const wchar_t kEmulationKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
const wchar_t kGpuKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_GPU_RENDERING";

CString ThisExeName()
{
    return PathFindFileNameW(AfxGetModuleFileName());
}

struct AtCreation
{
    int nControls = 0;
    long long emulation = -1;
    long long gpu = -1;
};
AtCreation g_atCreation;

void ReadRegistryAtCreation(const wchar_t* pszLine)
{
    if (wcscmp(pszLine, L"WebBrowser control created") != 0 || g_atCreation.nControls++ > 0)
        return;
    const CString strName = ThisExeName();
    g_atCreation.emulation = ReadDword(HKEY_CURRENT_USER, kEmulationKey, strName);
    g_atCreation.gpu = ReadDword(HKEY_CURRENT_USER, kGpuKey, strName);
}

}  // namespace

TEST(ModernPageMode, SwitchesAreSetBeforeTheFirstLoginBrowserControlExists)
{
    const CString strName = ThisExeName();
    // One switch missing, the other holding something else: both must be right at creation.
    SHDeleteValueW(HKEY_CURRENT_USER, kEmulationKey, strName);
    ASSERT_TRUE(WriteDword(HKEY_CURRENT_USER, kGpuKey, strName, 0));

    const TraceSink previous = SetTraceSink(&ReadRegistryAtCreation);
    {
        WebFormLogin login;
    }
    SetTraceSink(previous);

    ASSERT_GE(g_atCreation.nControls, 1) << "no control was created";
    EXPECT_EQ(g_atCreation.emulation, 11001);
    EXPECT_EQ(g_atCreation.gpu, 1);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kEmulationKey, strName), 11001);
    EXPECT_EQ(ReadDword(HKEY_CURRENT_USER, kGpuKey, strName), 1);
}
