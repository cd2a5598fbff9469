#include "start/VersionNumber.h"

#include <algorithm>

namespace {

bool IsDigit(wchar_t ch)
{
    return ch >= L'0' && ch <= L'9';
}

}  // namespace

CVersionNumber CVersionNumber::Parse(const wchar_t* pszText)
{
    CVersionNumber version;
    if (!pszText)
        return version;
    const wchar_t* p = pszText;
    while (IsDigit(*p)) {
        std::uint64_t value = 0;
        for (; IsDigit(*p); ++p) {
            // An absurdly long part saturates instead of wrapping round to a small number.
            if (value <= UINT32_MAX)
                value = value * 10 + std::uint64_t(*p - L'0');
        }
        version.m_parts.push_back(std::uint32_t(std::min<std::uint64_t>(value, UINT32_MAX)));
        if (*p != L'.' || !IsDigit(p[1]))
            break;
        ++p;
    }
    return version;
}

bool CVersionNumber::IsZero() const
{
    return std::all_of(m_parts.begin(), m_parts.end(), [](std::uint32_t part) { return part == 0; });
}

int CVersionNumber::Compare(const CVersionNumber& other) const
{
    const size_t count = std::max(m_parts.size(), other.m_parts.size());
    for (size_t i = 0; i < count; ++i) {
        const std::uint32_t mine = i < m_parts.size() ? m_parts[i] : 0;
        const std::uint32_t theirs = i < other.m_parts.size() ? other.m_parts[i] : 0;
        if (mine != theirs)
            return mine < theirs ? -1 : 1;
    }
    return 0;
}
