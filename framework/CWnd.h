// A window object bound to its HWND. Messages reach the object through its class's message table
// (MessageMap.h); anything a table does not handle goes to the window's previous procedure.
#pragma once
#include <windows.h>
#include "CDC.h"
#include "CString.h"
#include "Geometry.h"
#include "MessageMap.h"

class CDataExchange;

class CWnd
{
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to a window, or null (FromHandlePermanent); FromHandle also wraps windows that
    // have no object, with a temporary that lives until the next idle moment of the message loop.
    static CWnd* FromHandlePermanent(HWND hwnd);
    static CWnd* FromHandle(HWND hwnd);
    static void DeleteTempMap();
    // The next window created on this thread that has no object yet is bound to pWnd.
    static CWnd* SetInitTarget(CWnd* pWnd);

    bool Attach(HWND hwnd);
    HWND Detach();
    // Routes the window's messages through this object; its old procedure becomes the default one.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT nID, CWnd* pParent);
    HWND UnsubclassWindow();

    // Creates a window of a class registered by the framework (or a system class) bound to this object.
    bool CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual bool DestroyWindow();

    virtual bool PreTranslateMessage(MSG* pMsg);
    // Walks PreTranslateMessage from the message's window up its parents, stopping at hWndStop.
    static bool WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

    // Wrappers
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    void MoveWindow(int x, int y, int w, int h, bool bRepaint = true) { ::MoveWindow(m_hWnd, x, y, w, h, bRepaint); }
    void MoveWindow(const RECT& rc, bool bRepaint = true)
    {
        ::MoveWindow(m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, bRepaint);
    }
    BOOL SetWindowPos(const CWnd* pInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
    {
        return ::SetWindowPos(m_hWnd, pInsertAfter ? pInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
    }
    void GetClientRect(LPRECT rc) const { ::GetClientRect(m_hWnd, rc); }
    void GetWindowRect(LPRECT rc) const { ::GetWindowRect(m_hWnd, rc); }
    void InvalidateRect(const RECT* rc, bool bErase = true) { ::InvalidateRect(m_hWnd, rc, bErase); }
    void Invalidate(bool bErase = true) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    bool ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    bool ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    void SetWindowText(LPCWSTR text) { ::SetWindowTextW(m_hWnd, text); }
    CString GetWindowText() const;
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageW(m_hWnd, msg, wp, lp); }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::PostMessageW(m_hWnd, msg, wp, lp); }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id); }
    CWnd* GetDlgItem(int nID) const { return FromHandle(::GetDlgItem(m_hWnd, nID)); }
    CWnd* GetParent() const { return FromHandle(::GetParent(m_hWnd)); }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    bool IsZoomed() const { return ::IsZoomed(m_hWnd) != FALSE; }
    bool IsIconic() const { return ::IsIconic(m_hWnd) != FALSE; }
    void ScreenToClient(LPPOINT pt) const { ::ScreenToClient(m_hWnd, pt); }
    void ClientToScreen(LPPOINT pt) const { ::ClientToScreen(m_hWnd, pt); }
    CWnd* SetFocus() { return FromHandle(::SetFocus(m_hWnd)); }
    bool EnableWindow(bool bEnable = true) { return ::EnableWindow(m_hWnd, bEnable) != FALSE; }
    bool SetForegroundWindow() { return ::SetForegroundWindow(m_hWnd) != FALSE; }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }

    static const MsgMap* GetThisMessageMap();
    // The procedure of every window bound to an object.
    static LRESULT CALLBACK StdWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual const MsgMap* GetMessageMap() const;
    // Message processing: the table first, then the default procedure.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // A control's chance to handle what its parent reflects to it.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled.
    LRESULT Default();
    virtual void PreSubclassWindow() {}
    // Called after the window is gone (WM_NCDESTROY); a heap object may delete itself here.
    virtual void PostNcDestroy() {}
    virtual WNDPROC GetSuperWndProcAddr() { return m_pfnSuper; }
    static bool SendToChild(HWND hwndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Default handlers, so that a derived class can call the base version.
    void OnPaint() { Default(); }
    BOOL OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
    LRESULT OnNcHitTest(CPoint) { return Default(); }
    void OnTimer(UINT_PTR) { Default(); }
    void OnSize(UINT, int, int) { Default(); }
    void OnLButtonDown(UINT, CPoint) { Default(); }
    void OnLButtonUp(UINT, CPoint) { Default(); }
    void OnLButtonDblClk(UINT, CPoint) { Default(); }
    void OnRButtonUp(UINT, CPoint) { Default(); }
    void OnMouseMove(UINT, CPoint) { Default(); }
    void OnMouseLeave() { Default(); }
    BOOL OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
    void OnDestroy() { Default(); }
    void OnClose() { Default(); }
    int OnCreate(LPCREATESTRUCTW) { return static_cast<int>(Default()); }
    void OnSysCommand(UINT, LPARAM) { Default(); }
    void OnActivate(UINT, CWnd*, BOOL) { Default(); }
    void OnHotKey(UINT, UINT, UINT) { Default(); }
    void OnWindowPosChanged(WINDOWPOS*) { Default(); }
    void OnShowWindow(BOOL, UINT) { Default(); }
    void OnKeyDown(UINT, UINT, UINT) { Default(); }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return reinterpret_cast<HBRUSH>(Default()); }

    WNDPROC m_pfnSuper = nullptr;

private:
    friend class CDialog;
    static const MsgMapEntry* FindEntry(const MsgMap* map, UINT message, UINT code, UINT id);
    void BindAndSubclass(HWND hwnd);
    MSG m_currentMsg{};
    bool m_bTemporary = false;
};

// Registers (once) and returns a window class whose procedure routes to CWnd objects.
LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = nullptr, HBRUSH hbrBackground = nullptr);
