// Helpers shared by the browser tests: a message pump with a deadline, a capture of the program's
// trace lines, and a real top-level window that records the login browser's navigation reports.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <deque>
#include <ostream>
#include <functional>
#include <string>
#include <vector>

#include "support/FilesAndKeys.h"
#include "support/RectText.h"
#include "support/TraceCapture.h"
#include "support/Wait.h"
#include "support/NoCopy.h"


// A visible popup window of the login popup's size; every WM_COMMAND 10001 it receives is recorded
// together with what m_fnUrlAtReport returns at that moment (the login tests read g_strNavigateUrl).
class CTestHostWindow
{
public:
    CTestHostWindow(int cx = 700, int cy = 460);
    ~CTestHostWindow();
    HWND Handle() const { return m_hWnd; }

    struct Report
    {
        WPARAM wParam;
        LPARAM lParam;
        std::wstring strUrl;
    };
    std::vector<Report> m_vecReports;
    std::function<std::wstring()> m_fnUrlAtReport;
    std::vector<UINT> m_vecMessages;  // every message the window procedure saw
    std::function<void(UINT, WPARAM, LPARAM)> m_fnOnMessage;  // called for each of them, when set

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    HWND m_hWnd = nullptr;
};


// The first child of hParent (in z-order), or null.
HWND FirstChild(HWND hParent);
// Open kernel handles of this process, and the windows of this thread with their children (not the
// message-only windows that OLE and URL monikers keep per thread, and create and drop as they like).
DWORD ProcessHandleCount();
DWORD ThreadWindowCount();

// DISPPARAMS as a browser control fills them: arguments added in the order the event declares,
// stored reversed. Strings and inner variants live as long as the object.
class CEventParams : CNoCopy
{
public:
    CEventParams() = default;
    ~CEventParams();

    CEventParams& Dispatch(IDispatch* pDisp);           // VT_DISPATCH
    CEventParams& DispatchRef(IDispatch** ppDisp);      // VT_DISPATCH | VT_BYREF
    CEventParams& VariantString(const wchar_t* psz);    // VT_VARIANT | VT_BYREF -> VT_BSTR
    CEventParams& VariantLong(long l);                  // VT_VARIANT | VT_BYREF -> VT_I4
    CEventParams& VariantEmpty();                       // VT_VARIANT | VT_BYREF -> VT_EMPTY
    CEventParams& String(const wchar_t* psz);           // VT_BSTR
    CEventParams& Long(long l);                         // VT_I4
    CEventParams& BoolRef(VARIANT_BOOL* pb);            // VT_BOOL | VT_BYREF
    CEventParams& Bool(VARIANT_BOOL b);                 // VT_BOOL (a wrong type for Cancel)

    DISPPARAMS* Get();

private:
    VARIANT& Inner();
    std::vector<VARIANT> m_vecArgs;
    std::deque<VARIANT> m_inner;
    std::vector<VARIANT> m_vecReversed;
    DISPPARAMS m_params{};
};

// Invoke on an IDispatch with DISPATCH_METHOD, as the control raises events.
HRESULT RaiseEvent(IDispatch* pSink, DISPID dispid, DISPPARAMS* pParams);
