// libFuzzer target over the command-line classification (app/CommandLineText.cpp). Properties
// checked, beyond not crashing:
// - the role is read from the line's ends alone: what lies between its first two and its last two
//   characters never changes it (which ends give which role is pinned by the unit tests);
// - the switch argument is the line from its fourth character on;
// - a line built as <before>-frameWnd=<number> <between>-gameurl=<url> gives back the number's
//   32 bits and the URL verbatim, whatever the input puts in the three free parts.
#include "app/CommandLineText.h"
#include "tests/fuzz/FuzzText.h"

#include <string>

namespace {

// Removes every occurrence of the switch so that a free part cannot carry one.
std::wstring Without(std::wstring text, const std::wstring& word)
{
    for (size_t at; (at = text.find(word)) != std::wstring::npos;)
        text.erase(at, 1);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::wstring line = FuzzText(data, size);
    if (line.size() >= 4 &&
        ClassifyCommandLineText(line) != ClassifyCommandLineText(line.substr(0, 2) + line.substr(line.size() - 2)))
        Fail("the middle of the line changed the role", line);
    const std::wstring argument = SwitchArgumentText(line);
    if (argument != (line.size() > 3 ? line.substr(3) : std::wstring()))
        Fail("switch argument is not the line from its fourth character", line);
    const GameWindowSwitchText plain = ParseGameWindowSwitchText(line);
    if (line.find(L"-frameWnd=") == std::wstring::npos && plain.nFrameWnd != 0)
        Fail("a handle without its switch", line);
    if (line.find(L"-gameurl=") == std::wstring::npos && !plain.strGameUrl.empty())
        Fail("a URL without its switch", line);

    // Built lines: four bytes of handle and a style byte up front, then the free parts split at
    // the first two zero characters.
    if (size < 5)
        return 0;
    const std::uint32_t bits = std::uint32_t(data[0]) | std::uint32_t(data[1]) << 8 | std::uint32_t(data[2]) << 16 |
                               std::uint32_t(data[3]) << 24;
    const std::uint8_t style = data[4];
    const std::wstring rest = FuzzText(data + 5, size - 5);
    const size_t first = rest.find(L'\0');
    const size_t second = first == std::wstring::npos ? first : rest.find(L'\0', first + 1);
    std::wstring before = rest.substr(0, first);
    std::wstring between = first == std::wstring::npos ? L"" : rest.substr(first + 1, second - first - 1);
    const std::wstring url = second == std::wstring::npos ? L"" : rest.substr(second + 1);
    before = Without(before, L"-frameWnd=");
    between = Without(between, L"-gameurl=");
    const std::int32_t value = std::int32_t(bits);
    std::wstring number;
    if ((style & 3) == 0 || value >= 0)
        number = std::to_wstring(bits);
    else
        number = std::to_wstring(std::int64_t(value));
    if ((style & 4) && number[0] != L'-')
        number = L"+" + number;
    const std::wstring built = before + L"-frameWnd=" + number + L" " + between + L"-gameurl=" + url;
    const GameWindowSwitchText parsed = ParseGameWindowSwitchText(built);
    if (parsed.nFrameWnd != value)
        Fail("the handle did not come back", built);
    if (parsed.strGameUrl != url)
        Fail("the URL did not come back", built);
    return 0;
}
