// The real client on a display at 150 % (LogPixels 144 on the suite's 1280 x 800 screen, whose work
// area is all of it). The start window at 150 % would be 1673 x 1085, taller than the screen: it is
// reduced to fit (a layout of 106 DPI) with its popup; the main window's strip, buttons and view are
// laid out at 150 % and its strip is drawn from the art made at twice the size. The DPI query's
// Windows 7 path (no newer functions) sees the scale through the screen's logical pixels.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "MainWndDriver.h"
#include "WidgetTestSupport.h"
#include "framework/Handles.h"
#include "res/resource.h"
#include "support/ClientWindows.h"
#include "support/FilesAndKeys.h"
#include "support/RectText.h"
#include "support/Wait.h"
#include "support/LoopbackHttpServer.h"
#include "widgets/PngImage.h"
#include "widgets/ScaledSkin.h"

namespace {
// The display's scale for the processes started while it lives: Wine reads LogPixels when a process
// starts. 96 comes back however the test ends, so no other test ever sees 150 %.
class CDisplayScale
{
public:
    explicit CDisplayScale(DWORD dwLogPixels) { m_bSet = Set(dwLogPixels); }
    ~CDisplayScale() { Set(96); }
    bool IsSet() const { return m_bSet; }

private:
    static bool Set(DWORD dwLogPixels)
    {
        return ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &dwLogPixels,
                                 sizeof dwLogPixels) == ERROR_SUCCESS;
    }
    bool m_bSet = false;
};

// The visible window of the process, other than hExcept, of exactly cx x cy.
HWND WindowOfSize(const ClientProcess& client, HWND hExcept, int cx, int cy)
{
    for (HWND hWnd : client.TopLevelWindows(true)) {
        const RECT rc = ScreenRect(hWnd);
        if (hWnd != hExcept && rc.right - rc.left == cx && rc.bottom - rc.top == cy)
            return hWnd;
    }
    return nullptr;
}
}  // namespace

TEST(ScaledDisplay, StartWindowIsReducedToTheScreenWithItsPopupAndPrompt)
{
    CDisplayScale scale(144);
    ASSERT_TRUE(scale.IsSet());
    CPageServer server;
    ASSERT_TRUE(server.IsListening());
    CPatchedClient copy(server.Url(L"/vorq/login/").c_str());
    ASSERT_TRUE(copy.Ready());
    ClientProcess client;
    ASSERT_TRUE(copy.Start(client));
    const HWND hStart = WaitForStartWindow(client);
    ASSERT_NE(hStart, nullptr);

    // 1115 x 723 at a layout of 106 DPI, wholly on the 1280 x 800 work area.
    RECT rcWork{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    ASSERT_EQ(rcWork, (RECT{0, 0, 1280, 800})) << "the suite's screen";
    const RECT rcStart = ScreenRect(hStart);
    EXPECT_EQ(rcStart.right - rcStart.left, 1231);
    EXPECT_EQ(rcStart.bottom - rcStart.top, 798);
    EXPECT_TRUE(rcStart.left >= 0 && rcStart.top >= 0 && rcStart.right <= 1280 && rcStart.bottom <= 800)
        << testing::PrintToString(rcStart);

    // The popup at (396, 218) from the picture's corner, 773 x 508, its buttons scaled with it.
    HWND hPopup = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (hPopup = WindowOfSize(client, hStart, 773, 508)) != nullptr; }, 10000));
    ASSERT_NE(hPopup, nullptr) << "no popup of the scaled size";
    const RECT rcPopup = ScreenRect(hPopup);
    EXPECT_EQ(rcPopup.left - rcStart.left, 396);
    EXPECT_EQ(rcPopup.top - rcStart.top, 218);
    EXPECT_EQ(RectInParent(::GetDlgItem(hPopup, 1016)), (RECT{701, 33, 734, 63}));
    EXPECT_EQ(RectInParent(::GetDlgItem(hPopup, 1027)), (RECT{682, 0, 715, 31}));

    // The close prompt is the skinned box at 150 %: 380 x 159 with its buttons in scaled places.
    ::PostMessageW(hStart, WM_SYSCOMMAND, SC_CLOSE, 0);
    const HWND hBox = WaitForMessageBox(client);
    ASSERT_NE(hBox, nullptr) << "no close prompt of the scaled size";
    EXPECT_EQ(RectInParent(::GetDlgItem(hBox, IDOK)), (RECT{68, 91, 191, 142}));
    EXPECT_EQ(RectInParent(::GetDlgItem(hBox, IDCANCEL)), (RECT{206, 91, 329, 142}));
    ClickDialogButton(hBox, IDOK);
    ASSERT_TRUE(client.WaitForExit());
    EXPECT_EQ(client.ExitCode(), 0u);
}

TEST(ScaledDisplay, MainWindowStripAndButtonsAreLaidOutAndDrawnAtTheScale)
{
    CDisplayScale scale(144);
    ASSERT_TRUE(scale.IsSet());

    // What this program's DPI query sees in a process started now, with each step of the chain.
    const CString strDpiFile = TempPath(L"TorvelDpi" + std::to_wstring(::GetCurrentProcessId()) + L".txt");
    ClientProcess winctl;
    ASSERT_TRUE(winctl.Start(TestBinDir() + L"winctl.exe", L"winctl.exe dpi \"" + strDpiFile + L"\""));
    ASSERT_TRUE(winctl.WaitForExit());
    std::ifstream dpiFile(std::wstring(strDpiFile).c_str());
    std::string strDpi;
    std::getline(dpiFile, strDpi);
    dpiFile.close();
    ::DeleteFileW(strDpiFile);
    EXPECT_EQ(strDpi, "144 144 144") << "window's own, monitor's, screen's logical pixels";

    CPatchedClient copy(L"http://127.0.0.1:9/game/start?play_gamecode=e2e");
    ASSERT_TRUE(copy.Ready());
    ClientProcess client;
    ASSERT_TRUE(copy.Start(client));
    const HWND hMain = WaitForMainWindow(client.Id());
    ASSERT_NE(hMain, nullptr);
    RECT rcClient{};
    EXPECT_TRUE(PumpUntil([&] { return ::GetClientRect(hMain, &rcClient) && rcClient == RECT{0, 0, 1280, 800}; },
                          5000))
        << "client " << testing::PrintToString(rcClient);

    // A 45-pixel strip: each button at its place for a 1280-pixel client area at 150 %, the close
    // button 42 x 39, and the game view below the strip. The window is shown maximised before it
    // has laid its buttons out.
    const struct { int nID; RECT rc; } buttons[] = {
        {1001, {1238, 5, 1280, 44}}, {1002, {1194, 5, 1236, 44}}, {1003, {1151, 5, 1193, 44}},
        {1004, {992, 5, 1120, 41}},  {1005, {839, 5, 985, 41}},   {1030, {704, 5, 832, 41}},
        {1021, {593, 5, 710, 41}},   {1007, {497, 5, 586, 41}},
    };
    const auto laidOut = [&] {
        for (const auto& b : buttons)
            if (RectInParent(::GetDlgItem(hMain, b.nID)) != b.rc)
                return false;
        return true;
    };
    PumpUntil(laidOut, 5000);
    for (const auto& b : buttons)
        EXPECT_EQ(RectInParent(::GetDlgItem(hMain, b.nID)), b.rc) << b.nID;
    EXPECT_EQ(RectInParent(::GetDlgItem(hMain, 10000)), (RECT{0, 45, 1280, 800}));

    // The strip's left piece as the player sees it: the 2x picture reduced to 305 x 45, which an
    // enlarged 1x picture (blurred title, thick emblem edges) is not.
    const std::unique_ptr<Gdiplus::Image> pDouble(LoadPngImage(IDB_STRIP_LEFT + IDB_2X_OFFSET));
    const std::unique_ptr<Gdiplus::Bitmap> pSharp(ResampleImage(pDouble.get(), 305, 45));
    const std::unique_ptr<Gdiplus::Image> pSingle(LoadPngImage(IDB_STRIP_LEFT));
    const std::unique_ptr<Gdiplus::Bitmap> pEnlarged(ResampleImage(pSingle.get(), 305, 45));
    ASSERT_TRUE(pSharp && pEnlarged);
    ::RedrawWindow(hMain, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
    double dSharp = 0, dEnlarged = 0;
    PumpUntil([&] {
        CPixels px(hMain);
        dSharp = MeanDifference(px, *pSharp);
        dEnlarged = MeanDifference(px, *pEnlarged);
        return dSharp < 1.5;
    }, 5000);
    EXPECT_LT(dSharp, 1.5) << "the strip is not the 2x picture reduced (" << dEnlarged << " from the 1x enlarged)";
    EXPECT_GT(dEnlarged, dSharp + 2.0) << "the strip cannot be told from the 1x picture enlarged (" << dSharp
                                            << " from the 2x reduced)";

    EXPECT_TRUE(CloseThroughPrompt(client, hMain));
}
