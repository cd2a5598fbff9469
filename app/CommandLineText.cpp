#include "app/CommandLineText.h"

ProcessRole ClassifyCommandLineText(const std::wstring& strCmdLine)
{
    const std::wstring first = strCmdLine.substr(0, 2);
    if (first == L"-d")
        return ProcessRole::UpdateStep;
    if (strCmdLine.size() >= 2 && strCmdLine.compare(strCmdLine.size() - 2, 2, L"-u") == 0)
        return ProcessRole::UninstallPrompt;
    if (first == L"-u")
        return ProcessRole::Uninstall;
    return ProcessRole::Other;
}

std::wstring SwitchArgumentText(const std::wstring& strCmdLine)
{
    return strCmdLine.size() > 3 ? strCmdLine.substr(3) : std::wstring();
}

namespace {
// Leading decimal digits with an optional sign, as a 32-bit window handle value. The digits end at
// the first other character; no digits, or a value outside both the signed and the unsigned 32-bit
// range, gives 0.
std::int32_t ParseHandle(const std::wstring& text)
{
    size_t i = 0;
    const size_t n = text.size();
    bool negative = false;
    if (i < n && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    unsigned long long value = 0;
    bool any = false;
    for (; i < n && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        any = true;
        value = value * 10 + static_cast<unsigned>(text[i] - L'0');
        if (value > 0xFFFFFFFFull)
            return 0;
    }
    if (!any)
        return 0;
    if (negative && value > 0x80000000ull)
        return 0;
    const auto bits = static_cast<std::uint32_t>(negative ? 0u - static_cast<std::uint32_t>(value)
                                                          : static_cast<std::uint32_t>(value));
    return static_cast<std::int32_t>(bits);
}
}  // namespace

GameWindowSwitchText ParseGameWindowSwitchText(const std::wstring& strCmdLine)
{
    static const wchar_t kFrame[] = L"-frameWnd=";
    static const wchar_t kUrl[] = L"-gameurl=";
    constexpr size_t kFrameLength = sizeof kFrame / sizeof kFrame[0] - 1;
    constexpr size_t kUrlLength = sizeof kUrl / sizeof kUrl[0] - 1;
    GameWindowSwitchText result;
    std::wstring rest = strCmdLine;
    size_t at = rest.find(kFrame);
    if (at != std::wstring::npos) {
        rest = rest.substr(at + kFrameLength);
        const size_t space = rest.find(L' ');
        if (space != std::wstring::npos) {
            result.nFrameWnd = ParseHandle(rest.substr(0, space));
            rest = rest.substr(space);
        }
    }
    at = rest.find(kUrl);
    if (at != std::wstring::npos)
        result.strGameUrl = rest.substr(at + kUrlLength);
    return result;
}
