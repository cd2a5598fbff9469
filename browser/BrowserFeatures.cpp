#include "BrowserFeatures.h"

#include <atomic>

#include "CString.h"
#include "CWinApp.h"
#include "Handles.h"
#include "Trace.h"

namespace {

constexpr wchar_t kFeatureControlKey[] = L"Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\";

struct FeatureSwitch
{
    const wchar_t* pszFeature;
    DWORD dwData;
};
constexpr FeatureSwitch kFeatureSwitches[] = {
    {L"FEATURE_BROWSER_EMULATION", kBrowserEmulationIE11Edge},
    {L"FEATURE_GPU_RENDERING", kGpuRenderingOn},
};

std::atomic<bool> g_bModernPageModeDone{false};

void SetFeatureValue(const FeatureSwitch& feature, LPCWSTR pszExeFileName)
{
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, CString(kFeatureControlKey) + feature.pszFeature, 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        return;
    DWORD dwType = REG_NONE, dwData = 0, cbData = sizeof dwData;
    if (RegQueryValueExW(key.get(), pszExeFileName, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwData), &cbData) ==
            ERROR_SUCCESS &&
        dwType == REG_DWORD && cbData == sizeof dwData && dwData == feature.dwData)
        return;
    if (RegSetValueExW(key.get(), pszExeFileName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&feature.dwData),
                       sizeof feature.dwData) != ERROR_SUCCESS)
        return;
    CString strLine;
    strLine.Format(L"Browser feature %s for %s set to %lu", feature.pszFeature, pszExeFileName,
                   static_cast<unsigned long>(feature.dwData));
    Trace(strLine);
}

}  // namespace

void EnableModernPageMode()
{
    if (g_bModernPageModeDone.exchange(true))
        return;
    const CString strModule = AfxGetModuleFileName();
    const int nSlash = strModule.ReverseFind(L'\\');
    const CString strFileName = strModule.Mid(nSlash + 1);
    if (strFileName.IsEmpty())
        return;
    for (const FeatureSwitch& feature : kFeatureSwitches)
        SetFeatureValue(feature, strFileName);
}

void RemoveModernPageMode(LPCWSTR pszExeFileName)
{
    if (!pszExeFileName || !*pszExeFileName)
        return;
    for (const FeatureSwitch& feature : kFeatureSwitches) {
        UniqueRegKey key;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, CString(kFeatureControlKey) + feature.pszFeature, 0, KEY_SET_VALUE,
                          key.put()) == ERROR_SUCCESS)
            RegDeleteValueW(key.get(), pszExeFileName);
    }
}
