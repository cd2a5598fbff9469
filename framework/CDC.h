// Device contexts in the framework's shape. A CDC either owns its HDC (made by CreateCompatibleDC) or
// borrows one (Attach); borrowed contexts are never deleted.
#pragma once
#include <windows.h>
#include "Geometry.h"

class CWnd;
class CBitmap;

class CDC
{
public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    HDC m_hDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    bool Attach(HDC hdc);
    HDC Detach();
    bool CreateCompatibleDC(CDC* pDC);
    bool DeleteDC();
    virtual bool IsPrinting() const { return false; }

    HGDIOBJ SelectObject(HGDIOBJ obj) { return ::SelectObject(m_hDC, obj); }
    HGDIOBJ SelectObject(CBitmap* pBitmap);
    bool BitBlt(int x, int y, int w, int h, CDC* pSrc, int xSrc, int ySrc, DWORD rop)
    {
        return ::BitBlt(m_hDC, x, y, w, h, pSrc ? pSrc->m_hDC : nullptr, xSrc, ySrc, rop) != FALSE;
    }
    int GetClipBox(LPRECT rc) const { return ::GetClipBox(m_hDC, rc); }
    CPoint SetWindowOrg(int x, int y)
    {
        POINT prev{};
        ::SetWindowOrgEx(m_hDC, x, y, &prev);
        return CPoint(prev);
    }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    void FillSolidRect(const RECT* rc, COLORREF c)
    {
        ::SetBkColor(m_hDC, c);
        ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, rc, nullptr, 0, nullptr);
    }

private:
    bool m_bOwned = false;
};

// A GDI bitmap owned by the object; deselect it before the object dies.
class CBitmap
{
public:
    CBitmap() = default;
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;
    ~CBitmap() { DeleteObject(); }

    HBITMAP m_hObject = nullptr;
    HBITMAP GetSafeHandle() const { return m_hObject; }
    operator HBITMAP() const { return m_hObject; }

    // A bitmap in the format of the bitmap selected into pDC (the screen's for a window context).
    bool CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight);
    bool Attach(HBITMAP hBitmap);
    HBITMAP Detach();
    bool DeleteObject();
    CSize GetSize() const;
};

// BeginPaint/EndPaint for the lifetime of the object.
class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;
    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// GetDC/ReleaseDC for the lifetime of the object.
class CClientDC : public CDC
{
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

private:
    HWND m_hWnd;
};
