#include "MainDlgTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

#include "browser/WebFormLogin.h"
#include "framework/Trace.h"
#include "res/resource.h"
#include "start/LoginPopupDlg.h"

const wchar_t kTestGameUrl[] = L"http://127.0.0.1:9/game/play?play_gamecode=unit";

namespace {
struct Script
{
    CProbeMainDlg* pDlg = nullptr;
    std::vector<Step> steps;
    size_t nNext = 0;
    DWORD nDeadline = 0;
    bool bInStep = false;
    bool bTimedOut = false;
};
Script* g_pScript = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    Script* s = g_pScript;
    // A step may open a modal loop (a menu, a box) that ticks again inside it: one step at a time.
    if (!s || s->bInStep || !s->pDlg->GetSafeHwnd())
        return;
    if (::GetTickCount() > s->nDeadline) {
        s->bTimedOut = true;
        ADD_FAILURE() << "step " << s->nNext << " of " << s->steps.size() << " did not finish in time";
        if (auto* pBox = dynamic_cast<CCustomMessageBox*>(CWnd::FromHandlePermanent(FindMessageBox())))
            pBox->EndDialog(IDCANCEL);
        s->pDlg->EndDialog(static_cast<int>(kScriptTimedOut));
        return;
    }
    if (s->nNext >= s->steps.size()) {
        s->pDlg->EndDialog(static_cast<int>(kScriptDone));
        return;
    }
    s->bInStep = true;
    const bool bDone = s->steps[s->nNext](*s->pDlg);
    s->bInStep = false;
    if (bDone)
        ++s->nNext;
}

BOOL CALLBACK CollectThreadWindow(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hWnd);
    return TRUE;
}

// Reads the protected texts of a box the window made; the box is used only through this view.
class CBoxView : public CCustomMessageBox
{
public:
    using CCustomMessageBox::m_strMessage;
    using CCustomMessageBox::m_strTitle;
};
}  // namespace

INT_PTR RunMainDlg(CProbeMainDlg& dlg, std::vector<Step> steps, DWORD nTimeoutMs)
{
    Script script;
    script.pDlg = &dlg;
    script.steps.push_back(FinishStartWindow(kTestGameUrl));
    script.steps.insert(script.steps.end(), steps.begin(), steps.end());
    script.nDeadline = ::GetTickCount() + nTimeoutMs;
    g_pScript = &script;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 30, &Tick);
    INT_PTR result = dlg.DoModal();
    ::KillTimer(nullptr, timer);
    g_pScript = nullptr;
    return script.bTimedOut ? kScriptTimedOut : result;
}

Step FinishStartWindow(const wchar_t* pszUrl)
{
    const CString strUrl(pszUrl);
    return [strUrl](CProbeMainDlg& dlg) {
        std::vector<HWND> windows;
        ::EnumThreadWindows(::GetCurrentThreadId(), &CollectThreadWindow, reinterpret_cast<LPARAM>(&windows));
        for (HWND h : windows) {
            if (!::IsWindowVisible(h) || !dynamic_cast<CLoginPopupDlg*>(CWnd::FromHandlePermanent(h)))
                continue;
            EXPECT_FALSE(dlg.IsWindowVisible()) << "the main window showed before the start window ended";
            // Sent, not posted: the login browser's own reports cannot slip in between.
            g_strNavigateUrl = strUrl;
            ::SendMessageW(h, WM_COMMAND, IDM_NAVIGATE_STARTED, 0);
            return true;
        }
        return false;
    };
}

Step WaitUntilShown()
{
    return [](CProbeMainDlg& dlg) { return dlg.IsWindowVisible(); };
}

Step Wait(DWORD nMs)
{
    auto pStart = std::make_shared<DWORD>(0);
    return [pStart, nMs](CProbeMainDlg&) {
        if (*pStart == 0)
            *pStart = ::GetTickCount() | 1;
        return ::GetTickCount() - *pStart >= nMs;
    };
}

BoxTexts TextsOf(HWND hBox)
{
    auto* pBox = dynamic_cast<CCustomMessageBox*>(CWnd::FromHandlePermanent(hBox));
    if (!pBox)
        return BoxTexts{};
    auto* pView = static_cast<CBoxView*>(pBox);
    return BoxTexts{pView->m_strTitle, pView->m_strMessage};
}

CGameWndRecorder::CGameWndRecorder()
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = &CGameWndRecorder::WndProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TorvelTestGameWnd";
    ::RegisterClassW(&wc);
    m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"game", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               wc.hInstance, this);
}

CGameWndRecorder::~CGameWndRecorder()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

void CGameWndRecorder::AdoptInto(HWND hParent)
{
    ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, WS_CHILD);
    ::SetParent(m_hWnd, hParent);
}

int CGameWndRecorder::LastFit() const
{
    for (auto it = m_records.rbegin(); it != m_records.rend(); ++it) {
        if (it->message == WM_GAMEWND_FIT)
            return static_cast<int>(it->wParam);
    }
    return -1;
}

LPARAM CGameWndRecorder::LastFitDpi() const
{
    for (auto it = m_records.rbegin(); it != m_records.rend(); ++it) {
        if (it->message == WM_GAMEWND_FIT)
            return it->lParam;
    }
    return -1;
}

int CGameWndRecorder::Count(UINT message) const
{
    int n = 0;
    for (const Record& r : m_records)
        n += r.message == message ? 1 : 0;
    return n;
}

LRESULT CALLBACK CGameWndRecorder::WndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == WM_NCCREATE) {
        auto* pcs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pcs->lpCreateParams));
    }
    auto* self = reinterpret_cast<CGameWndRecorder*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (self && (uMsg == WM_GAMEWND_FIT || uMsg == WM_GAMEWND_REFRESH || uMsg == WM_CLOSE)) {
        self->m_records.push_back(Record{uMsg, wParam, lParam});
        // A game window closes its own process; this one stays for the test to read.
        return 0;
    }
    return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
}

bool KeyIsFree(UINT nModifiers, UINT nKey)
{
    HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    const bool bFree = ::RegisterHotKey(hWnd, 77, nModifiers, nKey) != FALSE;
    if (bFree)
        ::UnregisterHotKey(hWnd, 77);
    ::DestroyWindow(hWnd);
    return bFree;
}

