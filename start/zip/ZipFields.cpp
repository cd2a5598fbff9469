#include "start/zip/ZipFields.h"

#include <algorithm>

namespace {

constexpr uint16_t kExtendedTimestampId = 0x5455;   // "UT"

}  // namespace

uint16_t ZipGet16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

uint32_t ZipGet32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

ZipDosTime SplitZipDosTime(uint32_t nDosDateTime)
{
    const uint32_t time = nDosDateTime & 0xFFFF;
    const uint32_t date = nDosDateTime >> 16;
    ZipDosTime t;
    t.nSecond = int(2 * (time & 0x1F));
    t.nMinute = int((time >> 5) & 0x3F);
    t.nHour = int(time >> 11);
    t.nDay = int(date & 0x1F);
    t.nMonth = int((date >> 5) & 0x0F);
    t.nYear = int(1980 + (date >> 9));
    return t;
}

uint32_t MapZipAttributes(uint16_t nVersionMadeBy, uint32_t nExternal)
{
    const unsigned host = nVersionMadeBy >> 8;
    if (host == 0 || host == 7 || host == 11 || host == 14)   // FAT, Macintosh, NTFS, VFAT
        return nExternal & (kZipAttrReadOnly | kZipAttrHidden | kZipAttrSystem | kZipAttrDirectory |
                            kZipAttrArchive);
    uint32_t attributes = kZipAttrArchive;
    if (nExternal & 0x40000000)
        attributes |= kZipAttrDirectory;
    if (!(nExternal & 0x00800000))   // the owner may not write
        attributes |= kZipAttrReadOnly;
    return attributes;
}

void ReadZipExtendedTimestamp(const uint8_t* pExtra, size_t nLength, ZipEntryDesc& desc)
{
    if (nLength <= 4)
        return;
    size_t pos = 0;
    while (nLength - pos >= 5) {
        const uint16_t id = ZipGet16(pExtra + pos);
        const size_t size = ZipGet16(pExtra + pos + 2);
        const uint8_t* data = pExtra + pos + 4;
        const size_t available = std::min(size, nLength - pos - 4);
        if (id == kExtendedTimestampId) {
            if (available == 0)
                return;
            const uint8_t flags = data[0];
            size_t at = 1;
            auto take = [&](bool& bHas, int64_t& value) {
                if (at + 4 > available)
                    return;
                value = int32_t(ZipGet32(data + at));
                bHas = true;
                at += 4;
            };
            if (flags & 1)
                take(desc.bHasModTime, desc.nModTime);
            if (flags & 2)
                take(desc.bHasAccessTime, desc.nAccessTime);
            if (flags & 4)
                take(desc.bHasCreateTime, desc.nCreateTime);
            return;
        }
        pos += 4 + size;
        if (pos > nLength)
            return;
    }
}
