// Profile values of the application object live in the registry under the key it is given.
#include "framework/CWinApp.h"
#include "framework/Handles.h"
#include <gtest/gtest.h>
#include <shlwapi.h>

TEST(WinAppProfile, ValuesLiveUnderKeyApplicationAndSection)
{
    CWinApp app;
    EXPECT_EQ(app.m_strAppName, CString(L"FrameworkTests")) << "the exe name without extension";
    EXPECT_EQ(app.GetProfileString(L"Sec", L"k", L"dflt"), CString(L"dflt")) << "no key yet";

    app.SetRegistryKey(L"torvel-test-profile");
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\torvel-test-profile");
    EXPECT_EQ(app.GetProfileString(L"Sec", L"k", L"dflt"), CString(L"dflt"));
    EXPECT_TRUE(app.WriteProfileString(L"Sec", L"k", L"《值》"));
    EXPECT_EQ(app.GetProfileString(L"Sec", L"k", L"dflt"), CString(L"《值》"));

    wchar_t raw[64] = L"";
    DWORD size = sizeof raw;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\torvel-test-profile\\FrameworkTests\\Sec", L"k",
                           RRF_RT_REG_SZ, nullptr, raw, &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(raw, L"《值》");

    EXPECT_TRUE(app.WriteProfileString(L"Sec", L"k", nullptr));
    EXPECT_EQ(app.GetProfileString(L"Sec", L"k", L"gone"), CString(L"gone"));
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\torvel-test-profile");
}
