#include "CWinApp.h"
#include "Handles.h"
#include <string>

namespace {
CWinApp* g_pApp = nullptr;

}  // namespace

CString AfxGetModuleFileName()
{
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, &buf[0], static_cast<DWORD>(buf.size()));
        if (n == 0)
            return CString();
        // A full buffer may mean the path was cut: grow until it fits with room to spare.
        if (n < buf.size() - 1) {
            buf.resize(n);
            return CString(std::move(buf));
        }
        if (buf.size() >= 65536)
            return CString();
        buf.resize(buf.size() * 2);
    }
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp && g_pApp->m_hInstance ? g_pApp->m_hInstance : ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

CWinApp::CWinApp(LPCWSTR lpszAppName)
{
    g_pApp = this;
    m_hInstance = ::GetModuleHandleW(nullptr);
    if (lpszAppName) {
        m_strAppName = lpszAppName;
    } else {
        std::wstring path = AfxGetModuleFileName().str();
        size_t slash = path.find_last_of(L"\\/");
        std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
        size_t dot = name.find_last_of(L'.');
        if (dot != std::wstring::npos)
            name.resize(dot);
        m_strAppName = CString(name);
    }
}

CWinApp::~CWinApp()
{
    if (g_pApp == this)
        g_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return static_cast<int>(m_nQuitCode);
}

int CWinApp::Run()
{
    MSG msg;
    for (;;) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            CWnd::DeleteTempMap();
            ::WaitMessage();
            continue;
        }
        if (!::GetMessageW(&msg, nullptr, 0, 0))
            break;
        HWND hStop = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
        if (!CWnd::WalkPreTranslateTree(hStop, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    m_nQuitCode = msg.wParam;
    return ExitInstance();
}

void CWinApp::SetRegistryKey(LPCWSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey ? lpszRegistryKey : L"";
}

CString CWinApp::GetAppRegistryKeyPath() const
{
    return L"Software\\" + m_strRegistryKey + L"\\" + m_strAppName;
}

CString CWinApp::GetProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszDefault)
{
    CString fallback(lpszDefault);
    if (m_strRegistryKey.IsEmpty() || !lpszSection)
        return fallback;
    CString path = GetAppRegistryKeyPath() + L"\\" + lpszSection;
    UniqueRegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return fallback;
    DWORD type = 0, bytes = 0;
    if (::RegQueryValueExW(key.get(), lpszEntry, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return fallback;
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key.get(), lpszEntry, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]), &size) !=
        ERROR_SUCCESS)
        return fallback;
    value.resize(wcsnlen(value.c_str(), size / sizeof(wchar_t)));
    return CString(value);
}

bool CWinApp::WriteProfileString(LPCWSTR lpszSection, LPCWSTR lpszEntry, LPCWSTR lpszValue)
{
    if (m_strRegistryKey.IsEmpty() || !lpszSection)
        return false;
    CString path = GetAppRegistryKeyPath() + L"\\" + lpszSection;
    UniqueRegKey key;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    if (!lpszEntry) {
        // No entry: the section itself goes.
        key.reset();
        return ::RegDeleteKeyW(HKEY_CURRENT_USER, path) == ERROR_SUCCESS;
    }
    if (!lpszValue)
        return ::RegDeleteValueW(key.get(), lpszEntry) == ERROR_SUCCESS;
    DWORD bytes = static_cast<DWORD>((wcslen(lpszValue) + 1) * sizeof(wchar_t));
    return ::RegSetValueExW(key.get(), lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue), bytes) ==
           ERROR_SUCCESS;
}

int CWinApp::AfxWinMain(HINSTANCE hInstance, int nCmdShow)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = hInstance;
    app->m_nCmdShow = nCmdShow;
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
