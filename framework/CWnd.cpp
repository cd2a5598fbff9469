#include "CWnd.h"
#include "CWinApp.h"
#include <memory>
#include <unordered_map>

namespace {
const wchar_t kObjectProp[] = L"Torvel.CWnd";
// The object whose window is being created on this thread; its first message binds it.
thread_local CWnd* t_pWndInit = nullptr;
thread_local std::unordered_map<HWND, std::unique_ptr<CWnd>>* t_pTempMap = nullptr;
}  // namespace

CWnd::~CWnd()
{
    if (m_hWnd && !m_bTemporary && FromHandlePermanent(m_hWnd) == this)
        ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    // Window properties are visible to every process; a parent in another process (the game-window
    // process lives inside the main window) holds a pointer that means nothing here.
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ::GetCurrentProcessId())
        return nullptr;
    return static_cast<CWnd*>(::GetPropW(hwnd, kObjectProp));
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (!hwnd)
        return nullptr;
    if (CWnd* p = FromHandlePermanent(hwnd))
        return p;
    if (!t_pTempMap)
        t_pTempMap = new std::unordered_map<HWND, std::unique_ptr<CWnd>>();
    auto& slot = (*t_pTempMap)[hwnd];
    if (!slot) {
        slot.reset(new CWnd());
        slot->m_hWnd = hwnd;
        slot->m_bTemporary = true;
    }
    return slot.get();
}

void CWnd::DeleteTempMap()
{
    if (t_pTempMap)
        t_pTempMap->clear();
}

CWnd* CWnd::SetInitTarget(CWnd* pWnd)
{
    CWnd* prev = t_pWndInit;
    t_pWndInit = pWnd;
    return prev;
}

bool CWnd::Attach(HWND hwnd)
{
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd))
        return false;
    m_hWnd = hwnd;
    ::SetPropW(hwnd, kObjectProp, this);
    return true;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h && FromHandlePermanent(h) == this)
        ::RemovePropW(h, kObjectProp);
    m_hWnd = nullptr;
    return h;
}

void CWnd::BindAndSubclass(HWND hwnd)
{
    Attach(hwnd);
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StdWndProc)));
}

bool CWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || m_hWnd || FromHandlePermanent(hwnd))
        return false;
    BindAndSubclass(hwnd);
    return true;
}

bool CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    return pParent && SubclassWindow(::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)));
}

HWND CWnd::UnsubclassWindow()
{
    if (!m_hWnd)
        return nullptr;
    if (m_pfnSuper)
        ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

LPCWSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground)
{
    // One class per combination; the name encodes it so a second call finds the first registration.
    static thread_local wchar_t name[96];
    wsprintfW(name, L"TorvelWnd:%x:%p:%p", nClassStyle, static_cast<void*>(hCursor),
              static_cast<void*>(hbrBackground));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    HINSTANCE hInst = AfxGetInstanceHandle();
    if (!::GetClassInfoExW(hInst, name, &wc)) {
        wc = WNDCLASSEXW{};
        wc.cbSize = sizeof wc;
        wc.style = nClassStyle;
        wc.lpfnWndProc = &CWnd::StdWndProc;
        wc.hInstance = hInst;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.lpszClassName = name;
        ::RegisterClassExW(&wc);
    }
    return name;
}

bool CWnd::CreateEx(DWORD dwExStyle, LPCWSTR lpszClassName, LPCWSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (m_hWnd)
        return false;
    HINSTANCE hInst = AfxGetInstanceHandle();
    HMENU idOrMenu = (dwStyle & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)) : nullptr;
    // Bind on the first message so that WM_NCCREATE and WM_CREATE reach the object too.
    CWnd* prevInit = t_pWndInit;
    t_pWndInit = this;
    HWND hwnd = ::CreateWindowExW(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top,
                                  pParentWnd ? pParentWnd->m_hWnd : nullptr, idOrMenu, hInst, nullptr);
    t_pWndInit = prevInit;
    if (!hwnd)
        return false;
    if (!m_hWnd)
        SubclassWindow(hwnd);
    return m_hWnd == hwnd;
}

bool CWnd::DestroyWindow()
{
    return m_hWnd && ::DestroyWindow(m_hWnd) != FALSE;
}

bool CWnd::PreTranslateMessage(MSG*)
{
    return false;
}

bool CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        if (CWnd* p = FromHandlePermanent(h)) {
            if (p->PreTranslateMessage(pMsg))
                return true;
        }
        if (h == hWndStop)
            break;
    }
    return false;
}

bool CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = GetStyle();
    DWORD next = (style & ~dwRemove) | dwAdd;
    if (next == style)
        return false;
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>(next));
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return true;
}

bool CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = GetExStyle();
    DWORD next = (style & ~dwRemove) | dwAdd;
    if (next == style)
        return false;
    ::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(next));
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return true;
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    CRect rcWnd;
    GetWindowRect(&rcWnd);
    CRect rcArea, rcCenter;
    if (GetStyle() & WS_CHILD) {
        HWND parent = ::GetParent(m_hWnd);
        ::GetClientRect(parent, &rcArea);
        rcCenter = rcArea;
    } else {
        HWND owner = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
        HMONITOR mon = ::MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTOPRIMARY);
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        ::GetMonitorInfoW(mon, &mi);
        rcArea = mi.rcWork;
        if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
            ::GetWindowRect(owner, &rcCenter);
        else
            rcCenter = rcArea;
    }
    int x = (rcCenter.left + rcCenter.right) / 2 - rcWnd.Width() / 2;
    int y = (rcCenter.top + rcCenter.bottom) / 2 - rcWnd.Height() / 2;
    // Keep the window inside the area when it fits.
    if (x + rcWnd.Width() > rcArea.right)
        x = rcArea.right - rcWnd.Width();
    if (x < rcArea.left)
        x = rcArea.left;
    if (y + rcWnd.Height() > rcArea.bottom)
        y = rcArea.bottom - rcWnd.Height();
    if (y < rcArea.top)
        y = rcArea.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CString CWnd::GetWindowText() const
{
    int n = ::GetWindowTextLengthW(m_hWnd);
    CString s;
    if (n > 0) {
        ::GetWindowTextW(m_hWnd, s.GetBuffer(n), n + 1);
        s.ReleaseBuffer();
    }
    return s;
}

// ---- Message routing ---------------------------------------------------------------------------

const MsgMap* CWnd::GetThisMessageMap()
{
    static const MsgMapEntry s_entries[] = {{0, 0, 0, 0, nullptr}};
    static const MsgMap s_map = {nullptr, s_entries};
    return &s_map;
}

const MsgMap* CWnd::GetMessageMap() const
{
    return GetThisMessageMap();
}

const MsgMapEntry* CWnd::FindEntry(const MsgMap* map, UINT message, UINT code, UINT id)
{
    bool isCommand = message == WM_COMMAND || message == WM_REFLECT_BASE + WM_COMMAND;
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const MsgMapEntry* e = map->entries; e->thunk; ++e) {
            if (e->message != message)
                continue;
            if (!isCommand)
                return e;
            if (id < e->idFirst || id > e->idLast)
                continue;
            if (e->code == code)
                return e;
        }
    }
    return nullptr;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result))
        result = DefWindowProc(message, wParam, lParam);
    return result;
}

bool CWnd::SendToChild(HWND hwndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* child = FromHandlePermanent(hwndChild);
    return child && child->OnChildNotify(message, wParam, lParam, pResult);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_COMMAND)
        return OnCommand(wParam, lParam, pResult);
    UINT key = message;
    if (message == WM_DRAWITEM) {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (dis && dis->CtlType != ODT_MENU && SendToChild(dis->hwndItem, message, wParam, lParam, pResult))
            return true;
    } else if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        // The control decides its own colours first; a null brush leaves them to this window.
        LRESULT brush = 0;
        if (SendToChild(reinterpret_cast<HWND>(lParam), message, wParam, lParam, &brush) && brush) {
            *pResult = brush;
            return true;
        }
        key = WM_CTLCOLOR_ANY;
    }
    const MsgMapEntry* e = FindEntry(GetMessageMap(), key, 0, 0);
    return e && e->thunk(this, message, wParam, lParam, *pResult);
}

bool CWnd::OnCommand(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    UINT id = LOWORD(wParam);
    UINT code = HIWORD(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control && SendToChild(control, WM_COMMAND, wParam, lParam, pResult))
        return true;
    // Menu items (0), accelerators (1, no control) and button clicks (BN_CLICKED == 0) are commands.
    bool isCommand = code == 0 || (code == 1 && !control);
    const MsgMapEntry* e = nullptr;
    if (isCommand)
        e = FindEntry(GetMessageMap(), WM_COMMAND, CN_COMMAND, id);
    if (!e)
        e = FindEntry(GetMessageMap(), WM_COMMAND, code, id);
    return e && e->thunk(this, WM_COMMAND, wParam, lParam, *pResult);
}

bool CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    UINT key = message;
    UINT code = 0;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC)
        key = WM_CTLCOLOR_ANY;
    else if (message == WM_COMMAND)
        code = HIWORD(wParam);
    const MsgMapEntry* e = FindEntry(GetMessageMap(), WM_REFLECT_BASE + key, code, 0);
    return e && e->thunk(this, message, wParam, lParam, *pResult);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (WNDPROC super = GetSuperWndProcAddr())
        return ::CallWindowProcW(super, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    return DefWindowProc(m_currentMsg.message, m_currentMsg.wParam, m_currentMsg.lParam);
}

LRESULT CALLBACK CWnd::StdWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* self = FromHandlePermanent(hwnd);
    if (!self && t_pWndInit) {
        self = t_pWndInit;
        t_pWndInit = nullptr;
        self->Attach(hwnd);
        self->m_pfnSuper = ::DefWindowProcW;
    }
    if (!self)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);

    MSG saved = self->m_currentMsg;
    self->m_currentMsg = MSG{hwnd, message, wParam, lParam, 0, {0, 0}};
    LRESULT result = 0;
    try {
        result = self->WindowProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the system's window procedure.
        result = 0;
    }
    self->m_currentMsg = saved;

    if (message == WM_NCDESTROY) {
        // The window is gone: hand the procedure back and let the object know.
        if (self->m_pfnSuper && self->m_pfnSuper != ::DefWindowProcW &&
            reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &CWnd::StdWndProc)
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(self->m_pfnSuper));
        self->m_pfnSuper = nullptr;
        self->Detach();
        self->PostNcDestroy();
    }
    return result;
}
