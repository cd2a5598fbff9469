#include "mainwnd/Screenshot.h"

#include <objidl.h>
#include <gdiplus.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <memory>
#include <vector>

#include "app/Paths.h"
#include "framework/Handles.h"
#include "res/resource.h"

namespace {

// A picture name that is taken after this many attempts is not worth more.
constexpr int kMaxNameAttempts = 100;
const wchar_t kNotCaptured[] = L"游戏画面无法截取";

struct LocalClose
{
    void operator()(HLOCAL h) const { LocalFree(h); }
};

struct IdListClose
{
    void operator()(PIDLIST_ABSOLUTE p) const { ILFree(p); }
};
using UniqueIdList = unique_any<PIDLIST_ABSOLUTE, IdListClose, nullptr>;

CString SystemMessage(DWORD dwError)
{
    wchar_t* pszText = nullptr;
    const DWORD nLength = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, dwError,
        0, reinterpret_cast<wchar_t*>(&pszText), 0, nullptr);
    const unique_any<HLOCAL, LocalClose, nullptr> owner(pszText);
    CString strText = nLength ? CString(pszText) : CString();
    strText.TrimRight();
    if (strText.IsEmpty())
        strText.Format(L"错误代码 %lu", static_cast<unsigned long>(dwError));
    return strText;
}

ScreenshotResult Failed(const CString& strReason)
{
    ScreenshotResult result;
    result.strReason = strReason;
    return result;
}

// The part of hWnd's client area that its parent and the screen leave visible, in client pixels.
RECT VisibleClientRect(HWND hWnd)
{
    RECT rc{};
    GetClientRect(hWnd, &rc);
    const HWND hParent = GetAncestor(hWnd, GA_PARENT);
    if (hParent && hParent != GetDesktopWindow()) {
        RECT rcParent{};
        GetClientRect(hParent, &rcParent);
        MapWindowPoints(hParent, hWnd, reinterpret_cast<POINT*>(&rcParent), 2);
        IntersectRect(&rc, &rc, &rcParent);
    }
    RECT rcScreen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN), 0, 0};
    rcScreen.right = rcScreen.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    rcScreen.bottom = rcScreen.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    MapWindowPoints(nullptr, hWnd, reinterpret_cast<POINT*>(&rcScreen), 2);
    IntersectRect(&rc, &rc, &rcScreen);
    return rc;
}

struct ScreenshotJob
{
    UniqueGdiObj<HBITMAP> bitmap;
    SYSTEMTIME st{};
    HWND hNotify = nullptr;
    UINT nMessage = 0;
};

void PostResult(HWND hNotify, UINT nMessage, ScreenshotResult result)
{
    auto pResult = std::make_unique<ScreenshotResult>(std::move(result));
    if (PostMessageW(hNotify, nMessage, 0, reinterpret_cast<LPARAM>(pResult.get())))
        pResult.release();  // the receiver owns it now
}

DWORD WINAPI SaveScreenshotThread(LPVOID pParam)
{
    std::unique_ptr<ScreenshotJob> job(static_cast<ScreenshotJob*>(pParam));
    try {
        PostResult(job->hNotify, job->nMessage, SaveScreenshotPicture(job->bitmap.get(), job->st));
    } catch (...) {
        // Out of memory for the result: the player sees no balloon, nothing else is lost.
    }
    return 0;
}

}  // namespace

UniqueGdiObj<HBITMAP> CaptureWindowPicture(HWND hWnd)
{
    // Taken from the screen, where the page is as the player sees it: a page the graphics card draws
    // is not in the window's own device context, which reads black then. The screenshot key works
    // only while the window is active, so what lies over it is its own.
    RECT rc = VisibleClientRect(hWnd);
    if (IsRectEmpty(&rc))
        return UniqueGdiObj<HBITMAP>();
    MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    WindowDC dcScreen(nullptr);
    if (!dcScreen)
        return UniqueGdiObj<HBITMAP>();
    UniqueMemDC dcMem(CreateCompatibleDC(dcScreen.get()));
    UniqueGdiObj<HBITMAP> bitmap(CreateCompatibleBitmap(dcScreen.get(), rc.right - rc.left, rc.bottom - rc.top));
    if (!dcMem || !bitmap)
        return UniqueGdiObj<HBITMAP>();
    SelectScope select(dcMem.get(), bitmap.get());
    if (!BitBlt(dcMem.get(), 0, 0, rc.right - rc.left, rc.bottom - rc.top, dcScreen.get(), rc.left, rc.top,
                SRCCOPY | CAPTUREBLT))
        return UniqueGdiObj<HBITMAP>();
    return bitmap;
}

bool FindPngEncoder(CLSID& clsid)
{
    UINT nCount = 0, cbSize = 0;
    if (Gdiplus::GetImageEncodersSize(&nCount, &cbSize) != Gdiplus::Ok || cbSize == 0)
        return false;
    std::vector<BYTE> buffer(cbSize);
    auto* pCodecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (Gdiplus::GetImageEncoders(nCount, cbSize, pCodecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < nCount; ++i) {
        if (lstrcmpiW(pCodecs[i].MimeType, L"image/png") == 0) {
            clsid = pCodecs[i].Clsid;
            return true;
        }
    }
    return false;
}

CString GetScreenshotFolder()
{
    wchar_t szPictures[MAX_PATH] = L"";
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_MYPICTURES, nullptr, SHGFP_TYPE_CURRENT, szPictures)) || !szPictures[0])
        return CString();
    CString strFolder(szPictures);
    if (strFolder[strFolder.GetLength() - 1] != L'\\')
        strFolder += L"\\";
    return strFolder + L"《" + LoadResString(IDS_GAME_TITLE) + L"》";
}

CString MakeScreenshotFileName(const SYSTEMTIME& st, int nAttempt)
{
    CString strName;
    strName.Format(L"《%s》_%04u%02u%02u_%02u%02u%02u", static_cast<LPCWSTR>(LoadResString(IDS_GAME_TITLE)),
                   st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
    if (nAttempt > 1)
        strName.AppendFormat(L"_%d", nAttempt);
    return strName + L".png";
}

UniqueHandle SaveWindowScreenshotInBackground(HWND hWnd, HWND hNotify, UINT nMessage)
{
    auto job = std::make_unique<ScreenshotJob>();
    GetLocalTime(&job->st);
    job->bitmap = CaptureWindowPicture(hWnd);
    job->hNotify = hNotify;
    job->nMessage = nMessage;
    if (!job->bitmap) {
        PostResult(hNotify, nMessage, Failed(kNotCaptured));
        return UniqueHandle();
    }
    UniqueHandle thread(CreateThread(nullptr, 0, SaveScreenshotThread, job.get(), 0, nullptr));
    if (thread)
        job.release();  // the thread owns it now
    else
        PostResult(hNotify, nMessage, SaveScreenshotPicture(job->bitmap.get(), job->st));
    return thread;
}

std::unique_ptr<ScreenshotResult> TakePostedScreenshotResult(LPARAM lParam)
{
    return std::unique_ptr<ScreenshotResult>(reinterpret_cast<ScreenshotResult*>(lParam));
}

ScreenshotResult SaveScreenshotPicture(HBITMAP hBitmap, const SYSTEMTIME& st)
{
    if (!hBitmap)
        return Failed(kNotCaptured);

    const CString strFolder = GetScreenshotFolder();
    if (strFolder.IsEmpty())
        return Failed(L"找不到“图片”文件夹");
    const int nMade = SHCreateDirectoryExW(nullptr, strFolder, nullptr);
    if (!PathIsDirectoryW(strFolder))
        return Failed(SystemMessage(nMade != ERROR_SUCCESS && nMade != ERROR_ALREADY_EXISTS ? DWORD(nMade)
                                                                                              : DWORD(ERROR_DIRECTORY)));

    wchar_t szTemp[MAX_PATH] = L"";
    if (!GetTempFileNameW(strFolder, L"shot", 0, szTemp))
        return Failed(SystemMessage(GetLastError()));

    CLSID clsidPng{};
    Gdiplus::Status status = Gdiplus::GenericError;
    if (FindPngEncoder(clsidPng)) {
        Gdiplus::Bitmap picture(hBitmap, nullptr);
        status = picture.GetLastStatus();
        if (status == Gdiplus::Ok)
            status = picture.Save(szTemp, &clsidPng, nullptr);
    }
    if (status != Gdiplus::Ok) {
        const DWORD dwError = GetLastError();
        DeleteFileW(szTemp);
        return Failed(status == Gdiplus::Win32Error && dwError ? SystemMessage(dwError) : CString(L"图片无法写成 PNG 文件"));
    }

    const CString strBase = strFolder + L"\\";
    for (int nAttempt = 1; nAttempt <= kMaxNameAttempts; ++nAttempt) {
        const CString strPath = strBase + MakeScreenshotFileName(st, nAttempt);
        if (MoveFileExW(szTemp, strPath, MOVEFILE_WRITE_THROUGH)) {
            ScreenshotResult result;
            result.bSaved = true;
            result.strPath = strPath;
            return result;
        }
        const DWORD dwError = GetLastError();
        if (dwError != ERROR_ALREADY_EXISTS && dwError != ERROR_FILE_EXISTS) {
            DeleteFileW(szTemp);
            return Failed(SystemMessage(dwError));
        }
    }
    DeleteFileW(szTemp);
    return Failed(SystemMessage(ERROR_FILE_EXISTS));
}

bool ShowFileInFolder(const CString& strPath)
{
    const UniqueIdList pidl(ILCreateFromPathW(strPath));
    return pidl && SUCCEEDED(SHOpenFolderAndSelectItems(pidl.get(), 0, nullptr, 0));
}
