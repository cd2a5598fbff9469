#include "BrowserFeatures.h"

#include <atomic>
#include <vector>

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

// Under the client's own key, one value per executable name the switches were written for: a first
// start often runs under the downloaded file's name, and the uninstall must find those too.
constexpr wchar_t kWrittenNamesSubKey[] = L"\\ModernPageMode";

CString WrittenNamesKey()
{
    const CWinApp* pApp = AfxGetApp();
    if (!pApp || pApp->m_strRegistryKey.IsEmpty())
        return CString();
    return L"Software\\" + pApp->m_strRegistryKey + kWrittenNamesSubKey;
}

void RememberWrittenName(LPCWSTR pszExeFileName)
{
    const CString strKey = WrittenNamesKey();
    if (strKey.IsEmpty())
        return;
    const DWORD dwOne = 1;
    RegSetKeyValueW(HKEY_CURRENT_USER, strKey, pszExeFileName, REG_DWORD, &dwOne, sizeof dwOne);
}

std::vector<CString> WrittenNames()
{
    std::vector<CString> names;
    const CString strKey = WrittenNamesKey();
    UniqueRegKey key;
    if (strKey.IsEmpty() || RegOpenKeyExW(HKEY_CURRENT_USER, strKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return names;
    for (DWORD nIndex = 0;; ++nIndex) {
        // A file name is at most MAX_PATH characters.
        wchar_t szName[MAX_PATH + 1] = L"";
        DWORD nChars = MAX_PATH + 1;
        const LSTATUS status = RegEnumValueW(key.get(), nIndex, szName, &nChars, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_SUCCESS && szName[0])
            names.emplace_back(szName);
    }
    return names;
}

void RemoveSwitches(LPCWSTR pszExeFileName)
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
    // Remembered before the switches go in: a client killed in between leaves nothing unlisted.
    RememberWrittenName(strFileName);
    for (const FeatureSwitch& feature : kFeatureSwitches)
        SetFeatureValue(feature, strFileName);
}

void RemoveModernPageMode(LPCWSTR pszExeFileName)
{
    RemoveSwitches(pszExeFileName);
    for (const CString& strName : WrittenNames())
        RemoveSwitches(strName);
}
