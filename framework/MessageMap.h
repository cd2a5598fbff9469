// Message tables: one static table per class, chained to its base class's table. Each entry carries a
// typed thunk, so a handler with the wrong signature fails to compile.
#pragma once
#include <windows.h>

class CWnd;
class CDC;

using MsgThunk = bool (*)(CWnd* self, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

struct MsgMapEntry
{
    UINT message;   // WM_*, or WM_REFLECT_BASE + WM_* for messages reflected back to a control
    UINT code;      // notification code for WM_COMMAND entries
    UINT idFirst;   // command id range for WM_COMMAND entries
    UINT idLast;
    MsgThunk thunk; // null ends the table
};

struct MsgMap
{
    const MsgMap* (*pfnGetBaseMap)();
    const MsgMapEntry* entries;
};

// Messages a parent hands back to the control that caused them (owner drawing, colours, notices).
constexpr UINT WM_REFLECT_BASE = 0xBC00;
// Code of ON_COMMAND entries: menu items, accelerators and button clicks all match it.
constexpr UINT CN_COMMAND = 0xFFFFFFFF;

#define DECLARE_MESSAGE_MAP()                                                                    \
public:                                                                                          \
    static const MsgMap* GetThisMessageMap();                                                    \
protected:                                                                                       \
    const MsgMap* GetMessageMap() const override;                                                \
private:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                   \
    const MsgMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }                \
    const MsgMap* theClass::GetThisMessageMap()                                                  \
    {                                                                                            \
        using ThisClass = theClass;                                                              \
        using TheBaseClass = baseClass;                                                          \
        static const MsgMapEntry s_entries[] = {

#define END_MESSAGE_MAP()                                                                        \
        { 0, 0, 0, 0, nullptr } };                                                               \
        static const MsgMap s_map = { &TheBaseClass::GetThisMessageMap, s_entries };             \
        return &s_map;                                                                           \
    }

// The pieces every entry is built from: the handler is bound to an exact member-function type.
#define TV_THUNK(sig, call)                                                                      \
    [](CWnd* w_, UINT m_, WPARAM wp_, LPARAM lp_, LRESULT& r_) -> bool {                         \
        (void)m_; (void)wp_; (void)lp_; (void)r_;                                                 \
        ThisClass* self_ = static_cast<ThisClass*>(w_);                                          \
        sig;                                                                                     \
        call;                                                                                    \
        return true;                                                                             \
    }
#define TV_ENTRY(msg, sig, call) { msg, 0, 0, 0, TV_THUNK(sig, call) },

#define ON_MESSAGE(msg, fn)                                                                      \
    TV_ENTRY(msg, LRESULT (ThisClass::*pfn_)(WPARAM, LPARAM) = &ThisClass::fn,                   \
             r_ = (self_->*pfn_)(wp_, lp_))
// A message whose number the system gives out at run time (RegisterWindowMessageW), held in a variable.
#define ON_REGISTERED_MESSAGE(nMessageVariable, fn) ON_MESSAGE(nMessageVariable, fn)
#define ON_COMMAND(id, fn)                                                                       \
    { WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id),                      \
      TV_THUNK(void (ThisClass::*pfn_)() = &ThisClass::fn, (self_->*pfn_)(); r_ = 0) },
#define ON_COMMAND_RANGE(idFirst, idLast, fn)                                                    \
    { WM_COMMAND, CN_COMMAND, static_cast<UINT>(idFirst), static_cast<UINT>(idLast),             \
      TV_THUNK(void (ThisClass::*pfn_)(UINT) = &ThisClass::fn, (self_->*pfn_)(LOWORD(wp_)); r_ = 0) },
#define ON_CONTROL(code, id, fn)                                                                 \
    { WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), static_cast<UINT>(id),         \
      TV_THUNK(void (ThisClass::*pfn_)() = &ThisClass::fn, (self_->*pfn_)(); r_ = 0) },
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
// A control's own handler for a notification it sent to its parent.
#define ON_CONTROL_REFLECT(code, fn)                                                             \
    { WM_REFLECT_BASE + WM_COMMAND, static_cast<UINT>(code), 0, 0xFFFF,                          \
      TV_THUNK(void (ThisClass::*pfn_)() = &ThisClass::fn, (self_->*pfn_)(); r_ = 0) },

#define ON_WM_PAINT() TV_ENTRY(WM_PAINT, void (ThisClass::*pfn_)() = &ThisClass::OnPaint, (self_->*pfn_)(); r_ = 0)
#define ON_WM_ERASEBKGND()                                                                       \
    TV_ENTRY(WM_ERASEBKGND, BOOL (ThisClass::*pfn_)(CDC*) = &ThisClass::OnEraseBkgnd,             \
             CDC dc_; dc_.Attach(reinterpret_cast<HDC>(wp_)); r_ = (self_->*pfn_)(&dc_); dc_.Detach())
#define ON_WM_NCHITTEST()                                                                        \
    TV_ENTRY(WM_NCHITTEST, LRESULT (ThisClass::*pfn_)(CPoint) = &ThisClass::OnNcHitTest,          \
             r_ = (self_->*pfn_)(CPoint(lp_)))
#define ON_WM_TIMER()                                                                            \
    TV_ENTRY(WM_TIMER, void (ThisClass::*pfn_)(UINT_PTR) = &ThisClass::OnTimer, (self_->*pfn_)(wp_); r_ = 0)
#define ON_WM_SIZE()                                                                             \
    TV_ENTRY(WM_SIZE, void (ThisClass::*pfn_)(UINT, int, int) = &ThisClass::OnSize,               \
             (self_->*pfn_)(static_cast<UINT>(wp_), static_cast<short>(LOWORD(lp_)),              \
                            static_cast<short>(HIWORD(lp_))); r_ = 0)
#define TV_MOUSE_ENTRY(msg, fn)                                                                  \
    TV_ENTRY(msg, void (ThisClass::*pfn_)(UINT, CPoint) = &ThisClass::fn,                         \
             (self_->*pfn_)(static_cast<UINT>(wp_), CPoint(lp_)); r_ = 0)
#define ON_WM_LBUTTONDOWN() TV_MOUSE_ENTRY(WM_LBUTTONDOWN, OnLButtonDown)
#define ON_WM_LBUTTONUP() TV_MOUSE_ENTRY(WM_LBUTTONUP, OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() TV_MOUSE_ENTRY(WM_LBUTTONDBLCLK, OnLButtonDblClk)
#define ON_WM_RBUTTONUP() TV_MOUSE_ENTRY(WM_RBUTTONUP, OnRButtonUp)
#define ON_WM_MOUSEMOVE() TV_MOUSE_ENTRY(WM_MOUSEMOVE, OnMouseMove)
#define ON_WM_MOUSELEAVE()                                                                       \
    TV_ENTRY(WM_MOUSELEAVE, void (ThisClass::*pfn_)() = &ThisClass::OnMouseLeave, (self_->*pfn_)(); r_ = 0)
#define ON_WM_SETCURSOR()                                                                        \
    TV_ENTRY(WM_SETCURSOR, BOOL (ThisClass::*pfn_)(CWnd*, UINT, UINT) = &ThisClass::OnSetCursor,  \
             r_ = (self_->*pfn_)(CWnd::FromHandle(reinterpret_cast<HWND>(wp_)), LOWORD(lp_),      \
                                 HIWORD(lp_)))
#define ON_WM_DESTROY()                                                                          \
    TV_ENTRY(WM_DESTROY, void (ThisClass::*pfn_)() = &ThisClass::OnDestroy, (self_->*pfn_)(); r_ = 0)
#define ON_WM_CLOSE()                                                                            \
    TV_ENTRY(WM_CLOSE, void (ThisClass::*pfn_)() = &ThisClass::OnClose, (self_->*pfn_)(); r_ = 0)
#define ON_WM_CREATE()                                                                           \
    TV_ENTRY(WM_CREATE, int (ThisClass::*pfn_)(LPCREATESTRUCTW) = &ThisClass::OnCreate,           \
             r_ = (self_->*pfn_)(reinterpret_cast<LPCREATESTRUCTW>(lp_)))
#define ON_WM_SYSCOMMAND()                                                                       \
    TV_ENTRY(WM_SYSCOMMAND, void (ThisClass::*pfn_)(UINT, LPARAM) = &ThisClass::OnSysCommand,     \
             (self_->*pfn_)(static_cast<UINT>(wp_), lp_); r_ = 0)
#define ON_WM_ACTIVATE()                                                                         \
    TV_ENTRY(WM_ACTIVATE, void (ThisClass::*pfn_)(UINT, CWnd*, BOOL) = &ThisClass::OnActivate,    \
             (self_->*pfn_)(LOWORD(wp_), CWnd::FromHandle(reinterpret_cast<HWND>(lp_)),          \
                            HIWORD(wp_) != 0); r_ = 0)
#define ON_WM_HOTKEY()                                                                           \
    TV_ENTRY(WM_HOTKEY, void (ThisClass::*pfn_)(UINT, UINT, UINT) = &ThisClass::OnHotKey,         \
             (self_->*pfn_)(static_cast<UINT>(wp_), LOWORD(lp_), HIWORD(lp_)); r_ = 0)
#define ON_WM_WINDOWPOSCHANGED()                                                                 \
    TV_ENTRY(WM_WINDOWPOSCHANGED,                                                                \
             void (ThisClass::*pfn_)(WINDOWPOS*) = &ThisClass::OnWindowPosChanged,                \
             (self_->*pfn_)(reinterpret_cast<WINDOWPOS*>(lp_)); r_ = 0)
#define ON_WM_SHOWWINDOW()                                                                       \
    TV_ENTRY(WM_SHOWWINDOW, void (ThisClass::*pfn_)(BOOL, UINT) = &ThisClass::OnShowWindow,       \
             (self_->*pfn_)(wp_ != 0, static_cast<UINT>(lp_)); r_ = 0)
#define ON_WM_KEYDOWN()                                                                          \
    TV_ENTRY(WM_KEYDOWN, void (ThisClass::*pfn_)(UINT, UINT, UINT) = &ThisClass::OnKeyDown,       \
             (self_->*pfn_)(static_cast<UINT>(wp_), LOWORD(lp_), HIWORD(lp_)); r_ = 0)
// Every WM_CTLCOLOR* message is looked up under this one key; the handler gets the kind (CTLCOLOR_*).
constexpr UINT WM_CTLCOLOR_ANY = 0x0019;
#define ON_WM_CTLCOLOR()                                                                         \
    TV_ENTRY(WM_CTLCOLOR_ANY, HBRUSH (ThisClass::*pfn_)(CDC*, CWnd*, UINT) = &ThisClass::OnCtlColor, \
             CDC dc_; dc_.Attach(reinterpret_cast<HDC>(wp_));                                     \
             r_ = reinterpret_cast<LRESULT>((self_->*pfn_)(&dc_, CWnd::FromHandle(reinterpret_cast<HWND>(lp_)), \
                                                            m_ - WM_CTLCOLORMSGBOX));              \
             dc_.Detach())
// Reflected to the control itself: owner drawing and its colours.
#define ON_WM_DRAWITEM_REFLECT()                                                                 \
    TV_ENTRY(WM_REFLECT_BASE + WM_DRAWITEM,                                                      \
             void (ThisClass::*pfn_)(LPDRAWITEMSTRUCT) = &ThisClass::DrawItem,                    \
             (self_->*pfn_)(reinterpret_cast<LPDRAWITEMSTRUCT>(lp_)); r_ = TRUE)
// A null brush from CtlColor leaves the colours to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                                                 \
    TV_ENTRY(WM_REFLECT_BASE + WM_CTLCOLOR_ANY,                                                  \
             HBRUSH (ThisClass::*pfn_)(CDC*, UINT) = &ThisClass::CtlColor,                        \
             CDC dc_; dc_.Attach(reinterpret_cast<HDC>(wp_));                                     \
             r_ = reinterpret_cast<LRESULT>((self_->*pfn_)(&dc_, m_ - WM_CTLCOLORMSGBOX));        \
             dc_.Detach())
