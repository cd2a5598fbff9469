// Version numbers of executables, compared part by part ("1.0.1.0" is newer than "1.0.0.10"), so
// that an older download never replaces a newer installed client.
#pragma once

#include <cstdint>
#include <vector>

class CVersionNumber
{
public:
    CVersionNumber() = default;
    // The dotted decimal parts at the start of a FileVersion text; the first character that is
    // neither a digit nor a dot between digits ends it. A text without leading digits (a missing
    // file's "", "None VerSion Supprot") gives the unknown version.
    static CVersionNumber Parse(const wchar_t* pszText);

    // Unknown, or every part zero: there is no usable version to keep.
    bool IsZero() const;
    // Missing trailing parts count as zero: "1.2" equals "1.2.0.0".
    int Compare(const CVersionNumber& other) const;
    bool operator<(const CVersionNumber& other) const { return Compare(other) < 0; }
    bool operator==(const CVersionNumber& other) const { return Compare(other) == 0; }

    const std::vector<std::uint32_t>& Parts() const { return m_parts; }

private:
    std::vector<std::uint32_t> m_parts;
};
