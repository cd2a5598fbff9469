#include "StartupProfile.h"

#include "app/FileReplace.h"
#include "app/Paths.h"
#include "browser/MyHtmlView.h"
#include "framework/CDialog.h"
#include "framework/Handles.h"
#include "framework/Trace.h"
#include "res/resource.h"
#include "start/LoginPopupDlg.h"
#include "start/Shortcut.h"
#include "widgets/MenbanDlg.h"
#include "widgets/PngImage.h"

#include <commctrl.h>
#include <ole2.h>
#include <gdiplus.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// The performance counter is one clock for every process, so a child can measure from our reading.
double NowMs()
{
    static double s_msPerTick = 0;
    if (s_msPerTick == 0) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        s_msPerTick = 1000.0 / double(frequency.QuadPart);
    }
    LARGE_INTEGER li;
    QueryPerformanceCounter(&li);
    return double(li.QuadPart) * s_msPerTick;
}

namespace {

// The moment the first browser control of the process exists, as its diagnostic line tells.
double g_msBrowserCreated = -1;
void NoteBrowserCreated(const wchar_t* text)
{
    if (g_msBrowserCreated < 0 && wcsstr(text, L"WebBrowser control created"))
        g_msBrowserCreated = NowMs();
}

class CLines
{
public:
    void Add(const char* pszName, double ms)
    {
        char line[128];
        snprintf(line, sizeof line, "%s %.2f\n", pszName, ms);
        m_text += line;
    }
    // Adds the time since the previous mark under pszName.
    void Mark(const char* pszName)
    {
        const double now = NowMs();
        Add(pszName, now - m_msLast);
        m_msLast = now;
    }
    void Restart() { m_msLast = NowMs(); }
    bool Save(const CString& strFile) const
    {
        UniqueFile file(CreateFileW(strFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD put = 0;
        return file && WriteFile(file.get(), m_text.data(), DWORD(m_text.size()), &put, nullptr);
    }

private:
    std::string m_text;
    double m_msLast = NowMs();
};

// The start window's drawing: the picture into a memory bitmap, then onto a layered window.
void DrawLayered(HWND hwnd, Gdiplus::Image* pImage)
{
    const int cx = int(pImage->GetWidth());
    const int cy = int(pImage->GetHeight());
    WindowDC dcScreen(nullptr);
    UniqueMemDC dcMem(CreateCompatibleDC(dcScreen.get()));
    UniqueGdiObj<HBITMAP> bmp(CreateCompatibleBitmap(dcScreen.get(), cx, cy));
    SelectScope select(dcMem.get(), bmp.get());
    {
        Gdiplus::Graphics graphics(dcMem.get());
        const Gdiplus::Point corners[3] = {Gdiplus::Point(0, 0), Gdiplus::Point(cx, 0), Gdiplus::Point(0, cy)};
        graphics.DrawImage(pImage, corners, 3);
    }
    SetWindowLongW(hwnd, GWL_EXSTYLE, GetWindowLongW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
    POINT ptDest = {0, 0}, ptSource = {0, 0};
    SIZE size = {cx, cy};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(hwnd, dcScreen.get(), &ptDest, &size, dcMem.get(), &ptSource, 0xFFFFFFFF, &blend,
                        ULW_ALPHA);
}

void PumpPending()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

int RunStartupProfile(double msProcessStart, const CString& strClientExe, const CString& strResultFile)
{
    CLines lines;
    lines.Add("process-start-to-main", NowMs() - msProcessStart);
    lines.Restart();
    SetTraceSink(&NoteBrowserCreated);

    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = sizeof icc;
    icc.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&icc);
    lines.Mark("common-controls");
    OleInitialize(nullptr);
    lines.Mark("ole-initialize");
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    lines.Mark("gdiplus-startup");
    {
        // The start window's template as a plain dialog: the window the popup sits on.
        CDialog owner(IDD_TORVEL_LOGIN);
        owner.Create(IDD_TORVEL_LOGIN, nullptr);
        owner.ShowWindow(SW_HIDE);
        lines.Mark("start-template-create");
        std::unique_ptr<Gdiplus::Image> pBackground(LoadPngImage(IDB_START_BACKGROUND));
        lines.Mark("start-png-load");
        if (pBackground && pBackground->GetLastStatus() == Gdiplus::Ok)
            DrawLayered(owner.m_hWnd, pBackground.get());
        lines.Mark("start-layered-draw");
        owner.ShowWindow(SW_SHOW);
        UpdateWindow(owner.m_hWnd);
        lines.Mark("start-show");

        const double msBeforePopup = NowMs();
        {
            CLoginPopupDlg popup(&owner);
            popup.Create(IDD_LOGIN_POPUP, &owner);
            lines.Mark("popup-create");
            if (g_msBrowserCreated >= 0)
                lines.Add("popup-to-browser-created", g_msBrowserCreated - msBeforePopup);
            popup.ShowWindow(SW_SHOW);
            UpdateWindow(popup.m_hWnd);
            lines.Mark("popup-show");
            PumpPending();
            lines.Restart();
        }
        lines.Mark("popup-destroy");

        // The installation's work that does not depend on whose path it writes.
        wchar_t temp[MAX_PATH] = L"";
        GetTempPathW(MAX_PATH, temp);
        CString strScratch;
        strScratch.Format(L"%sTorvelStartupProfile%lu", temp, GetCurrentProcessId());
        CreateDirectoryW(strScratch, nullptr);
        lines.Restart();
        GetFileVersionText(strClientExe);
        GetFileVersionText(strClientExe);
        lines.Mark("install-two-version-reads");
        // New links first, then the same links again, as every later start writes them.
        CreateShortcut(L"1", strClientExe, strScratch, L"a.lnk", false);
        CreateShortcut(L"1", strClientExe, strScratch, L"b.lnk", false);
        CreateShortcut(L"-u", strClientExe, strScratch, L"c.lnk", true);
        lines.Mark("install-three-shortcuts-new");
        CreateShortcut(L"1", strClientExe, strScratch, L"b.lnk", false);
        CreateShortcut(L"-u", strClientExe, strScratch, L"c.lnk", true);
        lines.Mark("install-two-shortcuts-again");
        const CString strCopy = strScratch + L"\\copy.exe";
        ReplaceFileWithCopy(strClientExe, strCopy);
        lines.Mark("install-exe-copy-first");
        ReplaceFileWithCopy(strClientExe, strCopy);
        lines.Mark("install-exe-copy-over");
        CopyFileW(strClientExe, strScratch + L"\\plain.exe", FALSE);
        lines.Mark("install-exe-plain-copyfile");
        for (LPCWSTR name : {L"a.lnk", L"b.lnk", L"c.lnk", L"copy.exe", L"plain.exe"})
            DeleteFileW(strScratch + L"\\" + name);
        RemoveDirectoryW(strScratch);
        lines.Restart();

        // The main window's pieces after the hand-over.
        const UINT ids[] = {IDB_CLOSE, IDB_CLOSE_HOVER, IDB_CLOSE_DOWN, IDB_MAXIMIZE, IDB_MAXIMIZE_HOVER,
                            IDB_MAXIMIZE_DOWN, IDB_RESTORE, IDB_RESTORE_HOVER, IDB_RESTORE_DOWN, IDB_MINIMIZE,
                            IDB_MINIMIZE_HOVER, IDB_MINIMIZE_DOWN, IDB_SELECT_SERVER, IDB_SELECT_SERVER_HOVER,
                            IDB_SELECT_SERVER_DOWN, IDB_BOSSKEY, IDB_BOSSKEY_HOVER, IDB_BOSSKEY_DOWN,
                            IDB_FULLSCREEN, IDB_FULLSCREEN_HOVER, IDB_FULLSCREEN_DOWN, IDB_REFRESH,
                            IDB_REFRESH_HOVER, IDB_REFRESH_DOWN, IDB_CLEAR_CACHE, IDB_CLEAR_CACHE_HOVER,
                            IDB_CLEAR_CACHE_DOWN, IDB_STRIP_LEFT, IDB_STRIP_MIDDLE, IDB_STRIP_RIGHT};
        {
            std::vector<std::unique_ptr<Gdiplus::Image>> images;
            for (UINT id : ids)
                images.emplace_back(LoadPngImage(id));
        }
        lines.Mark("main-30-png-loads");
        auto pView = std::make_unique<CMyHtmlView>();
        if (pView->Create(nullptr, L"MyWebBrowser", WS_CHILD | WS_VISIBLE, CRect(), &owner, IDC_GAME_VIEW))
            pView->Navigate(L"http://127.0.0.1:9/game/start?play_gamecode=bench", 0, nullptr, nullptr, nullptr, 0);
        lines.Mark("main-view-create-navigate");
        {
            CMenbanDlg mask(&owner);
            mask.Create(IDD_MENBAN, &owner);
            mask.ShowWindow(SW_HIDE);
            lines.Mark("main-mask-create");
        }
        lines.Restart();
        if (pView->m_hWnd)
            pView->DestroyWindow();
        pView.reset();
        owner.DestroyWindow();
    }
    Gdiplus::GdiplusShutdown(token);
    SetTraceSink(nullptr);
    return lines.Save(strResultFile) ? 0 : 1;
}
