#include "CustomMessageBox.h"
#include "ScaledSkin.h"
#include "SkinText.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CCustomMessageBox, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_NCHITTEST()
    ON_COMMAND(IDC_MSGBOX_CLOSE, OnCloseButton)
END_MESSAGE_MAP()

CCustomMessageBox::CCustomMessageBox() : CDialog(IDD_CUSTOM_MSGBOX, nullptr), m_strTitle(L"温馨提示")
{
}

void CCustomMessageBox::SetTexts(const CString& strTitle, const CString& strMessage)
{
    m_strTitle = strTitle;
    m_strMessage = strMessage;
}

void CCustomMessageBox::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDOK, m_btnOk);
    DDX_Control(pDX, IDCANCEL, m_btnCancel);
    DDX_Control(pDX, IDC_MSGBOX_CLOSE, m_btnClose);
}

BOOL CCustomMessageBox::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_nDpi = GetWindowDpi(m_hWnd);
    const auto px = [this](int nValue) { return ScaleForDpi(nValue, m_nDpi); };
    SetWindowPos(nullptr, 0, 0, px(kWidth), px(kHeight), SWP_NOMOVE | SWP_NOZORDER);
    ModifyStyle(WS_CAPTION, WS_SYSMENU | WS_MINIMIZEBOX);

    CRect rc;
    GetClientRect(&rc);
    const int w = rc.Width();
    const int h = rc.Height();
    m_btnClose.SetWindowPos(nullptr, w - px(25), px(10), px(28), px(26), SWP_NOZORDER);
    m_btnClose.SetImages(IDB_MSGBOX_CLOSE, IDB_MSGBOX_CLOSE, IDB_MSGBOX_CLOSE, m_nDpi);
    m_btnOk.SetWindowPos(nullptr, px(45), h - px(45), px(82), px(34), SWP_NOZORDER);
    m_btnOk.SetImages(IDB_MSGBOX_BTN_314, IDB_MSGBOX_BTN_313, IDB_MSGBOX_BTN_313, m_nDpi);
    m_btnCancel.SetWindowPos(nullptr, px(137), h - px(45), px(82), px(34), SWP_NOZORDER);
    m_btnCancel.SetImages(IDB_MSGBOX_BTN_312, IDB_MSGBOX_BTN_311, IDB_MSGBOX_BTN_311, m_nDpi);

    m_pBackground.reset(LoadSkinImage(IDB_MSGBOX_BACKGROUND, m_nDpi));
    return TRUE;
}

void CCustomMessageBox::OnCloseButton()
{
    OnCancel();
}

LRESULT CCustomMessageBox::OnNcHitTest(CPoint)
{
    // Any point of the box that is not a button drags it.
    LRESULT hit = Default();
    return hit == HTCLIENT ? HTCAPTION : hit;
}

BOOL CCustomMessageBox::OnEraseBkgnd(CDC* pDC)
{
    Paint(pDC);
    return TRUE;
}

void CCustomMessageBox::Paint(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    CDC memDC;
    CBitmap bitmap;
    if (!memDC.CreateCompatibleDC(pDC) || !bitmap.CreateCompatibleBitmap(pDC, rc.Width(), rc.Height()))
        return;
    HGDIOBJ hPrev = memDC.SelectObject(&bitmap);
    {
        Gdiplus::Graphics graphics(memDC.GetSafeHdc());
        const auto px = [this](int nValue) { return static_cast<Gdiplus::REAL>(ScaleForDpi(nValue, m_nDpi)); };
        if (m_pBackground && m_pBackground->GetLastStatus() == Gdiplus::Ok) {
            // Two pixels up and left: the picture's outer margin stays outside the box.
            const INT nMargin = ScaleForDpi(-2, m_nDpi);
            graphics.DrawImage(m_pBackground.get(), nMargin, nMargin, static_cast<INT>(m_pBackground->GetWidth()),
                               static_cast<INT>(m_pBackground->GetHeight()));
        }
        DrawSkinText(graphics, m_strTitle, px(13), Gdiplus::FontStyleBold, Gdiplus::Color(0xFF, 0xFF, 0xFF, 0xFF),
                     Gdiplus::RectF(px(85), px(7), px(100), px(25)), Gdiplus::StringTrimmingEllipsisCharacter);
        DrawSkinText(graphics, m_strMessage, px(11), Gdiplus::FontStyleRegular,
                     Gdiplus::Color(0xFF, 0xFF, 0xEC, 0xF7), Gdiplus::RectF(px(28), px(33), px(220), px(30)),
                     Gdiplus::StringTrimmingEllipsisCharacter);
    }
    pDC->BitBlt(0, 0, rc.Width(), rc.Height(), &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(hPrev);
}
