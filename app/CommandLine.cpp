#include "app/CommandLine.h"

ProcessRole ClassifyCommandLine(const CString& strCmdLine)
{
    CString first = strCmdLine.Left(2);
    if (first == L"-d")
        return ProcessRole::UpdateStep;
    if (strCmdLine.Right(2) == L"-u")
        return ProcessRole::UninstallPrompt;
    if (first == L"-u")
        return ProcessRole::Uninstall;
    return ProcessRole::Other;
}

CString SwitchArgument(const CString& strCmdLine)
{
    return strCmdLine.Mid(3);
}

namespace {
// Leading decimal digits with an optional sign, as a 32-bit window handle value. The digits end at
// the first other character; no digits, or a value outside both the signed and the unsigned 32-bit
// range, gives 0.
HWND ParseHandle(const CString& text)
{
    int i = 0, n = text.GetLength();
    bool negative = false;
    if (i < n && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    unsigned long long value = 0;
    bool any = false;
    for (; i < n && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        any = true;
        value = value * 10 + static_cast<unsigned>(text[i] - L'0');
        if (value > 0xFFFFFFFFull)
            return nullptr;
    }
    if (!any)
        return nullptr;
    if (negative && value > 0x80000000ull)
        return nullptr;
    // Window handles are 32-bit values on every Windows; a 64-bit process sign-extends them.
    auto bits = static_cast<unsigned int>(negative ? 0u - static_cast<unsigned int>(value) : static_cast<unsigned int>(value));
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<int>(bits)));
}
}  // namespace

GameWindowSwitches ParseGameWindowSwitches(const CString& strCmdLine)
{
    GameWindowSwitches result;
    CString rest = strCmdLine;
    static const wchar_t kFrame[] = L"-frameWnd=";
    static const wchar_t kUrl[] = L"-gameurl=";
    int at = rest.Find(kFrame);
    if (at >= 0) {
        rest = rest.Mid(at + 10);
        int space = rest.Find(L' ');
        if (space >= 0) {
            result.hFrameWnd = ParseHandle(rest.Left(space));
            rest = rest.Mid(space);
        }
    }
    at = rest.Find(kUrl);
    if (at >= 0)
        result.strGameUrl = rest.Mid(at + 9);
    return result;
}
