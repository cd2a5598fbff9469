// The application object of the client.
#pragma once
#include "framework/CWinApp.h"
#include "framework/Handles.h"
#include <memory>

class CTorvel_QermApp : public CWinApp
{
public:
    CTorvel_QermApp() = default;
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    ULONG_PTR m_gdiplusToken = 0;
    // OLE on the main thread, so that dialogs can host the WebBrowser control.
    std::unique_ptr<OleInitScope> m_pOleInit;
};
