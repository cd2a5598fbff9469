#include "BrowserTestSupport.h"

#include "Trace.h"
#include "resource.h"

CTestHostWindow::CTestHostWindow(int cx, int cy)
{
    static const wchar_t kClass[] = L"TorvelBrowserTestHost";
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &CTestHostWindow::WndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassExW(&wc);
    m_hWnd = CreateWindowExW(0, kClass, L"host", WS_POPUP | WS_CLIPCHILDREN, 0, 0, cx, cy, nullptr, nullptr,
                             wc.hInstance, this);
    // Shown without activation: destroying an active top-level window costs Wine about 2 s here.
    ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
}

CTestHostWindow::~CTestHostWindow()
{
    if (m_hWnd)
        DestroyWindow(m_hWnd);
}

LRESULT CALLBACK CTestHostWindow::WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_NCCREATE)
        SetWindowLongPtrW(hWnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* pThis = reinterpret_cast<CTestHostWindow*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (pThis) {
        pThis->m_vecMessages.push_back(uMsg);
        if (pThis->m_fnOnMessage)
            pThis->m_fnOnMessage(uMsg, wParam, lParam);
        if (uMsg == WM_COMMAND && LOWORD(wParam) == IDM_NAVIGATE_STARTED) {
            pThis->m_vecReports.push_back(
                {wParam, lParam, pThis->m_fnUrlAtReport ? pThis->m_fnUrlAtReport() : std::wstring()});
            return 0;
        }
        if (uMsg == WM_NCDESTROY)
            pThis->m_hWnd = nullptr;
    }
    return DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

HWND FirstChild(HWND hParent)
{
    return GetWindow(hParent, GW_CHILD);
}

DWORD ProcessHandleCount()
{
    // Wine answers GetProcessHandleCount with 0; asking each possible handle value works everywhere.
    DWORD dwCount = 0;
    for (ULONG_PTR nValue = 4; nValue < 0x40000; nValue += 4) {
        DWORD dwFlags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(nValue), &dwFlags))
            ++dwCount;
    }
    return dwCount;
}

static BOOL CALLBACK CountWindow(HWND hWnd, LPARAM lParam)
{
    auto* pCount = reinterpret_cast<DWORD*>(lParam);
    ++*pCount;
    EnumChildWindows(hWnd, CountWindow, lParam);
    return TRUE;
}

DWORD ThreadWindowCount()
{
    DWORD dwCount = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&dwCount));
    return dwCount;
}

CEventParams::~CEventParams()
{
    for (VARIANT& var : m_vecArgs)
        if (V_VT(&var) == VT_BSTR)
            VariantClear(&var);
    for (VARIANT& var : m_inner)
        VariantClear(&var);
}

VARIANT& CEventParams::Inner()
{
    m_inner.emplace_back();
    VariantInit(&m_inner.back());
    return m_inner.back();
}

static VARIANT MakeVariant(VARTYPE vt)
{
    VARIANT var;
    VariantInit(&var);
    V_VT(&var) = vt;
    return var;
}

CEventParams& CEventParams::Dispatch(IDispatch* pDisp)
{
    VARIANT var = MakeVariant(VT_DISPATCH);
    V_DISPATCH(&var) = pDisp;
    m_vecArgs.push_back(var);
    return *this;
}

CEventParams& CEventParams::DispatchRef(IDispatch** ppDisp)
{
    VARIANT var = MakeVariant(VT_DISPATCH | VT_BYREF);
    V_DISPATCHREF(&var) = ppDisp;
    m_vecArgs.push_back(var);
    return *this;
}

CEventParams& CEventParams::VariantString(const wchar_t* psz)
{
    VARIANT& inner = Inner();
    V_VT(&inner) = VT_BSTR;
    V_BSTR(&inner) = SysAllocString(psz);
    VARIANT var = MakeVariant(VT_VARIANT | VT_BYREF);
    V_VARIANTREF(&var) = &inner;
    m_vecArgs.push_back(var);
    return *this;
}

CEventParams& CEventParams::VariantLong(long l)
{
    VARIANT& inner = Inner();
    V_VT(&inner) = VT_I4;
    V_I4(&inner) = l;
    VARIANT var = MakeVariant(VT_VARIANT | VT_BYREF);
    V_VARIANTREF(&var) = &inner;
    m_vecArgs.push_back(var);
    return *this;
}

CEventParams& CEventParams::VariantEmpty()
{
    VARIANT& inner = Inner();
    VARIANT var = MakeVariant(VT_VARIANT | VT_BYREF);
    V_VARIANTREF(&var) = &inner;
    m_vecArgs.push_back(var);
    return *this;
}

CEventParams& CEventParams::String(const wchar_t* psz)
{
    VARIANT var = MakeVariant(VT_BSTR);
    V_BSTR(&var) = SysAllocString(psz);
    m_vecArgs.push_back(var);
    return *this;
}

CEventParams& CEventParams::Long(long l)
{
    VARIANT var = MakeVariant(VT_I4);
    V_I4(&var) = l;
    m_vecArgs.push_back(var);
    return *this;
}

CEventParams& CEventParams::BoolRef(VARIANT_BOOL* pb)
{
    VARIANT var = MakeVariant(VT_BOOL | VT_BYREF);
    V_BOOLREF(&var) = pb;
    m_vecArgs.push_back(var);
    return *this;
}

CEventParams& CEventParams::Bool(VARIANT_BOOL b)
{
    VARIANT var = MakeVariant(VT_BOOL);
    V_BOOL(&var) = b;
    m_vecArgs.push_back(var);
    return *this;
}

DISPPARAMS* CEventParams::Get()
{
    m_vecReversed.assign(m_vecArgs.rbegin(), m_vecArgs.rend());
    m_params.rgvarg = m_vecReversed.empty() ? nullptr : m_vecReversed.data();
    m_params.cArgs = static_cast<UINT>(m_vecReversed.size());
    m_params.rgdispidNamedArgs = nullptr;
    m_params.cNamedArgs = 0;
    return &m_params;
}

HRESULT RaiseEvent(IDispatch* pSink, DISPID dispid, DISPPARAMS* pParams)
{
    return pSink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, pParams, nullptr, nullptr,
                         nullptr);
}
