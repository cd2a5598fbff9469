// The main window of a normal run: a captionless dialog that draws its own title strip above the
// game page.
#pragma once
#include "framework/CDialog.h"

class CTorvel_QermDlg : public CDialog
{
public:
    CTorvel_QermDlg();

    static constexpr int kRestoredWidth = 1000;
    static constexpr int kRestoredHeight = 700;

protected:
    BOOL OnInitDialog() override;
    bool PreTranslateMessage(MSG* pMsg) override;
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnCancel() override;

    bool m_bFullScreen = false;

    DECLARE_MESSAGE_MAP()
};
