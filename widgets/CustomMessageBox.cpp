#include "CustomMessageBox.h"
#include "PngImage.h"
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
    SetWindowPos(nullptr, 0, 0, kWidth, kHeight, SWP_NOMOVE | SWP_NOZORDER);
    ModifyStyle(WS_CAPTION, WS_SYSMENU | WS_MINIMIZEBOX);

    CRect rc;
    GetClientRect(&rc);
    const int w = rc.Width();
    const int h = rc.Height();
    m_btnClose.SetWindowPos(nullptr, w - 25, 10, 28, 26, SWP_NOZORDER);
    m_btnClose.SetImages(IDB_MSGBOX_CLOSE, IDB_MSGBOX_CLOSE, IDB_MSGBOX_CLOSE);
    m_btnOk.SetWindowPos(nullptr, 45, h - 45, 82, 34, SWP_NOZORDER);
    m_btnOk.SetImages(IDB_MSGBOX_BTN_314, IDB_MSGBOX_BTN_313, IDB_MSGBOX_BTN_313);
    m_btnCancel.SetWindowPos(nullptr, 137, h - 45, 82, 34, SWP_NOZORDER);
    m_btnCancel.SetImages(IDB_MSGBOX_BTN_312, IDB_MSGBOX_BTN_311, IDB_MSGBOX_BTN_311);

    m_pBackground.reset(LoadPngImage(IDB_MSGBOX_BACKGROUND));
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
        if (m_pBackground && m_pBackground->GetLastStatus() == Gdiplus::Ok) {
            // Two pixels up and left: the picture's outer margin stays outside the box.
            graphics.DrawImage(m_pBackground.get(), -2, -2, static_cast<INT>(m_pBackground->GetWidth()),
                               static_cast<INT>(m_pBackground->GetHeight()));
        }
        DrawSkinText(graphics, m_strTitle, 13.0f, Gdiplus::FontStyleBold, Gdiplus::Color(0xFF, 0xFF, 0xFF, 0xFF),
                     Gdiplus::RectF(85.0f, 7.0f, 100.0f, 25.0f), Gdiplus::StringTrimmingEllipsisCharacter);
        DrawSkinText(graphics, m_strMessage, 11.0f, Gdiplus::FontStyleRegular,
                     Gdiplus::Color(0xFF, 0xFF, 0xEC, 0xF7), Gdiplus::RectF(28.0f, 33.0f, 220.0f, 30.0f),
                     Gdiplus::StringTrimmingEllipsisCharacter);
    }
    pDC->BitBlt(0, 0, rc.Width(), rc.Height(), &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(hPrev);
}
