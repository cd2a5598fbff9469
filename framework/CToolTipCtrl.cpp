#include "CToolTipCtrl.h"

bool CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    // The class lives in comctl32; registering it here keeps callers from depending on start-up order.
    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES;
    ::InitCommonControlsEx(&icc);
    if (!CreateEx(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | dwStyle, CRect(0, 0, 0, 0), pParentWnd, 0))
        return false;
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

TOOLINFOW CToolTipCtrl::MakeToolInfo(CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFOW ti{};
    // The version-1 record is understood by every comctl32, with or without the v6 manifest.
    ti.cbSize = TTTOOLINFOW_V1_SIZE;
    ti.hwnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    ti.uId = nIDTool;
    return ti;
}

bool CToolTipCtrl::AddTool(CWnd* pWnd, LPCWSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    TOOLINFOW ti = MakeToolInfo(pWnd, nIDTool);
    // No TTF_SUBCLASS: the owner relays its mouse messages (RelayEvent) from PreTranslateMessage.
    ti.lpszText = const_cast<LPWSTR>(lpszText);
    if (lpRectTool)
        ti.rect = *lpRectTool;
    return ::SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti)) != FALSE;
}

void CToolTipCtrl::UpdateTipText(LPCWSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFOW ti = MakeToolInfo(pWnd, nIDTool);
    ti.lpszText = const_cast<LPWSTR>(lpszText);
    ::SendMessageW(m_hWnd, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

CString CToolTipCtrl::GetText(CWnd* pWnd, UINT_PTR nIDTool) const
{
    // TTM_GETTEXTW has no length query; tooltips here are short.
    wchar_t buffer[256] = {};
    TOOLINFOW ti = MakeToolInfo(pWnd, nIDTool);
    ti.lpszText = buffer;
    ::SendMessageW(m_hWnd, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&ti));
    return CString(buffer);
}
