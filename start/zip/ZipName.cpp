#include "start/zip/ZipName.h"

namespace {

bool IsSeparator(char16_t ch)
{
    return ch == u'\\' || ch == u'/';
}

char16_t AsciiUpper(char16_t ch)
{
    return (ch >= u'a' && ch <= u'z') ? char16_t(ch - u'a' + u'A') : ch;
}

// Names that Windows opens as devices in every folder, whatever extension follows.
bool IsDeviceName(const std::u16string& stem)
{
    static const char16_t* const kPlain[] = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"};
    std::u16string upper;
    for (char16_t ch : stem)
        upper += AsciiUpper(ch);
    for (const char16_t* name : kPlain)
        if (upper == name)
            return true;
    if (upper.size() == 4 && (upper.compare(0, 3, u"COM") == 0 || upper.compare(0, 3, u"LPT") == 0)) {
        const char16_t digit = upper[3];
        return (digit >= u'0' && digit <= u'9') || digit == 0x00B9 || digit == 0x00B2 || digit == 0x00B3;
    }
    return false;
}

bool IsUsableComponent(const std::u16string& component)
{
    // Windows drops trailing dots and spaces, so "..", ". ." and "..." all name the parent or nothing.
    size_t end = component.size();
    while (end > 0 && (component[end - 1] == u'.' || component[end - 1] == u' '))
        --end;
    if (end == 0)
        return false;
    size_t stemEnd = component.find(u'.');
    if (stemEnd == std::u16string::npos)
        stemEnd = component.size();
    while (stemEnd > 0 && component[stemEnd - 1] == u' ')
        --stemEnd;
    return !IsDeviceName(component.substr(0, stemEnd));
}

}  // namespace

bool DecodeZipNameUtf8(const uint8_t* pBytes, size_t nCount, std::u16string& out)
{
    out.clear();
    size_t i = 0;
    while (i < nCount) {
        const uint8_t lead = pBytes[i];
        uint32_t cp = 0;
        size_t extra = 0;
        uint32_t minimum = 0;
        if (lead == 0) {
            return false;
        } else if (lead < 0x80) {
            cp = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            cp = lead & 0x1F; extra = 1; minimum = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            cp = lead & 0x0F; extra = 2; minimum = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            cp = lead & 0x07; extra = 3; minimum = 0x10000;
        } else {
            return false;
        }
        if (extra > nCount - i - 1)
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            const uint8_t next = pBytes[i + k];
            if ((next & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (next & 0x3F);
        }
        if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
        i += extra + 1;
    }
    return true;
}

std::u16string SanitiseZipName(std::u16string name)
{
    static const char16_t* const kParentSteps[] = {u"\\..\\", u"\\../", u"/../", u"/..\\"};
    bool bChanged = true;
    while (bChanged) {
        bChanged = false;
        if (name.size() >= 2 && name[1] == u':') {
            name.erase(0, 2);
            bChanged = true;
        }
        if (!name.empty() && IsSeparator(name[0])) {
            name.erase(0, 1);
            bChanged = true;
        }
        for (const char16_t* step : kParentSteps) {
            const size_t pos = name.find(step);
            if (pos != std::u16string::npos) {
                name.erase(0, pos + 4);
                bChanged = true;
            }
        }
    }
    return name;
}

bool IsUsableZipPath(const std::u16string& name, bool& bAbsolute)
{
    size_t start = 0;
    bAbsolute = false;
    if (name.size() >= 2 && name[1] == u':') {
        // Only "X:\..." names a place; "X:name" depends on the drive's current folder.
        const char16_t drive = AsciiUpper(name[0]);
        if (drive < u'A' || drive > u'Z' || name.size() < 3 || !IsSeparator(name[2]))
            return false;
        bAbsolute = true;
        start = 2;
    } else if (!name.empty() && IsSeparator(name[0])) {
        bAbsolute = true;
    }
    std::u16string component;
    for (size_t i = start; i <= name.size(); ++i) {
        const char16_t ch = i < name.size() ? name[i] : u'\\';
        if (IsSeparator(ch)) {
            if (!component.empty() && !IsUsableComponent(component))
                return false;
            component.clear();
            continue;
        }
        if (ch < 0x20 || ch == 0x7F || ch == u':' || ch == u'<' || ch == u'>' || ch == u'"' ||
            ch == u'|' || ch == u'?' || ch == u'*')
            return false;
        component += ch;
    }
    return true;
}
