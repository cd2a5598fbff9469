#include "start/zip/ZipCore.h"

#include "start/zip/ZipFields.h"
#include "start/zip/ZipName.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr uint32_t kEndSignature = 0x06054B50;
constexpr uint32_t kCentralSignature = 0x02014B50;
constexpr uint32_t kLocalSignature = 0x04034B50;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kLocalHeaderSize = 30;
constexpr uint64_t kEndSearchReach = 65535;
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;
constexpr uint32_t kLargestSize = 0x7FFFFFFF;   // sizes are signed 32-bit in the description

}  // namespace

struct CZipCore::OpenEntryState
{
    z_stream stream = {};
    bool bInflating = false;
    uint16_t nMethod = 0;
    uint64_t nDataPos = 0;
    uint32_t nCompressedLeft = 0;
    uint32_t nUncompressedLeft = 0;
    uint32_t nCrc = 0;
    uint32_t nExpectedCrc = 0;
    bool bStreamEnded = false;
    bool bFinished = false;
    int nFailure = ZIPW_OK;
};

CZipCore::CZipCore(uint64_t nOutputAllowance) : m_nAllowance(nOutputAllowance)
{
}

CZipCore::~CZipCore()
{
    CloseEntry();
}

bool CZipCore::ReadAt(uint64_t nPos, void* pDst, size_t nCount) const
{
    if (nPos > m_nSize || nCount > m_nSize - nPos)
        return false;
    if (nCount != 0)
        memcpy(pDst, m_pData + nPos, nCount);
    return true;
}

int CZipCore::Open(const void* pData, size_t nSize)
{
    if (m_bOpen || (pData == nullptr && nSize != 0))
        return ZIPW_BAD_ARG;
    m_pData = static_cast<const uint8_t*>(pData);
    m_nSize = nSize;
    if (m_nSize < 4)
        return ZIPW_BAD_ZIP;

    // The end record is the last signature within reach of the end; a comment may follow it.
    const uint64_t lowest = m_nSize > kEndSearchReach ? m_nSize - kEndSearchReach : 0;
    uint64_t pos = m_nSize - 4;
    bool bFound = false;
    for (;;) {
        if (ZipGet32(m_pData + pos) == kEndSignature) {
            bFound = true;
            break;
        }
        if (pos == lowest)
            break;
        --pos;
    }
    uint8_t record[kEndRecordSize];
    if (!bFound || !ReadAt(pos, record, sizeof record))
        return ZIPW_BAD_ZIP;
    const uint16_t disk = ZipGet16(record + 4);
    const uint16_t centralDisk = ZipGet16(record + 6);
    const uint16_t entriesHere = ZipGet16(record + 8);
    const uint16_t entriesTotal = ZipGet16(record + 10);
    m_nCentralSize = ZipGet32(record + 12);
    m_nCentralOffset = ZipGet32(record + 16);
    // 0xFFFF and 0xFFFFFFFF announce a ZIP64 record, which this reader does not read.
    if (disk != 0 || centralDisk != 0 || entriesHere != entriesTotal || entriesTotal == 0xFFFF ||
        m_nCentralSize == 0xFFFFFFFF || m_nCentralOffset == 0xFFFFFFFF)
        return ZIPW_BAD_ZIP;
    if (pos < m_nCentralOffset + m_nCentralSize)
        return ZIPW_BAD_ZIP;
    if (uint64_t(entriesTotal) * kCentralHeaderSize > m_nCentralSize)
        return ZIPW_BAD_ZIP;
    m_nBytesBefore = pos - (m_nCentralOffset + m_nCentralSize);
    m_nEntryCount = entriesTotal;

    // One pass over the directory: later moves jump straight to a header, and the sorted local
    // offsets tell where each entry's data must end.
    m_headerPositions.clear();
    m_sortedLocalOffsets.clear();
    m_headerPositions.reserve(entriesTotal);
    m_sortedLocalOffsets.reserve(entriesTotal);
    uint64_t headerPos = m_nCentralOffset;
    for (int i = 0; i < m_nEntryCount; ++i) {
        CentralHeader hdr;
        if (!ReadCentralHeader(headerPos, hdr))
            break;
        m_headerPositions.push_back(headerPos);
        m_sortedLocalOffsets.push_back(hdr.nLocalOffset);
        headerPos += kCentralHeaderSize + hdr.nNameLength + hdr.nExtraLength + hdr.nCommentLength;
    }
    std::sort(m_sortedLocalOffsets.begin(), m_sortedLocalOffsets.end());
    m_bOpen = true;
    m_nCurrent = -1;
    MoveTo(0);   // a bad first entry leaves the walker without a current entry, not the archive shut
    return ZIPW_OK;
}

bool CZipCore::ReadCentralHeader(uint64_t nPos, CentralHeader& hdr) const
{
    const uint64_t centralEnd = m_nCentralOffset + m_nCentralSize;
    if (nPos + kCentralHeaderSize > centralEnd)
        return false;
    uint8_t raw[kCentralHeaderSize];
    if (!ReadAt(nPos + m_nBytesBefore, raw, sizeof raw) || ZipGet32(raw) != kCentralSignature)
        return false;
    hdr.nVersionMadeBy = ZipGet16(raw + 4);
    hdr.nVersionNeeded = ZipGet16(raw + 6);
    hdr.nFlags = ZipGet16(raw + 8);
    hdr.nMethod = ZipGet16(raw + 10);
    hdr.nDosDateTime = ZipGet32(raw + 12);
    hdr.nCrc = ZipGet32(raw + 16);
    hdr.nCompressedSize = ZipGet32(raw + 20);
    hdr.nUncompressedSize = ZipGet32(raw + 24);
    hdr.nNameLength = ZipGet16(raw + 28);
    hdr.nExtraLength = ZipGet16(raw + 30);
    hdr.nCommentLength = ZipGet16(raw + 32);
    hdr.nExternalAttributes = ZipGet32(raw + 38);
    hdr.nLocalOffset = ZipGet32(raw + 42);
    return nPos + kCentralHeaderSize + hdr.nNameLength + hdr.nExtraLength + hdr.nCommentLength <=
           centralEnd;
}

int CZipCore::MoveTo(int nIndex)
{
    if (!m_bOpen || nIndex < 0 || nIndex >= m_nEntryCount)
        return ZIPW_BAD_ARG;
    if (nIndex == m_nCurrent)
        return ZIPW_OK;
    m_nCurrent = -1;
    if (size_t(nIndex) >= m_headerPositions.size() ||
        !ReadCentralHeader(m_headerPositions[nIndex], m_current))
        return ZIPW_BAD_ZIP;
    m_nCurrent = nIndex;
    return ZIPW_OK;
}

int CZipCore::CheckLocalHeader(LocalCheck& check) const
{
    const CentralHeader& c = m_current;
    if (c.nCompressedSize > kLargestSize || c.nUncompressedSize > kLargestSize ||
        c.nLocalOffset == 0xFFFFFFFF)
        return ZIPW_BAD_ZIP;
    uint8_t raw[kLocalHeaderSize];
    const uint64_t localPos = uint64_t(c.nLocalOffset) + m_nBytesBefore;
    if (!ReadAt(localPos, raw, sizeof raw) || ZipGet32(raw) != kLocalSignature)
        return ZIPW_BAD_ZIP;
    const uint16_t method = ZipGet16(raw + 8);
    if (method != c.nMethod || (method != kMethodStored && method != kMethodDeflated))
        return ZIPW_BAD_ZIP;
    if (!(c.nFlags & kFlagDataDescriptor) &&
        (ZipGet32(raw + 14) != c.nCrc || ZipGet32(raw + 18) != c.nCompressedSize ||
         ZipGet32(raw + 22) != c.nUncompressedSize))
        return ZIPW_BAD_ZIP;
    if (ZipGet16(raw + 26) != c.nNameLength)
        return ZIPW_BAD_ZIP;
    check.nExtraLength = ZipGet16(raw + 28);
    check.nExtraStart = localPos + kLocalHeaderSize + c.nNameLength;
    check.nDataStart = check.nExtraStart + check.nExtraLength;

    // The data must end before the next local header and before the directory, and no other
    // entry may claim the same header: overlapping entries are how small archives explode.
    const uint64_t dataEnd = check.nDataStart - m_nBytesBefore + c.nCompressedSize;
    const auto same = std::equal_range(m_sortedLocalOffsets.begin(), m_sortedLocalOffsets.end(),
                                       c.nLocalOffset);
    if (same.second - same.first > 1)
        return ZIPW_BAD_ZIP;
    if (same.second != m_sortedLocalOffsets.end() && dataEnd > *same.second)
        return ZIPW_BAD_ZIP;
    if (dataEnd > m_nCentralOffset)
        return ZIPW_BAD_ZIP;
    return ZIPW_OK;
}

int CZipCore::Describe(int nIndex, ZipEntryDesc& desc)
{
    desc = ZipEntryDesc();
    int result = MoveTo(nIndex);
    if (result != ZIPW_OK)
        return result == ZIPW_BAD_ARG ? result : ZIPW_BAD_ZIP;
    LocalCheck check;
    result = CheckLocalHeader(check);
    if (result != ZIPW_OK)
        return result;
    const CentralHeader& c = m_current;
    if (c.nNameLength > kZipMaxNameBytes)
        return ZIPW_BAD_NAME;
    uint8_t name[kZipMaxNameBytes];
    if (!ReadAt(m_headerPositions[nIndex] + m_nBytesBefore + kCentralHeaderSize, name, c.nNameLength))
        return ZIPW_BAD_ZIP;
    std::u16string decoded;
    if (!DecodeZipNameUtf8(name, c.nNameLength, decoded))
        return ZIPW_BAD_NAME;
    std::vector<uint8_t> extra(check.nExtraLength);
    if (!ReadAt(check.nExtraStart, extra.data(), extra.size()))
        return ZIPW_READ_ERROR;

    desc.nIndex = nIndex;
    desc.strName = SanitiseZipName(std::move(decoded));
    desc.nAttributes = MapZipAttributes(c.nVersionMadeBy, c.nExternalAttributes);
    desc.dosTime = SplitZipDosTime(c.nDosDateTime);
    ReadZipExtendedTimestamp(extra.data(), extra.size(), desc);
    desc.nCompressedSize = int32_t(c.nCompressedSize);
    desc.nUncompressedSize = int32_t(c.nUncompressedSize);
    return ZIPW_OK;
}

int CZipCore::OpenEntry(int nIndex)
{
    CloseEntry();
    int result = MoveTo(nIndex);
    if (result != ZIPW_OK)
        return result == ZIPW_BAD_ARG ? result : ZIPW_BAD_ZIP;
    LocalCheck check;
    result = CheckLocalHeader(check);
    if (result != ZIPW_OK)
        return result;
    const CentralHeader& c = m_current;
    // No password can be given to this reader, so an encrypted entry cannot be read.
    if (c.nFlags & kFlagEncrypted)
        return ZIPW_BAD_PASSWORD;
    if (c.nMethod == kMethodStored && c.nCompressedSize != c.nUncompressedSize)
        return ZIPW_BAD_DATA;
    if (c.nUncompressedSize > m_nAllowance - m_nProduced)
        return ZIPW_TOO_LARGE;

    std::unique_ptr<OpenEntryState> entry(new (std::nothrow) OpenEntryState);
    if (!entry)
        return ZIPW_NO_MEMORY;
    entry->nMethod = c.nMethod;
    entry->nDataPos = check.nDataStart;
    entry->nCompressedLeft = c.nCompressedSize;
    entry->nUncompressedLeft = c.nUncompressedSize;
    entry->nExpectedCrc = c.nCrc;
    entry->nCrc = uint32_t(crc32(0, Z_NULL, 0));
    if (c.nMethod == kMethodDeflated) {
        if (inflateInit2(&entry->stream, -MAX_WBITS) != Z_OK)
            return ZIPW_NO_MEMORY;
        entry->bInflating = true;
    }
    m_pEntry = std::move(entry);
    return ZIPW_OK;
}

int CZipCore::FailEntry(int nResult)
{
    m_pEntry->nFailure = nResult;
    return nResult;
}

int CZipCore::FinishEntry()
{
    OpenEntryState& e = *m_pEntry;
    const bool bAllInputUsed = e.nCompressedLeft == 0 && (!e.bInflating || e.stream.avail_in == 0);
    if (e.nUncompressedLeft != 0 || !bAllInputUsed || (e.bInflating && !e.bStreamEnded))
        return FailEntry(ZIPW_BAD_DATA);
    if (e.nCrc != e.nExpectedCrc)
        return FailEntry(ZIPW_CRC_ERROR);
    e.bFinished = true;
    return 0;
}

int CZipCore::ReadEntry(void* pOut, uint32_t nMax)
{
    if (!m_pEntry || pOut == nullptr || nMax == 0)
        return ZIPW_BAD_ARG;
    OpenEntryState& e = *m_pEntry;
    if (e.nFailure != ZIPW_OK)
        return e.nFailure;
    if (e.bFinished)
        return 0;
    uint8_t* out = static_cast<uint8_t*>(pOut);
    const uint32_t want = std::min(nMax, e.nUncompressedLeft);

    if (!e.bInflating) {
        if (want == 0)
            return FinishEntry();
        memcpy(out, m_pData + e.nDataPos, want);
        e.nDataPos += want;
        e.nCompressedLeft -= want;
        e.nUncompressedLeft -= want;
        e.nCrc = uint32_t(crc32(e.nCrc, out, want));
        m_nProduced += want;
        return int(want);
    }

    if (e.bStreamEnded)
        return FinishEntry();
    for (;;) {
        if (e.stream.avail_in == 0 && e.nCompressedLeft > 0) {
            const uint32_t piece = std::min(kZipPieceSize, e.nCompressedLeft);
            e.stream.next_in = const_cast<Bytef*>(m_pData + e.nDataPos);
            e.stream.avail_in = piece;
            e.nDataPos += piece;
            e.nCompressedLeft -= piece;
        }
        // Once the declared size is out, one spare byte shows whether the stream ends there or
        // runs on.
        uint8_t spare = 0;
        const bool bProbing = want == 0;
        e.stream.next_out = bProbing ? &spare : out;
        e.stream.avail_out = bProbing ? 1 : want;
        const uInt inputBefore = e.stream.avail_in;
        const int rc = inflate(&e.stream, Z_NO_FLUSH);
        const uint32_t got = (bProbing ? 1 : want) - e.stream.avail_out;
        if (bProbing && got != 0)
            return FailEntry(ZIPW_BAD_DATA);
        if (got != 0) {
            e.nCrc = uint32_t(crc32(e.nCrc, out, got));
            e.nUncompressedLeft -= got;
            m_nProduced += got;
        }
        if (rc == Z_STREAM_END) {
            e.bStreamEnded = true;
            return got != 0 ? int(got) : FinishEntry();
        }
        if (rc != Z_OK && rc != Z_BUF_ERROR)
            return FailEntry(rc < 0 ? rc : ZIPW_BAD_DATA);
        if (got != 0)
            return int(got);
        const bool bInputMoved = e.stream.avail_in != inputBefore;
        if (!bInputMoved && e.stream.avail_in == 0 && e.nCompressedLeft == 0)
            return FailEntry(ZIPW_BAD_DATA);   // the stream stops short of its end
        if (!bInputMoved && e.stream.avail_in != 0)
            return FailEntry(ZIPW_BAD_DATA);   // no progress possible
    }
}

int CZipCore::CloseEntry()
{
    if (!m_pEntry)
        return ZIPW_OK;
    int result = ZIPW_OK;
    if (m_pEntry->nUncompressedLeft == 0 && m_pEntry->nCrc != m_pEntry->nExpectedCrc)
        result = ZIPW_CRC_ERROR;
    if (m_pEntry->bInflating)
        inflateEnd(&m_pEntry->stream);
    m_pEntry.reset();
    return result;
}
