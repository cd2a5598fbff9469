// Push buttons in the framework's shape. An owner-drawn button gets its WM_DRAWITEM back from the
// parent (reflection) and draws itself in DrawItem.
#pragma once
#include "CWnd.h"

class CButton : public CWnd
{
public:
    CButton() = default;

    // Creates a BUTTON control as a child of pParentWnd, bound to this object.
    bool Create(LPCWSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    UINT GetState() const { return static_cast<UINT>(::SendMessageW(m_hWnd, BM_GETSTATE, 0, 0)); }
    void SetState(bool bHighlight) { ::SendMessageW(m_hWnd, BM_SETSTATE, bHighlight, 0); }
    UINT GetButtonStyle() const { return GetStyle() & 0xFFFF; }
    void SetButtonStyle(UINT nStyle, bool bRedraw = true)
    {
        ::SendMessageW(m_hWnd, BM_SETSTYLE, nStyle, bRedraw);
    }

    // Called for the reflected WM_DRAWITEM of an owner-drawn button.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

    DECLARE_MESSAGE_MAP()
};
