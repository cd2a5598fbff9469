// Waiting for something a test cannot be told about: a condition polled until it holds or the time
// is up, with or without dispatching this thread's messages meanwhile.
#pragma once
#include <windows.h>

#include <functional>

#include "framework/CWnd.h"

// Checks done() every nStepMs until it holds; false when it still does not after nTimeoutMs.
inline bool WaitUntil(const std::function<bool()>& done, DWORD nTimeoutMs, DWORD nStepMs = 50)
{
    const DWORD dwStart = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - dwStart >= nTimeoutMs)
            return done();
        ::Sleep(nStepMs);
    }
    return true;
}

// How waiting dispatches: plainly, or first through the framework's PreTranslateMessage chain as the
// program's own message loops do (dialog keys, accelerators).
enum class Dispatch { Plain, ThroughFramework };

// As WaitUntil, while this thread's windows get their messages (a window of this thread that is
// sent to from another process answers only while its thread dispatches).
inline bool PumpUntil(const std::function<bool()>& done, DWORD nTimeoutMs, Dispatch how = Dispatch::Plain)
{
    const DWORD dwStart = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (how == Dispatch::ThroughFramework && CWnd::WalkPreTranslateTree(nullptr, &msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done())
            return true;
        if (::GetTickCount() - dwStart >= nTimeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Dispatches this thread's messages for nMs.
inline void PumpFor(DWORD nMs, Dispatch how = Dispatch::Plain)
{
    PumpUntil([] { return false; }, nMs, how);
}
