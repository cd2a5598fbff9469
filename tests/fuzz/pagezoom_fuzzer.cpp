// libFuzzer target over the stored page zoom and the zoom steps (browser/PageZoom.cpp). Properties
// checked, beyond not crashing:
// - the value read is always one of the steps;
// - it equals a plain reference reading: blanks around one run of decimal digits whose number is a
//   step, and 100 for anything else;
// - a step written back as text reads as itself, and stepping in or out from it stays on the steps,
//   moves the right way, and stops only at the ends.
#include "browser/PageZoom.h"
#include "tests/fuzz/FuzzText.h"

#include <string>

namespace {

bool Blank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t';
}

int ReferenceReading(const std::wstring& text)
{
    size_t first = 0, last = text.size();
    while (first < last && Blank(text[first]))
        ++first;
    while (last > first && Blank(text[last - 1]))
        --last;
    std::wstring digits = text.substr(first, last - first);
    if (digits.empty() || digits.find_first_not_of(L"0123456789") != std::wstring::npos)
        return kDefaultPageZoom;
    digits.erase(0, digits.find_first_not_of(L'0'));
    if (digits.size() > 3)
        return kDefaultPageZoom;
    const int value = digits.empty() ? 0 : std::stoi(digits);
    return IsPageZoomStep(value) ? value : kDefaultPageZoom;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    // Texts of the settings file end at their first zero, as the profile functions give them.
    std::wstring text = FuzzText(data, size);
    text = text.substr(0, text.find(L'\0'));
    const int zoom = ParseStoredPageZoom(text.c_str());
    if (!IsPageZoomStep(zoom))
        Fail("the value read is not a step", text);
    if (zoom != ReferenceReading(text))
        Fail("the value read differs from the reference reading", text);
    if (ParseStoredPageZoom(std::to_wstring(zoom).c_str()) != zoom)
        Fail("a step written back did not read as itself", std::to_wstring(zoom));
    const int in = NextPageZoom(zoom, PageZoomCommand::In);
    const int out = NextPageZoom(zoom, PageZoomCommand::Out);
    if (!IsPageZoomStep(in) || !IsPageZoomStep(out) || in < zoom || out > zoom)
        Fail("a step went off the steps or the wrong way", std::to_wstring(zoom));
    if ((in == zoom) != (zoom == 300) || (out == zoom) != (zoom == 50))
        Fail("a step stopped before an end", std::to_wstring(zoom));
    return 0;
}
