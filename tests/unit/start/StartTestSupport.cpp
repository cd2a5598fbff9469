#include "StartTestSupport.h"

#include "support/ClientWindows.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <objidl.h>
#include <gdiplus.h>
#include <psapi.h>
#include <shlobj.h>

#include "app/Paths.h"
#include "framework/CWnd.h"
#include "framework/Handles.h"
#include "support/WindowingEnvironment.h"

namespace {
class StartEnvironment : public WindowingEnvironment
{
public:
    void TearDown() override
    {
        WindowingEnvironment::TearDown();
        // The start window installs the running program: here that is this test program, whose
        // copy in the data folder nobody needs afterwards.
        CString strModule = GetModulePath();
        CString strInstalled = GetDataDir() + strModule.Mid(strModule.ReverseFind(L'\\') + 1);
        if (!GetDataDir().IsEmpty() && strInstalled.CompareNoCase(strModule) != 0)
            ::DeleteFileW(strInstalled);
    }
};
const testing::Environment* const g_env = testing::AddGlobalTestEnvironment(new StartEnvironment);

std::function<bool()> g_fnReady;
std::function<void()> g_fnAction;
std::function<void()> g_fnGiveUp;
DWORD g_nGiveUpAt = 0;
bool g_bActed = false;
bool g_bInTimer = false;

void CALLBACK ActWhenReady(HWND, UINT, UINT_PTR, DWORD)
{
    // The action may open a nested modal loop; the timer keeps firing there and must not re-enter.
    if (g_bInTimer)
        return;
    g_bInTimer = true;
    if (!g_bActed && g_fnReady && g_fnReady()) {
        g_bActed = true;
        g_nGiveUpAt = ::GetTickCount() + 8000;
        if (g_fnAction)
            g_fnAction();
    } else if (g_bActed && ::GetTickCount() > g_nGiveUpAt && g_fnGiveUp) {
        auto fn = std::move(g_fnGiveUp);
        g_fnGiveUp = nullptr;
        fn();
    }
    g_bInTimer = false;
}
}  // namespace

void RunModalWithAction(const std::function<void()>& fnStart, const std::function<bool()>& fnReady,
                        const std::function<void()>& fnAction, const std::function<void()>& fnGiveUp)
{
    // A run may be started from another run's action: the outer run's state comes back afterwards.
    auto savedReady = std::move(g_fnReady);
    auto savedAction = std::move(g_fnAction);
    auto savedGiveUp = std::move(g_fnGiveUp);
    const DWORD savedGiveUpAt = g_nGiveUpAt;
    const bool savedActed = g_bActed;
    const bool savedInTimer = g_bInTimer;
    g_fnReady = fnReady;
    g_fnAction = fnAction;
    g_fnGiveUp = fnGiveUp;
    g_bActed = false;
    g_bInTimer = false;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &ActWhenReady);
    fnStart();
    ::KillTimer(nullptr, timer);
    g_fnReady = std::move(savedReady);
    g_fnAction = std::move(savedAction);
    g_fnGiveUp = std::move(savedGiveUp);
    g_nGiveUpAt = savedGiveUpAt;
    g_bActed = savedActed;
    g_bInTimer = savedInTimer;
}

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
    return pmc.PrivateUsage;
}

CSettingsFileGuard::CSettingsFileGuard() : m_strPath(GetSettingsFilePath())
{
    UniqueFile file(::CreateFileW(m_strPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    m_bExisted = static_cast<bool>(file);
    if (!m_bExisted) {
        CString strRes = GetDataDir() + L"res";
        ::SHCreateDirectoryExW(nullptr, strRes, nullptr);
        return;
    }
    char buf[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buf, sizeof buf, &got, nullptr) && got)
        m_bytes.append(buf, got);
}

CSettingsFileGuard::~CSettingsFileGuard()
{
    if (!m_bExisted) {
        ::DeleteFileW(m_strPath);
        return;
    }
    UniqueFile file(::CreateFileW(m_strPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD put = 0;
    if (file)
        ::WriteFile(file.get(), m_bytes.data(), static_cast<DWORD>(m_bytes.size()), &put, nullptr);
}
