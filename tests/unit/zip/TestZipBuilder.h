// Writes ZIP archives for the reader's tests and benchmark: stored or deflated entries, extra
// fields, comments, data in front, and every header field open to being made wrong on purpose.
// No Windows types, so the native benchmark uses it as well.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TestZipEntry
{
    std::string strName;                 // UTF-8 bytes as stored
    std::vector<uint8_t> data;           // uncompressed content
    uint16_t nMethod = 8;                // 0 stored, 8 deflated
    uint16_t nFlags = 0;
    uint16_t nVersionMadeBy = 20;        // host 0 (FAT)
    uint32_t nExternalAttributes = 0x20;
    uint32_t nDosDateTime = 0x5C2A6B5A;  // 2026-01-10 13:26:52
    std::vector<uint8_t> localExtra;
    std::vector<uint8_t> centralExtra;
    std::string strComment;
    bool bDataDescriptor = false;        // zero sizes and CRC in the local header, descriptor after
    // Deliberately wrong archives: the stored bytes and the declared size and CRC, when set.
    bool bUseRawPacked = false;
    std::vector<uint8_t> rawPacked;
    int64_t nDeclaredSize = -1;
    int64_t nDeclaredCrc = -1;
};

struct TestZipLayout
{
    std::vector<size_t> localOffsets;     // absolute positions in the built archive
    std::vector<size_t> centralOffsets;
    size_t nEndRecord = 0;
};

class CTestZipBuilder
{
public:
    void SetPrefix(std::vector<uint8_t> prefix) { m_prefix = std::move(prefix); }
    void SetComment(std::string comment) { m_strComment = std::move(comment); }
    void Add(TestZipEntry entry) { m_entries.push_back(std::move(entry)); }
    // The archive's bytes; layout (if given) receives where each record went.
    std::vector<uint8_t> Build(TestZipLayout* pLayout = nullptr) const;

    static std::vector<uint8_t> Deflate(const std::vector<uint8_t>& data, int nLevel = 6);
    static uint32_t Crc(const std::vector<uint8_t>& data);
    static std::vector<uint8_t> Bytes(const std::string& text);
    // "UT" record with the given flags and times (each written when its flag bit is set).
    static std::vector<uint8_t> ExtendedTimestamp(uint8_t nFlags, int32_t nMod, int32_t nAccess = 0,
                                                  int32_t nCreate = 0);

private:
    std::vector<uint8_t> m_prefix;
    std::string m_strComment;
    std::vector<TestZipEntry> m_entries;
};

// Little-endian patching of a built archive.
void PutLe16(std::vector<uint8_t>& bytes, size_t nPos, uint16_t nValue);
void PutLe32(std::vector<uint8_t>& bytes, size_t nPos, uint32_t nValue);
