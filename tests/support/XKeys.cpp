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
