// The screenshot key on the real main window: typed at the keyboard it leaves a PNG of what the game
// view shows in the pictures folder and says so in a tray balloon; it is held only while the window
// is active; a game folder that cannot be made gives a balloon with the reason and no file.
#include <gtest/gtest.h>

#include <objidl.h>
#include <gdiplus.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <memory>
#include <string>
#include <vector>

#include "MainDlgTestSupport.h"
#include "browser/MyHtmlView.h"
#include "framework/Handles.h"
#include "mainwnd/Screenshot.h"
#include "support/FilesAndKeys.h"
#include "support/ShellFolderOverride.h"
#include "support/Wait.h"

namespace {

// The colour of the stand-in page: Wine has no HTML engine to draw a real one here.
constexpr COLORREF kPageColour = RGB(0x20, 0x90, 0xD0);

// Points the user's pictures folder at a scratch folder while it lives, as the folder's properties
// in the shell would, and deletes the scratch folder afterwards.
class PicturesFolderOverride
{
public:
    PicturesFolderOverride() : m_strFolder(TempPath(L"torvel screenshot test").str())
    {
        RemoveScratch();
        ::CreateDirectoryW(m_strFolder.c_str(), nullptr);
        m_pFolder = std::make_unique<ShellFolderOverride>(L"My Pictures", m_strFolder.c_str());
    }
    ~PicturesFolderOverride()
    {
        m_pFolder.reset();
        RemoveScratch();
    }
    bool IsActive() const { return m_pFolder->IsActive(); }
    const std::wstring& Folder() const { return m_strFolder; }
    std::wstring GameFolder() const { return m_strFolder + L"\\《Vantor》"; }
    // Starts a Unix program in the scratch folder, as a player's file manager would act on it, and
    // waits until the game folder's existence is bExists (Wine gives no exit code of a Unix program).
    bool RunInScratch(std::wstring strCommand, bool bExists) const
    {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessW(nullptr, &strCommand[0], nullptr, nullptr, FALSE, 0, nullptr, m_strFolder.c_str(), &si,
                              &pi))
            return false;
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        return WaitUntil([&] { return PathExists(GameFolder().c_str()) == bExists; }, 5000);
    }

private:
    void RemoveScratch() const
    {
        // Unix's rm: a link to a folder elsewhere goes as a link, never with what it points at.
        if (::PathIsDirectoryW(m_strFolder.c_str()))
            RunInScratch(L"Z:\\bin\\rm -rf -- \"《Vantor》\"", false);
        DeleteTree(m_strFolder.c_str());
    }

    std::wstring m_strFolder;
    // Made once the scratch folder exists; the value is back before the folder goes.
    std::unique_ptr<ShellFolderOverride> m_pFolder;
};

// A child of the view covering it whole, painted in the page colour, above the browser's own windows.
HWND CoverViewWithStandInPage(HWND hView)
{
    static const UniqueGdiObj<HBRUSH> brush(::CreateSolidBrush(kPageColour));
    WNDCLASSW wc{};
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hbrBackground = brush.get();
    wc.lpszClassName = L"TorvelStandInPage";
    ::RegisterClassW(&wc);
    for (HWND hChild = ::GetWindow(hView, GW_CHILD); hChild; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
        ::ShowWindow(hChild, SW_HIDE);
    RECT rc{};
    ::GetClientRect(hView, &rc);
    HWND hPage = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, rc.right, rc.bottom, hView,
                                   nullptr, wc.hInstance, nullptr);
    ::UpdateWindow(hPage);
    return hPage;
}

}  // namespace

TEST(Screenshot, NamesCarryTheTitleAndTheSecondAndASuffixWhenTaken)
{
    SYSTEMTIME st{2024, 1, 2 /* day of the week */, 2, 3, 4, 5, 0};
    EXPECT_STREQ(MakeScreenshotFileName(st, 1), L"《Vantor》_20240102_030405.png");
    EXPECT_STREQ(MakeScreenshotFileName(st, 2), L"《Vantor》_20240102_030405_2.png");
    st.wHour = 23;
    EXPECT_STREQ(MakeScreenshotFileName(st, 12), L"《Vantor》_20240102_230405_12.png");
}

TEST(Screenshot, TypedKeySavesWhatTheViewShowsAndSaysWhere)
{
    PicturesFolderOverride pictures;
    ASSERT_TRUE(pictures.IsActive());
    CTraceCapture trace;
    SIZE viewSize{};
    int nTyped = 0;
    DWORD dwTypedAt = 0;
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(),
        [&viewSize](CProbeMainDlg& d) {
            if (!d.m_pView)
                return false;
            const HWND hView = d.m_pView->GetSafeHwnd();
            CoverViewWithStandInPage(hView);
            RECT rc{};
            ::GetClientRect(hView, &rc);
            viewSize = SIZE{rc.right, rc.bottom};
            return true;
        },
        [&](CProbeMainDlg& d) {
            // Typed again if the first keys went to a window that held the focus for a moment. The
            // window hears of the picture once its file is written.
            if (!d.m_strLastScreenshot.IsEmpty())
                return true;
            if (nTyped == 0 || (nTyped < 3 && ::GetTickCount() - dwTypedAt > 3000)) {
                EXPECT_TRUE(TypeKeys(d.GetSafeHwnd(), L"ctrl+shift+a"));
                ++nTyped;
                dwTypedAt = ::GetTickCount();
            }
            return false;
        }}), kScriptDone);

    const std::vector<std::wstring> pictureNames = FilesIn(pictures.GameFolder(), L"*.png");
    ASSERT_EQ(pictureNames.size(), 1u);
    const std::wstring& strName = pictureNames[0];
    EXPECT_EQ(strName.rfind(L"《Vantor》_", 0), 0u) << "named " << CString(strName.c_str()).ToUtf8();
    EXPECT_EQ(strName.size(), std::wstring(L"《Vantor》_20240102_030405.png").size());
    EXPECT_TRUE(FilesIn(pictures.GameFolder(), L"*.tmp").empty()) << "a temporary file stayed";

    const std::wstring strPath = pictures.GameFolder() + L"\\" + strName;
    {
        Gdiplus::Bitmap picture(strPath.c_str());
        ASSERT_EQ(picture.GetLastStatus(), Gdiplus::Ok) << "not a picture GDI+ can read";
        EXPECT_EQ(int(picture.GetWidth()), viewSize.cx);
        EXPECT_EQ(int(picture.GetHeight()), viewSize.cy);
        const POINT samples[] = {{0, 0}, {viewSize.cx / 2, viewSize.cy / 2}, {viewSize.cx - 1, viewSize.cy - 1}};
        for (const POINT& pt : samples) {
            Gdiplus::Color colour;
            picture.GetPixel(pt.x, pt.y, &colour);
            EXPECT_EQ(RGB(colour.GetR(), colour.GetG(), colour.GetB()), kPageColour) << "at " << pt.x << "," << pt.y;
        }
    }
    EXPECT_STREQ(dlg.m_strLastScreenshot, strPath.c_str());
    const std::vector<std::wstring> balloons = trace.LinesStartingWith(L"Tray balloon");
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0], L"Tray balloon: 截图已保存: " + strPath);
}

TEST(Screenshot, KeyIsHeldOnlyWhileTheWindowIsActive)
{
    CProbeMainDlg dlg;
    HWND hOther = nullptr;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(),
        [](CProbeMainDlg& d) {
            ::SetForegroundWindow(d.GetSafeHwnd());
            return ::GetForegroundWindow() == d.GetSafeHwnd();
        },
        [&hOther](CProbeMainDlg&) {
            EXPECT_FALSE(KeyIsFree(MOD_CONTROL | MOD_SHIFT, 'A')) << "the active window does not hold the key";
            // Another program's window comes to the front.
            hOther = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 10, 10, 100, 100, nullptr,
                                       nullptr, nullptr, nullptr);
            ::SetForegroundWindow(hOther);
            return true;
        },
        [&hOther](CProbeMainDlg& d) {
            if (::GetForegroundWindow() != hOther)
                return false;
            EXPECT_TRUE(KeyIsFree(MOD_CONTROL | MOD_SHIFT, 'A')) << "the inactive window still holds the key";
            ::DestroyWindow(hOther);
            ::SetForegroundWindow(d.GetSafeHwnd());
            return true;
        },
        [](CProbeMainDlg& d) {
            if (::GetForegroundWindow() != d.GetSafeHwnd())
                return false;
            EXPECT_FALSE(KeyIsFree(MOD_CONTROL | MOD_SHIFT, 'A')) << "the key did not come back with the window";
            return true;
        }}), kScriptDone);
    EXPECT_TRUE(KeyIsFree(MOD_CONTROL | MOD_SHIFT, 'A')) << "the key outlived the window";
}

TEST(Screenshot, ReadOnlyFileInThePlaceOfTheFolderGivesTheReasonAndNoFile)
{
    PicturesFolderOverride pictures;
    ASSERT_TRUE(pictures.IsActive());
    // A read-only file holds the game folder's name: Windows makes no folder of that name, and
    // nothing may replace or change the file.
    const CString strBlocker = pictures.GameFolder().c_str();
    ASSERT_TRUE(WriteFileBytes(strBlocker, "the player's own file"));
    ASSERT_TRUE(::SetFileAttributesW(strBlocker, FILE_ATTRIBUTE_READONLY));
    CTraceCapture trace;
    CProbeMainDlg dlg;
    EXPECT_EQ(RunMainDlg(dlg, {WaitUntilShown(),
        [&trace](CProbeMainDlg& d) {
            d.SaveScreenshot();
            // The file work is done on a thread of its own; the window hears of it afterwards.
            EXPECT_TRUE(trace.LinesStartingWith(L"Tray balloon").empty()) << "the window's thread did the file work";
            return true;
        },
        [&trace](CProbeMainDlg&) { return !trace.LinesStartingWith(L"Tray balloon").empty(); }}), kScriptDone);

    EXPECT_EQ(FilesIn(pictures.Folder().c_str()), std::vector<std::wstring>{L"《Vantor》"})
        << "something was written";
    EXPECT_EQ(ReadFileBytes(strBlocker), "the player's own file");
    EXPECT_EQ(::GetFileAttributesW(strBlocker) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY),
              DWORD(FILE_ATTRIBUTE_READONLY)) << "the file was changed or replaced";
    EXPECT_STREQ(dlg.m_strLastScreenshot, L"");
    // What the player reads in the balloon: the system's words for a name that is no folder.
    const std::vector<std::wstring> balloons = trace.LinesStartingWith(L"Tray balloon");
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0], L"Tray balloon: 截图未能保存: 目录名无效。")
        << CString(balloons[0].c_str()).ToUtf8();
}
