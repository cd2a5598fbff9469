// The start window: a borderless, per-pixel transparent picture that carries the login popup at a
// fixed place over it. Run modally before the main window shows; it ends when the popup reports the
// game's start address, which GetGameUrl then returns.
#pragma once
#include "framework/CDialog.h"
#include "start/StartLayout.h"
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <memory>

class CLoginPopupDlg;

class CTorvelLogin : public CDialog
{
public:
    CTorvelLogin();
    ~CTorvelLogin() override;

    // Empty until the login popup has handed the game's start address over.
    CString GetGameUrl() const;
    // Keeps the popup at its place over the picture and shows it.
    void PositionPopup(CLoginPopupDlg* pPopup);

    bool PreTranslateMessage(MSG* pMsg) override;

    // Where the popup sits, relative to the start window's top-left corner, and its size, at 96 DPI
    // on a screen the picture fits (GetLayout gives them as they are).
    static constexpr int kPopupLeft = 359;
    static constexpr int kPopupTop = 197;
    static constexpr int kPopupWidth = 700;
    static constexpr int kPopupHeight = 460;

    // The window's scale, size and popup place as they are now.
    const StartWindowLayout& GetLayout() const { return m_layout; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    // Lays the window out for the display's nDpi on the work area of the monitor that holds rcAt
    // (the picture made for that scale once, here); the window keeps its top-left corner.
    void ApplyScale(UINT nDpi, const RECT& rcAt);
    // Shows the picture as the window's per-pixel alpha content; false when there is no picture.
    bool DrawLayered();
    // The running executable's version in the picture's lower right corner.
    void PaintVersion(HDC hdc, const RECT& rcClient);

    void OnSysCommand(UINT nID, LPARAM lParam);
    LRESULT OnNcHitTest(CPoint point);
    void OnPaint();
    void OnWindowPosChanged(WINDOWPOS* pPos);
    // Moved to a monitor of another scale: laid out again there, centred on the suggested place.
    LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);

    // The popup stores the game URL here before it ends the modal loop.
    friend class CLoginPopupDlg;
    CString m_strGameUrl;
    std::unique_ptr<Gdiplus::Image> m_pBackground;
    std::unique_ptr<CLoginPopupDlg> m_pPopup;
    // The picture's size as drawn: the 1x picture's at 96 DPI, scaled with the layout otherwise.
    UINT m_nImageWidth = 0;
    UINT m_nImageHeight = 0;
    StartWindowLayout m_layout;

    DECLARE_MESSAGE_MAP()
};
