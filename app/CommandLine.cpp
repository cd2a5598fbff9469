#include "app/CommandLine.h"

namespace {
std::wstring Text(const CString& str)
{
    return std::wstring(static_cast<LPCWSTR>(str), size_t(str.GetLength()));
}
}  // namespace

ProcessRole ClassifyCommandLine(const CString& strCmdLine)
{
    return ClassifyCommandLineText(Text(strCmdLine));
}

CString SwitchArgument(const CString& strCmdLine)
{
    return CString(SwitchArgumentText(Text(strCmdLine)));
}

GameWindowSwitches ParseGameWindowSwitches(const CString& strCmdLine)
{
    const GameWindowSwitchText parsed = ParseGameWindowSwitchText(Text(strCmdLine));
    GameWindowSwitches result;
    // Window handles are 32-bit values on every Windows; a 64-bit process sign-extends them.
    result.hFrameWnd = reinterpret_cast<HWND>(static_cast<LONG_PTR>(parsed.nFrameWnd));
    result.strGameUrl = CString(parsed.strGameUrl);
    return result;
}
