#include "WidgetTestSupport.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdlib>
#include <cstring>

#include "support/WindowingEnvironment.h"

// GDI+ for every test of the program, as the application starts it before any window.
const testing::Environment* const g_windowing = testing::AddGlobalTestEnvironment(new WindowingEnvironment);

BEGIN_MESSAGE_MAP(CHostWnd, CWnd)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CHostWnd::CHostWnd(COLORREF colour, int x, int y, int w, int h) : m_colour(colour)
{
    CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW)), L"host",
             WS_POPUP | WS_VISIBLE, CRect(x, y, x + w, y + h), nullptr, 0);
}

void CHostWnd::Redraw()
{
    ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

bool CHostWnd::OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (HIWORD(wParam) == BN_CLICKED) {
        ++m_nClicks;
        m_clickedIds.push_back(LOWORD(wParam));
    } else if (HIWORD(wParam) == BN_DOUBLECLICKED) {
        ++m_nDoubleClicks;
    }
    return CWnd::OnCommand(wParam, lParam, pResult);
}

BOOL CHostWnd::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, m_colour);
    return TRUE;
}

void CHostWnd::OnPaint()
{
    CPaintDC dc(this);
}

CPixels::CPixels(HWND hwnd)
{
    RECT rc{};
    ::GetClientRect(hwnd, &rc);
    m_w = rc.right;
    m_h = rc.bottom;
    if (m_w <= 0 || m_h <= 0)
        return;
    m_bits.resize(static_cast<size_t>(m_w) * m_h);
    HDC hdcWnd = ::GetDC(hwnd);
    HDC hdcMem = ::CreateCompatibleDC(hdcWnd);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = m_w;
    bi.bmiHeader.biHeight = -m_h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* pBits = nullptr;
    HBITMAP hbm = ::CreateDIBSection(hdcMem, &bi, DIB_RGB_COLORS, &pBits, nullptr, 0);
    HGDIOBJ prev = ::SelectObject(hdcMem, hbm);
    ::BitBlt(hdcMem, 0, 0, m_w, m_h, hdcWnd, 0, 0, SRCCOPY);
    ::GdiFlush();
    std::memcpy(m_bits.data(), pBits, m_bits.size() * sizeof(DWORD));
    ::SelectObject(hdcMem, prev);
    ::DeleteObject(hbm);
    ::DeleteDC(hdcMem);
    ::ReleaseDC(hwnd, hdcWnd);
}

COLORREF CPixels::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_w || y >= m_h)
        return CLR_INVALID;
    DWORD v = m_bits[static_cast<size_t>(y) * m_w + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof pmc;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof pmc);
    // Wine leaves PrivateUsage at zero; the commit charge (PagefileUsage) follows the heap on both.
    return pmc.PagefileUsage;
}

// Mean difference per channel between the window's pixels and an opaque picture laid at (0, 0).
double MeanDifference(const CPixels& px, Gdiplus::Bitmap& picture)
{
    const int w = static_cast<int>(picture.GetWidth()), h = static_cast<int>(picture.GetHeight());
    double sum = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Gdiplus::Color c;
            picture.GetPixel(x, y, &c);
            const COLORREF seen = px.At(x, y);
            sum += std::abs(GetRValue(seen) - c.GetR()) + std::abs(GetGValue(seen) - c.GetG()) +
                   std::abs(GetBValue(seen) - c.GetB());
        }
    }
    return sum / (3.0 * w * h);
}
