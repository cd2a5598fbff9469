#include "start/LoginPopupDlg.h"
#include "app/Paths.h"
#include "browser/WebFormLogin.h"
#include "framework/CWinApp.h"
#include "res/resource.h"
#include "start/Settings.h"
#include "start/TorvelLogin.h"
#include "widgets/CustomMessageBox.h"
#include <cstdlib>

using Microsoft::WRL::ComPtr;

BEGIN_MESSAGE_MAP(CLoginPopupDlg, CDialog)
    ON_COMMAND(IDC_POPUP_BTN_1016, OnMinimize)
    ON_COMMAND(IDC_POPUP_BTN_1027, OnCloseButton)
    ON_COMMAND(IDM_NAVIGATE_STARTED, OnNavigateStarted)
    ON_WM_SYSCOMMAND()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

namespace {
// The strip's pattern for a popup of cx x cy: bitmap 318 at its own pixels, as it is at 100 %. A
// popup larger than the picture (a scaled display) gets its last column and row drawn on to the
// edges instead of a second copy of the picture, and its text is never enlarged into a blur.
HBRUSH MakeBackgroundBrush(int cx, int cy)
{
    // The brush keeps its own copy of the pattern, so the bitmaps can go at once.
    UniqueGdiObj<HBITMAP> bmpPattern(
        ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDB_POPUP_BACKGROUND)));
    BITMAP bm{};
    if (!bmpPattern || !::GetObjectW(bmpPattern.get(), sizeof bm, &bm))
        return nullptr;
    if (cx <= bm.bmWidth && cy <= bm.bmHeight)
        return ::CreatePatternBrush(bmpPattern.get());
    const int cxAll = cx > bm.bmWidth ? cx : bm.bmWidth;
    const int cyAll = cy > bm.bmHeight ? cy : bm.bmHeight;
    WindowDC dcScreen(nullptr);
    UniqueMemDC dcSource(::CreateCompatibleDC(dcScreen.get()));
    UniqueMemDC dcTarget(::CreateCompatibleDC(dcScreen.get()));
    UniqueGdiObj<HBITMAP> bmpWide(::CreateCompatibleBitmap(dcScreen.get(), cxAll, cyAll));
    if (!dcScreen || !dcSource || !dcTarget || !bmpWide)
        return ::CreatePatternBrush(bmpPattern.get());
    {
        SelectScope selectSource(dcSource.get(), bmpPattern.get());
        SelectScope selectTarget(dcTarget.get(), bmpWide.get());
        ::BitBlt(dcTarget.get(), 0, 0, bm.bmWidth, bm.bmHeight, dcSource.get(), 0, 0, SRCCOPY);
        ::StretchBlt(dcTarget.get(), bm.bmWidth, 0, cxAll - bm.bmWidth, bm.bmHeight, dcSource.get(), bm.bmWidth - 1,
                     0, 1, bm.bmHeight, SRCCOPY);
        ::StretchBlt(dcTarget.get(), 0, bm.bmHeight, cxAll, cyAll - bm.bmHeight, dcTarget.get(), 0, bm.bmHeight - 1,
                     cxAll, 1, SRCCOPY);
    }
    return ::CreatePatternBrush(bmpWide.get());
}

// The text the site's address must contain for the login to count as done.
const wchar_t kGameStartMarker[] = L"play_gamecode";

// A stored flag: exactly "0" is off, anything else (also an empty text) is on.
CString NormaliseFlag(const wchar_t* pszValue)
{
    return wcscmp(pszValue, L"0") == 0 ? CString(L"0") : CString(L"1");
}
}  // namespace

CLoginPopupDlg::CLoginPopupDlg(CWnd* pOwner)
    : CDialog(IDD_LOGIN_POPUP, pOwner), m_pOwner(dynamic_cast<CTorvelLogin*>(pOwner))
{
}

CLoginPopupDlg::~CLoginPopupDlg()
{
    // The browser goes first: it still holds the popup as its host window.
    m_pWebLogin.reset();
    m_brBackground.reset();
}

void CLoginPopupDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_POPUP_BTN_1016, m_btnMinimize);
    DDX_Control(pDX, IDC_POPUP_BTN_1027, m_btnClose);
}

BOOL CLoginPopupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // At the start window's scale (which a small screen may have reduced); the start window puts
    // the popup over its picture right after this.
    m_nDpi = m_pOwner ? m_pOwner->GetLayout().nDpi : GetWindowDpi(m_hWnd);
    const LoginPopupLayout layout = ComputeLoginPopupLayout(m_nDpi);
    SetWindowPos(nullptr, 0, 0, layout.size.cx, layout.size.cy, SWP_NOZORDER);
    ModifyStyleEx(0, WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(m_hWnd, kTransparentKey, kAlpha, LWA_COLORKEY | LWA_ALPHA);

    LoadAccountSettings();

    CRect rcClient;
    GetClientRect(&rcClient);
    m_pWebLogin = std::make_unique<WebFormLogin>();
    m_pWebLogin->m_hHostWnd = m_hWnd;
    m_pWebLogin->m_bFirstLoadDone = FALSE;
    m_pWebLogin->ActivateBrowser();
    m_pWebLogin->m_rcTarget = RECT{rcClient.left, rcClient.top + layout.nStripHeight, rcClient.right, rcClient.bottom};
    // Hidden until its first page is complete; the browser then shows itself below the strip.
    m_pWebLogin->NavigateTo(LoadResString(IDS_LOGIN_URL));
    m_pWebLogin->SetBrowserRect(RECT{0, 0, 0, 0});

    PlaceButtons();

    m_brBackground.reset(MakeBackgroundBrush(rcClient.Width(), rcClient.Height()));
    return TRUE;
}

void CLoginPopupDlg::PlaceButtons()
{
    CRect rcClient;
    GetClientRect(&rcClient);
    const LoginPopupLayout layout = ComputeLoginPopupLayout(m_nDpi, rcClient.right);
    m_btnMinimize.SetImages(IDB_POPUP_BTN_320, IDB_POPUP_BTN_321, IDB_POPUP_BTN_322, m_nDpi);
    m_btnMinimize.SetWindowPos(nullptr, layout.minimize.left, layout.minimize.top, layout.minimize.Width(),
                               layout.minimize.Height(), SWP_NOZORDER);
    m_btnClose.SetImages(IDB_POPUP_BTN_323, IDB_POPUP_BTN_324, IDB_POPUP_BTN_325, m_nDpi);
    m_btnClose.SetWindowPos(nullptr, layout.close.left, layout.close.top, layout.close.Width(), layout.close.Height(),
                            SWP_NOZORDER);
}

void CLoginPopupDlg::ApplyScale(UINT nDpi)
{
    if (!m_hWnd || nDpi == 0)
        return;
    m_nDpi = nDpi;
    const LoginPopupLayout layout = ComputeLoginPopupLayout(m_nDpi);
    SetWindowPos(nullptr, 0, 0, layout.size.cx, layout.size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CRect rcClient;
    GetClientRect(&rcClient);
    if (m_pWebLogin) {
        m_pWebLogin->m_rcTarget =
            RECT{rcClient.left, rcClient.top + layout.nStripHeight, rcClient.right, rcClient.bottom};
        // A page already shown moves below the new strip; one still loading stays hidden.
        if (m_pWebLogin->m_bFirstLoadDone)
            m_pWebLogin->SetBrowserRect(m_pWebLogin->m_rcTarget);
    }
    m_brBackground.reset(MakeBackgroundBrush(rcClient.Width(), rcClient.Height()));
    PlaceButtons();
    Invalidate(true);
}

void CLoginPopupDlg::OnOK()
{
    // Enter belongs to the page's form.
}

void CLoginPopupDlg::OnCancel()
{
    // Escape and WM_CLOSE never close the popup; only a confirmed close prompt does.
}

void CLoginPopupDlg::LoadAccountSettings()
{
    WCHAR szValue[MAX_PATH] = L"";
    GetSettingString(L"Info", L"code", L"", szValue);
    if (szValue[0])
        g_strAccountCode = DecodeBase64Text(szValue);
    GetSettingString(L"Info", L"pwd", L"", szValue);
    if (szValue[0])
        g_strAccountPwd = DecodeBase64Text(szValue);
    GetSettingString(L"Info", L"rem", L"1", szValue);
    g_strRemember = NormaliseFlag(szValue);
    GetSettingString(L"Setting", L"autologin", L"0", szValue);
    g_strAutoLogin = NormaliseFlag(szValue);
}

CString CLoginPopupDlg::ExitPromptText()
{
    CString strText;
    strText.Format(L"是否退出%s？", static_cast<LPCWSTR>(LoadResString(IDS_CLIENT_NAME)));
    return strText;
}

void CLoginPopupDlg::ConfirmExit()
{
    CCustomMessageBox box;
    box.SetTexts(L"关闭提示", ExitPromptText());
    if (box.DoModal() == IDOK)
        std::exit(0);
}

void CLoginPopupDlg::OnMinimize()
{
    // The popup is owned by the start window and goes with it.
    if (m_pOwner && m_pOwner->GetSafeHwnd())
        m_pOwner->ShowWindow(SW_MINIMIZE);
}

void CLoginPopupDlg::OnCloseButton()
{
    ConfirmExit();
}

void CLoginPopupDlg::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0) == SC_CLOSE) {
        ConfirmExit();
        return;
    }
    Default();
}

void CLoginPopupDlg::OnNavigateStarted()
{
    // The browser has already cancelled this navigation; the game page belongs to the main window.
    if (g_strNavigateUrl.Find(kGameStartMarker) < 0 || !m_pOwner)
        return;
    m_pOwner->m_strGameUrl = g_strNavigateUrl;
    m_pOwner->EndDialog(0);
}

HBRUSH CLoginPopupDlg::OnCtlColor(CDC*, CWnd* pWnd, UINT)
{
    // The dialog's own background is the tiled strip pattern; controls keep their colours.
    if (pWnd && pWnd->GetSafeHwnd() == m_hWnd && m_brBackground)
        return m_brBackground.get();
    return reinterpret_cast<HBRUSH>(Default());
}

bool CLoginPopupDlg::IsPageKey(WPARAM nKey, bool bCtrlDown)
{
    if (nKey == VK_TAB)
        return true;
    switch (nKey) {
    case 0x76: case 0x56:  // V
    case 0x61: case 0x41:  // A
    case 0x78: case 0x58:  // X
    case 0x63: case 0x43:  // C
        return bCtrlDown;
    default:
        return false;
    }
}

bool CLoginPopupDlg::IsInsideBrowser(HWND hWnd) const
{
    IWebBrowser2* pBrowser = m_pWebLogin ? m_pWebLogin->GetWebBrowser() : nullptr;
    ComPtr<IOleWindow> pWindow;
    HWND hControl = nullptr;
    if (!hWnd || !pBrowser || FAILED(pBrowser->QueryInterface(IID_PPV_ARGS(&pWindow))) ||
        FAILED(pWindow->GetWindow(&hControl)) || !hControl)
        return false;
    return hWnd == hControl || ::IsChild(hControl, hWnd);
}

bool CLoginPopupDlg::ForwardKeyToPage(const MSG* pMsg, bool* pbHandled)
{
    IWebBrowser2* pBrowser = m_pWebLogin ? m_pWebLogin->GetWebBrowser() : nullptr;
    if (!pBrowser)
        return false;
    ComPtr<IDispatch> pDocument;
    if (FAILED(pBrowser->get_Document(&pDocument)) || !pDocument)
        return false;
    ComPtr<IOleInPlaceActiveObject> pActive;
    if (FAILED(pDocument.As(&pActive)) || !pActive)
        return false;
    MSG msgPage = *pMsg;
    msgPage.hwnd = m_pWebLogin->FindRenderWindow();
    *pbHandled = pActive->TranslateAccelerator(&msgPage) == S_OK;
    return true;
}

bool CLoginPopupDlg::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN) {
        const WPARAM nKey = pMsg->wParam;
        // Enter reaches the focused window (the page's form) without the dialog's default button.
        if (nKey == VK_RETURN)
            return false;
        if (IsPageKey(nKey, ::GetAsyncKeyState(VK_CONTROL) != 0)) {
            bool bHandled = false;
            if (ForwardKeyToPage(pMsg, &bHandled))
                return bHandled;
        } else if ((nKey == VK_SPACE || nKey == VK_ESCAPE) && !IsInsideBrowser(pMsg->hwnd)) {
            // The page's own fields take both: an account or a password may hold a space.
            return true;
        }
    }
    return CDialog::PreTranslateMessage(pMsg);
}
