// RECT in GoogleTest's comparisons and messages (in the global namespace beside RECT, where the
// comparisons find them), and a window's place on the screen and in its parent.
#pragma once
#include <windows.h>

#include <ostream>

inline bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline bool operator!=(const RECT& a, const RECT& b)
{
    return !(a == b);
}

inline void PrintTo(const RECT& rc, std::ostream* os)
{
    *os << "{" << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom << "}";
}

inline bool operator==(const SIZE& a, const SIZE& b)
{
    return a.cx == b.cx && a.cy == b.cy;
}

inline void PrintTo(const SIZE& size, std::ostream* os)
{
    *os << size.cx << " x " << size.cy;
}

// A window's rectangle on the screen.
inline RECT ScreenRect(HWND hWnd)
{
    RECT rc{};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

// hChild's window rectangle in the client coordinates of hParent, by default its parent.
inline RECT RectInParent(HWND hChild, HWND hParent = nullptr)
{
    RECT rc{};
    ::GetWindowRect(hChild, &rc);
    const HWND hTo = hParent ? hParent : ::GetAncestor(hChild, GA_PARENT);
    ::MapWindowPoints(nullptr, hTo, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}
