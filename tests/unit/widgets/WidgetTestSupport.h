// Shared pieces of the widget tests: GDI+ for the whole program, a plain host window with a solid
// background, a message pump that walks PreTranslateMessage like the dialogs' loop, and pixel reads.
#pragma once
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <vector>

#include "CWnd.h"
#include "support/Wait.h"

constexpr UINT IDB_TEST_NOT_A_PNG = 9001;
constexpr UINT IDB_TEST_EMPTY_PNG = 9002;
constexpr UINT IDB_TEST_MISSING = 9999;

// A top-level window that paints one colour and counts the clicks and double clicks of its buttons.
class CHostWnd : public CWnd
{
public:
    explicit CHostWnd(COLORREF colour, int x = 80, int y = 60, int w = 320, int h = 200);
    void SetColour(COLORREF colour) { m_colour = colour; }
    // Repaints the host and every child at once.
    void Redraw();

    int m_nClicks = 0;
    int m_nDoubleClicks = 0;
    std::vector<UINT> m_clickedIds;

protected:
    bool OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();

    COLORREF m_colour;

    DECLARE_MESSAGE_MAP()
};

// Reads back what a window shows: its client area copied through its own device context.
class CPixels
{
public:
    explicit CPixels(HWND hwnd);
    COLORREF At(int x, int y) const;
    int Width() const { return m_w; }
    int Height() const { return m_h; }

private:
    int m_w = 0, m_h = 0;
    std::vector<DWORD> m_bits;
};

// True when every channel of a is within tolerance of b.
bool Near(COLORREF a, COLORREF b, int tolerance);

// Mean difference per channel between the window's pixels and an opaque picture laid at (0, 0).
double MeanDifference(const CPixels& px, Gdiplus::Bitmap& picture);

// Memory committed by the process, for leak checks.
SIZE_T PrivateBytes();
