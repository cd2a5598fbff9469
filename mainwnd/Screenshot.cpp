#include "mainwnd/Screenshot.h"

#include <objidl.h>
#include <gdiplus.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "app/Paths.h"
#include "framework/Handles.h"
#include "res/resource.h"

namespace {

// A picture name that is taken after this many attempts is not worth more.
constexpr int kMaxNameAttempts = 100;

struct LocalClose
{
    void operator()(HLOCAL h) const { LocalFree(h); }
};

struct IdListClose
{
    void operator()(PIDLIST_ABSOLUTE p) const { ILFree(p); }
};
using UniqueIdList = unique_any<PIDLIST_ABSOLUTE, IdListClose, nullptr>;

// GetDCEx without the window's WS_CLIPCHILDREN: the page is drawn by child windows of the view,
// and their pixels are what the player sees.
class WindowAndChildrenDC
{
public:
    explicit WindowAndChildrenDC(HWND hWnd) : m_hWnd(hWnd), m_hdc(GetDCEx(hWnd, nullptr, DCX_CACHE)) {}
    WindowAndChildrenDC(const WindowAndChildrenDC&) = delete;
    WindowAndChildrenDC& operator=(const WindowAndChildrenDC&) = delete;
    ~WindowAndChildrenDC() { if (m_hdc) ReleaseDC(m_hWnd, m_hdc); }
    HDC get() const { return m_hdc; }

private:
    HWND m_hWnd;
    HDC m_hdc;
};

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

// What the window shows now, as a bitmap of the visible part's size.
UniqueGdiObj<HBITMAP> CaptureVisibleArea(HWND hWnd)
{
    const RECT rc = VisibleClientRect(hWnd);
    if (IsRectEmpty(&rc))
        return UniqueGdiObj<HBITMAP>();
    WindowAndChildrenDC dcWindow(hWnd);
    if (!dcWindow.get())
        return UniqueGdiObj<HBITMAP>();
    UniqueMemDC dcMem(CreateCompatibleDC(dcWindow.get()));
    UniqueGdiObj<HBITMAP> bitmap(CreateCompatibleBitmap(dcWindow.get(), rc.right - rc.left, rc.bottom - rc.top));
    if (!dcMem || !bitmap)
        return UniqueGdiObj<HBITMAP>();
    SelectScope select(dcMem.get(), bitmap.get());
    if (!BitBlt(dcMem.get(), 0, 0, rc.right - rc.left, rc.bottom - rc.top, dcWindow.get(), rc.left, rc.top, SRCCOPY))
        return UniqueGdiObj<HBITMAP>();
    return bitmap;
}

}  // namespace

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

ScreenshotResult SaveWindowScreenshot(HWND hWnd)
{
    // The picture is taken at the key press; the disk comes after.
    SYSTEMTIME st{};
    GetLocalTime(&st);
    const UniqueGdiObj<HBITMAP> bitmap = CaptureVisibleArea(hWnd);
    if (!bitmap)
        return Failed(L"游戏画面无法截取");

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
        Gdiplus::Bitmap picture(bitmap.get(), nullptr);
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
