// The skinned message box: a small borderless modal box with a title, one message line and the
// buttons OK (result 1), Cancel and close (result 2).
#pragma once
#include "CDialog.h"
#include "Dpi.h"
#include "TouchButton.h"
#include <memory>

class CCustomMessageBox : public CDialog
{
public:
    CCustomMessageBox();

    void SetTexts(const CString& strTitle, const CString& strMessage);

    BOOL OnInitDialog() override;

    // Fixed geometry of the box, in pixels of its client area at 96 DPI; it scales with the DPI.
    static constexpr int kWidth = 253;
    static constexpr int kHeight = 106;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnEraseBkgnd(CDC* pDC);
    LRESULT OnNcHitTest(CPoint point);
    void OnCloseButton();
    // Paints the whole box into pDC through one off-screen bitmap.
    void Paint(CDC* pDC);

    CTouchButton m_btnOk;
    CTouchButton m_btnCancel;
    CTouchButton m_btnClose;
    std::unique_ptr<Gdiplus::Image> m_pBackground;
    CString m_strTitle;
    CString m_strMessage;
    // The DPI of the monitor the box opened on.
    UINT m_nDpi = kDefaultDpi;

    DECLARE_MESSAGE_MAP()
};
