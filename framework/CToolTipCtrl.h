// The common tooltip control in the framework's shape. The control is a popup owned by the window
// that creates it; it is destroyed with this object.
#pragma once
#include "CWnd.h"
#include <commctrl.h>

class CToolTipCtrl : public CWnd
{
public:
    CToolTipCtrl() = default;

    bool Create(CWnd* pParentWnd, DWORD dwStyle = 0);

    void Activate(bool bActivate) { ::SendMessageW(m_hWnd, TTM_ACTIVATE, bActivate, 0); }
    // A tool that covers lpRectTool of pWnd's client area, identified by nIDTool.
    bool AddTool(CWnd* pWnd, LPCWSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool);
    void UpdateTipText(LPCWSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool);
    CString GetText(CWnd* pWnd, UINT_PTR nIDTool) const;
    int GetToolCount() const { return static_cast<int>(::SendMessageW(m_hWnd, TTM_GETTOOLCOUNT, 0, 0)); }
    void SetDelayTime(DWORD dwDuration, int iTime)
    {
        ::SendMessageW(m_hWnd, TTM_SETDELAYTIME, dwDuration, MAKELPARAM(iTime, 0));
    }
    int GetDelayTime(DWORD dwDuration) const
    {
        return static_cast<int>(::SendMessageW(m_hWnd, TTM_GETDELAYTIME, dwDuration, 0));
    }
    void RelayEvent(MSG* pMsg) { ::SendMessageW(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg)); }
    void Update() { ::SendMessageW(m_hWnd, TTM_UPDATE, 0, 0); }

private:
    static TOOLINFOW MakeToolInfo(CWnd* pWnd, UINT_PTR nIDTool);
};
