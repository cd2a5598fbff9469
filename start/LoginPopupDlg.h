// The login popup over the start window: a 72-pixel patterned strip with a minimise and a close
// button, and below it the login site's own page in an embedded browser. A navigation to the game's
// start address hands that address to the start window and ends the start window's modal loop.
#pragma once
#include "framework/CDialog.h"
#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "widgets/TouchButton.h"
#include <memory>

class CTorvelLogin;
class WebFormLogin;

class CLoginPopupDlg : public CDialog
{
public:
    explicit CLoginPopupDlg(CWnd* pOwner);
    ~CLoginPopupDlg() override;

    bool PreTranslateMessage(MSG* pMsg) override;

    // Asks the player whether to quit the client; a confirmed prompt ends the process with exit
    // code 0 and this never returns. Declined, it returns and nothing else happens.
    static void ConfirmExit();
    // The prompt's question: "是否退出" + the client's name + "？".
    static CString ExitPromptText();
    // Keys the page's own form needs while the dialog manager would take them: Tab, and the
    // clipboard and select-all letters with Ctrl held.
    static bool IsPageKey(WPARAM nKey, bool bCtrlDown);

    // Lays the popup out at the start window's layout DPI: its size, the strip above the page, the
    // page below it and the buttons with looks made for that scale.
    void ApplyScale(UINT nDpi);
    UINT GetDpi() const { return m_nDpi; }

    // The strip above the page at 96 DPI; the browser shows below it.
    static constexpr int kStripHeight = 72;
    static constexpr int kWidth = 700;
    static constexpr int kHeight = 460;
    // Pure green anywhere in the popup is see-through; the rest is drawn almost opaque.
    static constexpr COLORREF kTransparentKey = RGB(0, 255, 0);
    static constexpr BYTE kAlpha = 250;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(CDataExchange* pDX) override;

    // Places the two buttons at m_nDpi, with looks made for it.
    void PlaceButtons();
    // Reads the stored account values into the process-wide account strings.
    void LoadAccountSettings();
    // Whether hWnd is the browser control's window or one of its descendants (the page's windows).
    bool IsInsideBrowser(HWND hWnd) const;
    // Hands a key to the page; false when the page is not there to take it.
    bool ForwardKeyToPage(const MSG* pMsg, bool* pbHandled);

    void OnMinimize();
    void OnCloseButton();
    void OnNavigateStarted();
    void OnSysCommand(UINT nID, LPARAM lParam);
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    CTorvelLogin* m_pOwner;
    CTouchButton m_btnMinimize;
    CTouchButton m_btnClose;
    UniqueGdiObj<HBRUSH> m_brBackground;
    std::unique_ptr<WebFormLogin> m_pWebLogin;
    UINT m_nDpi = kDefaultDpi;

    DECLARE_MESSAGE_MAP()
};
