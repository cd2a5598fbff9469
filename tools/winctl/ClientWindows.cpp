#include "ClientWindows.h"
#include "framework/Dpi.h"
#include "framework/Geometry.h"
#include "res/resource.h"

#include <cwchar>

const wchar_t CClientWindows::kTitle[] = L"《Vantor》微端";

namespace {
// The message box's size at 100 %, which its DPI scales; it tells the untitled box apart.
constexpr int kMessageBoxWidth = 253, kMessageBoxHeight = 106;

bool HasClientTitle(HWND hWnd)
{
    wchar_t text[64] = L"";
    ::GetWindowTextW(hWnd, text, 64);
    return std::wcscmp(text, CClientWindows::kTitle) == 0;
}

bool HasTitleStripButtons(HWND hWnd)
{
    return ::GetDlgItem(hWnd, IDC_BTN_CLOSE) && ::GetDlgItem(hWnd, IDC_BTN_CLEAR_CACHE);
}

CRect WindowRect(HWND hWnd)
{
    RECT rc{};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

// The box's size at the DPI of its process, which another process cannot ask (Wine answers with
// the asker's own): any scale that gives exactly this size will do.
bool IsMessageBoxSize(const CRect& rc)
{
    for (UINT nDpi = 48; nDpi <= 480; ++nDpi) {
        if (rc.Width() == ScaleForDpi(kMessageBoxWidth, nDpi) && rc.Height() == ScaleForDpi(kMessageBoxHeight, nDpi))
            return true;
    }
    return false;
}
}  // namespace

CClientWindows::CClientWindows()
{
    ::EnumWindows(&CClientWindows::Collect, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK CClientWindows::Collect(HWND hWnd, LPARAM lParam)
{
    if (::IsWindowVisible(hWnd))
        reinterpret_cast<CClientWindows*>(lParam)->m_windows.push_back(hWnd);
    return TRUE;
}

HWND CClientWindows::Start() const
{
    for (HWND hWnd : m_windows)
        if (HasClientTitle(hWnd) && !HasTitleStripButtons(hWnd))
            return hWnd;
    return nullptr;
}

HWND CClientWindows::Main() const
{
    for (HWND hWnd : m_windows)
        if (HasClientTitle(hWnd) && HasTitleStripButtons(hWnd))
            return hWnd;
    return nullptr;
}

HWND CClientWindows::OwnedWindow(HWND hOwner) const
{
    if (!hOwner)
        return nullptr;
    for (HWND hWnd : m_windows) {
        const CRect rc = WindowRect(hWnd);
        if (::GetWindow(hWnd, GW_OWNER) == hOwner && !rc.IsRectEmpty())
            return hWnd;
    }
    return nullptr;
}

HWND CClientWindows::LoginPopup() const
{
    // The start window's only owned window; its size follows the display's scale.
    return OwnedWindow(Start());
}

HWND CClientWindows::MessageBox() const
{
    for (HWND hWnd : m_windows) {
        if (::GetWindowTextLengthW(hWnd) == 0 && IsMessageBoxSize(WindowRect(hWnd)) && ::GetDlgItem(hWnd, IDOK) &&
            ::GetDlgItem(hWnd, IDCANCEL))
            return hWnd;
    }
    return nullptr;
}

HWND CClientWindows::CleaningOverlay() const
{
    const HWND hMain = Main();
    if (!hMain)
        return nullptr;
    const CRect rcMain = WindowRect(hMain);
    for (HWND hWnd : m_windows) {
        const CRect rc = WindowRect(hWnd);
        if (::GetWindow(hWnd, GW_OWNER) == hMain && ::EqualRect(&rc, &rcMain))
            return hWnd;
    }
    return nullptr;
}

bool CClientWindows::FillsWorkArea(HWND hWnd)
{
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (!hWnd || !::GetMonitorInfoW(::MonitorFromWindow(hWnd, MONITOR_DEFAULTTONEAREST), &mi))
        return false;
    const CRect rc = WindowRect(hWnd);
    return ::EqualRect(&rc, &mi.rcWork) != FALSE;
}
