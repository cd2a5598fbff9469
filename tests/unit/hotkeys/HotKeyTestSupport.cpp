#include "HotKeyTestSupport.h"

#include "app/GameWndMessages.h"
#include "app/Paths.h"

#include <shlobj.h>

namespace {

constexpr wchar_t kClassName[] = L"TorvelHotKeyTestWnd";

void RegisterTestClass()
{
    static bool bDone = false;
    if (bDone)
        return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = HBRUSH(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kClassName;
    RegisterClassW(&wc);
    bDone = true;
}

}  // namespace

CRecordingWnd::CRecordingWnd(LPCWSTR pszTitle, HWND hOwner)
{
    RegisterTestClass();
    m_hWnd = CreateWindowExW(0, kClassName, pszTitle, WS_POPUP | WS_BORDER, 100, 100, 300, 200, hOwner, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, LONG_PTR(this));
    SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, LONG_PTR(&CRecordingWnd::WndProc));
}

CRecordingWnd::~CRecordingWnd()
{
    if (m_hWnd) {
        SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, LONG_PTR(DefWindowProcW));
        DestroyWindow(m_hWnd);
    }
}

int CRecordingWnd::Count(UINT message) const
{
    int n = 0;
    for (const RecordedMessage& m : m_messages)
        n += m.message == message;
    return n;
}

LRESULT CALLBACK CRecordingWnd::WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<CRecordingWnd*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && (message == WM_HOTKEY || message == WM_GAMEWND_REFRESH || message == WM_COMMAND || message == WM_KEYDOWN))
        self->m_messages.push_back({message, wParam, lParam});
    if (self && message == WM_HOTKEY && self->m_pTarget) {
        self->m_activeAtHotKey.push_back(IsActiveMainWindow(hwnd));
        self->m_actions.push_back(HandleGlobalHotKey(hwnd, int(wParam), *self->m_pTarget));
        self->m_hForegroundAfterHotKey = GetForegroundWindow();
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void CRecordingTarget::RefreshView()
{
    m_calls.push_back("RefreshView");
    MSG msg;
    m_bReloadQueuedAtRefresh =
        m_hGameWnd && PeekMessageW(&msg, m_hGameWnd, WM_GAMEWND_REFRESH, WM_GAMEWND_REFRESH, PM_NOREMOVE);
}

void CRecordingTarget::MaximizeLayout()
{
    m_calls.push_back("Maximize");
    m_bVisibleAtLayout = IsWindowVisible(m_hMainWnd) != FALSE;
    m_bMinimized = false;
}

void CRecordingTarget::RestoreLayout()
{
    m_calls.push_back("Restore");
    m_bVisibleAtLayout = IsWindowVisible(m_hMainWnd) != FALSE;
    m_bMinimized = false;
}

CSettingsFile::CSettingsFile() : m_strPath(GetDataDir().str() + L"res\\systemset.ini")
{
    SHCreateDirectoryExW(nullptr, (GetDataDir().str() + L"res").c_str(), nullptr);
    HANDLE file = CreateFileW(m_strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        m_bHadFile = true;
        char piece[4096];
        DWORD got = 0;
        while (ReadFile(file, piece, sizeof piece, &got, nullptr) && got > 0)
            m_strSaved.append(piece, got);
        CloseHandle(file);
    }
}

CSettingsFile::~CSettingsFile()
{
    if (m_bHadFile)
        Write(m_strSaved);
    else
        Remove();
}

void CSettingsFile::Write(const std::string& text) const
{
    HANDLE file = CreateFileW(m_strPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
}

void CSettingsFile::Remove() const
{
    DeleteFileW(m_strPath.c_str());
}

bool IsHotKeyTaken(UINT modifiers, UINT vk)
{
    CRecordingWnd probe(L"probe");
    constexpr int kProbeId = 0xB000;
    if (RegisterHotKey(probe.Hwnd(), kProbeId, modifiers, vk)) {
        UnregisterHotKey(probe.Hwnd(), kProbeId);
        return false;
    }
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}
