#include "XKeys.h"
#include "framework/Handles.h"

bool TypeKeys(HWND hWnd, const std::wstring& strKeys)
{
    const auto xid = reinterpret_cast<ULONG_PTR>(::GetPropW(hWnd, L"__wine_x11_whole_window"));
    if (!xid)
        return false;
    std::wstring command = L"Z:\\usr\\bin\\xdotool windowfocus " + std::to_wstring(xid) + L" key " + strKeys;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return false;
    UniqueHandle hThread(pi.hThread), hProcess(pi.hProcess);
    ::WaitForSingleObject(hProcess.get(), 10000);
    return true;
}

namespace {
INPUT KeyInput(WORD wVk, bool bUp)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = wVk;
    input.ki.dwFlags = bUp ? KEYEVENTF_KEYUP : 0;
    return input;
}

bool SendAll(INPUT* pInputs, UINT nInputs)
{
    const bool bSent = ::SendInput(nInputs, pInputs, sizeof(INPUT)) == nInputs;
    // The events reach the focused thread's queue asynchronously; give it a moment to take them.
    ::Sleep(200);
    return bSent;
}
}  // namespace

bool SendCtrlKey(WORD wVk)
{
    INPUT inputs[] = {KeyInput(VK_CONTROL, false), KeyInput(wVk, false), KeyInput(wVk, true),
                      KeyInput(VK_CONTROL, true)};
    return SendAll(inputs, 4);
}

bool SendCtrlWheel(int nDelta)
{
    INPUT wheel{};
    wheel.type = INPUT_MOUSE;
    wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
    wheel.mi.mouseData = static_cast<DWORD>(nDelta);
    INPUT inputs[] = {KeyInput(VK_CONTROL, false), wheel, KeyInput(VK_CONTROL, true)};
    return SendAll(inputs, 3);
}
