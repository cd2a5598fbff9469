// The only window of a game-window process: a child dialog that shows the game page inside a frame
// window of another process, follows the frame's size commands and ends its process when the frame
// goes away.
#pragma once
#include <windows.h>

#include <memory>

#include "framework/CDialog.h"
#include "widgets/ZoomIndicator.h"

class CMyHtmlView;

class CGameWndDlg : public CDialog
{
public:
    CGameWndDlg(HWND hFrameWnd, const CString& strGameUrl);
    ~CGameWndDlg() override;

    // Creates the window inside the frame window.
    bool CreateInFrame();

    // Enter and Escape go to the page as they are; the zoom keys are the view's wherever they land.
    bool PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL OnInitDialog() override;
    // Neither Enter nor Escape ends the game window.
    void OnOK() override {}
    void OnCancel() override {}

    void OnClose();
    void OnDestroy();
    void OnSize(UINT nType, int cx, int cy);
    LRESULT OnRefresh(WPARAM wParam, LPARAM lParam);
    LRESULT OnFitToFrame(WPARAM wParam, LPARAM lParam);
    LRESULT OnPageZoomChanged(WPARAM wParam, LPARAM lParam);

private:
    void StartFrameWatcher();
    void Announce();

    std::unique_ptr<CMyHtmlView> m_pView;
    const HWND m_hFrameWnd;
    const CString m_strGameUrl;
    CZoomIndicator m_zoomIndicator;

    DECLARE_MESSAGE_MAP()
};
