// The archive reader's core: finds the central directory of a ZIP archive held in memory, walks its
// entries, checks local headers against it and streams entry data through zlib's raw inflate with a
// CRC-32 check. It uses no Windows types, so it builds and is fuzzed natively as well; the handle API
// over it lives in ZipReader.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Results of the walker. zlib's own negative codes pass through unchanged.
constexpr int ZIPW_OK = 0;
constexpr int ZIPW_READ_ERROR = -1;
constexpr int ZIPW_END_OF_LIST = -100;
constexpr int ZIPW_BAD_ARG = -102;
constexpr int ZIPW_BAD_ZIP = -103;
constexpr int ZIPW_NO_MEMORY = -104;
constexpr int ZIPW_CRC_ERROR = -105;
constexpr int ZIPW_BAD_PASSWORD = -106;
constexpr int ZIPW_BAD_DATA = -107;   // the data does not match what the directory declares
constexpr int ZIPW_TOO_LARGE = -108;  // the entry would pass the output allowance of the archive
constexpr int ZIPW_BAD_NAME = -109;   // the stored name is too long or not UTF-8

// Nothing this program unpacks comes near this; it keeps a hostile archive from filling the disk.
constexpr uint64_t kZipMaxTotalOutput = 16u * 1024 * 1024;
// Both directions move data in pieces of this size.
constexpr uint32_t kZipPieceSize = 16384;
// Longest stored name in bytes; the terminator of a 260-character field needs the last place.
constexpr uint32_t kZipMaxNameBytes = 259;

// Windows file attribute bits as the archive maps them.
constexpr uint32_t kZipAttrReadOnly = 0x01;
constexpr uint32_t kZipAttrHidden = 0x02;
constexpr uint32_t kZipAttrSystem = 0x04;
constexpr uint32_t kZipAttrDirectory = 0x10;
constexpr uint32_t kZipAttrArchive = 0x20;

struct ZipDosTime
{
    int nYear, nMonth, nDay, nHour, nMinute, nSecond;
};

// One entry as the reader describes it.
struct ZipEntryDesc
{
    int nIndex = -1;
    std::u16string strName;          // sanitised, relative
    uint32_t nAttributes = 0;
    ZipDosTime dosTime = {};
    bool bHasModTime = false, bHasAccessTime = false, bHasCreateTime = false;
    int64_t nModTime = 0, nAccessTime = 0, nCreateTime = 0;   // Unix seconds from a "UT" record
    int32_t nCompressedSize = 0;
    int32_t nUncompressedSize = 0;
};

class CZipCore
{
public:
    explicit CZipCore(uint64_t nOutputAllowance = kZipMaxTotalOutput);
    ~CZipCore();
    CZipCore(const CZipCore&) = delete;
    CZipCore& operator=(const CZipCore&) = delete;

    // Opens the archive in [pData, pData + nSize); the memory must outlive the object.
    int Open(const void* pData, size_t nSize);
    bool IsOpen() const { return m_bOpen; }
    int GetEntryCount() const { return m_nEntryCount; }

    // Fills desc for one entry: the central header, the checked local header, name and times.
    int Describe(int nIndex, ZipEntryDesc& desc);

    // Streams one entry. ReadEntry returns the count of bytes produced, 0 once the entry has ended
    // with its declared size and CRC, or a negative result; after a failure it keeps failing.
    int OpenEntry(int nIndex);
    int ReadEntry(void* pOut, uint32_t nMax);
    int CloseEntry();
    bool IsEntryOpen() const { return m_pEntry != nullptr; }

    uint64_t GetBytesProduced() const { return m_nProduced; }

private:
    struct CentralHeader
    {
        uint16_t nVersionMadeBy, nVersionNeeded, nFlags, nMethod;
        uint32_t nDosDateTime, nCrc, nCompressedSize, nUncompressedSize;
        uint16_t nNameLength, nExtraLength, nCommentLength;
        uint32_t nExternalAttributes, nLocalOffset;
    };
    struct LocalCheck
    {
        uint64_t nDataStart;      // absolute position in the memory block
        uint64_t nExtraStart;
        uint16_t nExtraLength;
    };
    struct OpenEntryState;

    bool ReadAt(uint64_t nPos, void* pDst, size_t nCount) const;
    bool ReadCentralHeader(uint64_t nPos, CentralHeader& hdr) const;
    int MoveTo(int nIndex);
    int CheckLocalHeader(LocalCheck& check) const;
    int FinishEntry();
    int FailEntry(int nResult);

    const uint8_t* m_pData = nullptr;
    uint64_t m_nSize = 0;
    bool m_bOpen = false;
    int m_nEntryCount = 0;
    uint64_t m_nCentralOffset = 0;     // as stored, before the shift
    uint64_t m_nCentralSize = 0;
    uint64_t m_nBytesBefore = 0;       // other data in front of the archive
    std::vector<uint64_t> m_headerPositions;   // central header of each reachable entry
    std::vector<uint32_t> m_sortedLocalOffsets;
    int m_nCurrent = -1;
    CentralHeader m_current = {};
    uint64_t m_nAllowance;
    uint64_t m_nProduced = 0;
    std::unique_ptr<OpenEntryState> m_pEntry;
};
