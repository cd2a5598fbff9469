// The per-program switches of the HTML engine are in the user's registry before the login browser's
// control exists: a diagnostics sink reads the registry at the moment the control is created.
#include <gtest/gtest.h>

#include <shlwapi.h>

#include "browser/WebFormLogin.h"
#include "framework/CWinApp.h"
#include "framework/Handles.h"
#include "framework/Trace.h"

namespace {

const wchar_t kEmulationKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION";
const wchar_t kGpuKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_GPU_RENDERING";

CString ThisExeName()
{
    return PathFindFileNameW(AfxGetModuleFileName());
}

// The DWORD value, or -1 when there is none.
long long ReadDword(const wchar_t* pszKey, const wchar_t* pszName)
{
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, pszKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return -1;
    DWORD dwType = 0, dwData = 0, cb = sizeof dwData;
    if (RegQueryValueExW(key.get(), pszName, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwData), &cb) !=
            ERROR_SUCCESS || dwType != REG_DWORD)
        return -1;
    return dwData;
}

void WriteDword(const wchar_t* pszKey, const wchar_t* pszName, DWORD dwData)
{
    UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, pszKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key.get(), pszName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwData), sizeof dwData),
              ERROR_SUCCESS);
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
    g_atCreation.emulation = ReadDword(kEmulationKey, strName);
    g_atCreation.gpu = ReadDword(kGpuKey, strName);
}

}  // namespace

TEST(ModernPageMode, SwitchesAreSetBeforeTheFirstLoginBrowserControlExists)
{
    const CString strName = ThisExeName();
    // One switch missing, the other holding something else: both must be right at creation.
    SHDeleteValueW(HKEY_CURRENT_USER, kEmulationKey, strName);
    ASSERT_NO_FATAL_FAILURE(WriteDword(kGpuKey, strName, 0));

    const TraceSink previous = SetTraceSink(&ReadRegistryAtCreation);
    {
        WebFormLogin login;
    }
    SetTraceSink(previous);

    ASSERT_GE(g_atCreation.nControls, 1) << "no control was created";
    EXPECT_EQ(g_atCreation.emulation, 11001);
    EXPECT_EQ(g_atCreation.gpu, 1);
    EXPECT_EQ(ReadDword(kEmulationKey, strName), 11001);
    EXPECT_EQ(ReadDword(kGpuKey, strName), 1);
}
