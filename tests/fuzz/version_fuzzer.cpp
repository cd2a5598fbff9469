// libFuzzer target over the version-text comparison (start/VersionNumber.cpp). The input is split
// at its first two zero bytes into three texts. Properties checked, beyond not crashing:
// - parsing agrees with a plain reference reading of the leading dotted digits;
// - the parts written back as dotted text parse to the same parts;
// - comparison is reflexive, antisymmetric and transitive, ignores trailing zero parts, agrees with
//   the reference order, and IsZero means "equal to the unknown version".
#include "start/VersionNumber.h"
#include "tests/fuzz/FuzzText.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool Digit(wchar_t ch)
{
    return ch >= L'0' && ch <= L'9';
}

// Runs of digits joined by single dots at the start of the text; values saturate at 2^32 - 1.
std::vector<std::uint32_t> ReferenceParts(const std::wstring& text)
{
    std::vector<std::uint32_t> parts;
    size_t i = 0;
    while (i < text.size() && Digit(text[i])) {
        const size_t start = i;
        while (i < text.size() && Digit(text[i]))
            ++i;
        std::wstring run = text.substr(start, i - start);
        run.erase(0, run.find_first_not_of(L'0'));
        const bool bHuge = run.size() > 10 || (run.size() == 10 && run > L"4294967295");
        parts.push_back(bHuge ? UINT32_MAX : std::uint32_t(run.empty() ? 0 : std::stoull(run)));
        if (i + 1 < text.size() && text[i] == L'.' && Digit(text[i + 1]))
            ++i;
        else
            break;
    }
    return parts;
}

int ReferenceCompare(std::vector<std::uint32_t> a, std::vector<std::uint32_t> b)
{
    a.resize(std::max(a.size(), b.size()), 0);
    b.resize(a.size(), 0);
    return a < b ? -1 : (b < a ? 1 : 0);
}

std::wstring Format(const std::vector<std::uint32_t>& parts)
{
    std::wstring text;
    for (size_t i = 0; i < parts.size(); ++i)
        text += (i ? L"." : L"") + std::to_wstring(parts[i]);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::wstring input = FuzzText(data, size);
    std::wstring texts[3];
    size_t from = 0;
    for (int i = 0; i < 3; ++i) {
        const size_t zero = i < 2 ? input.find(L'\0', from) : std::wstring::npos;
        texts[i] = input.substr(from, zero == std::wstring::npos ? std::wstring::npos : zero - from);
        from = zero == std::wstring::npos ? input.size() : zero + 1;
    }
    CVersionNumber versions[3];
    for (int i = 0; i < 3; ++i) {
        versions[i] = CVersionNumber::Parse(texts[i].c_str());
        if (versions[i].Parts() != ReferenceParts(texts[i]))
            Fail("parts differ from the reference reading", texts[i]);
        const std::wstring formatted = Format(versions[i].Parts());
        if (CVersionNumber::Parse(formatted.c_str()).Parts() != versions[i].Parts())
            Fail("formatted parts did not parse back", formatted);
        if (versions[i].Compare(versions[i]) != 0)
            Fail("not equal to itself", texts[i]);
        if (versions[i].IsZero() != (versions[i].Compare(CVersionNumber()) == 0))
            Fail("IsZero disagrees with the unknown version", texts[i]);
        const std::wstring padded = formatted.empty() ? formatted : formatted + L".0.0";
        if (!padded.empty() && !(CVersionNumber::Parse(padded.c_str()) == versions[i]))
            Fail("trailing zero parts changed the order", padded);
    }
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const int c = versions[i].Compare(versions[j]);
            if (c < -1 || c > 1 || c != -versions[j].Compare(versions[i]))
                Fail("comparison is not antisymmetric", texts[i] + L" | " + texts[j]);
            if (c != ReferenceCompare(versions[i].Parts(), versions[j].Parts()))
                Fail("comparison differs from the reference", texts[i] + L" | " + texts[j]);
            for (int k = 0; k < 3; ++k) {
                if (c <= 0 && versions[j].Compare(versions[k]) <= 0 && versions[i].Compare(versions[k]) > 0)
                    Fail("comparison is not transitive", texts[i] + L" | " + texts[j] + L" | " + texts[k]);
            }
        }
    }
    return 0;
}
