#include "unit/zip/TestZipBuilder.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>

namespace {

void Append16(std::vector<uint8_t>& out, uint32_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void Append32(std::vector<uint8_t>& out, uint32_t value)
{
    Append16(out, value & 0xFFFF);
    Append16(out, value >> 16);
}

void AppendBytes(std::vector<uint8_t>& out, const void* data, size_t size)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + size);
}

}  // namespace

void PutLe16(std::vector<uint8_t>& bytes, size_t nPos, uint16_t nValue)
{
    bytes.at(nPos) = uint8_t(nValue);
    bytes.at(nPos + 1) = uint8_t(nValue >> 8);
}

void PutLe32(std::vector<uint8_t>& bytes, size_t nPos, uint32_t nValue)
{
    PutLe16(bytes, nPos, uint16_t(nValue));
    PutLe16(bytes, nPos + 2, uint16_t(nValue >> 16));
}

std::vector<uint8_t> CTestZipBuilder::Deflate(const std::vector<uint8_t>& data, int nLevel)
{
    z_stream stream = {};
    if (deflateInit2(&stream, nLevel, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::vector<uint8_t> out(deflateBound(&stream, uLong(data.size())) + 16);
    stream.next_in = const_cast<Bytef*>(data.data());
    stream.avail_in = uInt(data.size());
    stream.next_out = out.data();
    stream.avail_out = uInt(out.size());
    const int rc = deflate(&stream, Z_FINISH);
    deflateEnd(&stream);
    if (rc != Z_STREAM_END)
        throw std::runtime_error("deflate");
    out.resize(stream.total_out);
    return out;
}

uint32_t CTestZipBuilder::Crc(const std::vector<uint8_t>& data)
{
    uLong crc = crc32(0, Z_NULL, 0);
    size_t done = 0;
    while (done < data.size()) {
        const size_t piece = std::min<size_t>(data.size() - done, 1u << 30);
        crc = crc32(crc, data.data() + done, uInt(piece));
        done += piece;
    }
    return uint32_t(crc);
}

std::vector<uint8_t> CTestZipBuilder::Bytes(const std::string& text)
{
    return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> CTestZipBuilder::ExtendedTimestamp(uint8_t nFlags, int32_t nMod, int32_t nAccess,
                                                        int32_t nCreate)
{
    std::vector<uint8_t> body{nFlags};
    if (nFlags & 1)
        Append32(body, uint32_t(nMod));
    if (nFlags & 2)
        Append32(body, uint32_t(nAccess));
    if (nFlags & 4)
        Append32(body, uint32_t(nCreate));
    std::vector<uint8_t> record;
    Append16(record, 0x5455);
    Append16(record, uint32_t(body.size()));
    AppendBytes(record, body.data(), body.size());
    return record;
}

std::vector<uint8_t> CTestZipBuilder::Build(TestZipLayout* pLayout) const
{
    TestZipLayout layout;
    std::vector<uint8_t> out = m_prefix;
    struct Written
    {
        uint32_t crc, compressed, uncompressed, localOffset;
    };
    std::vector<Written> written;
    for (const TestZipEntry& e : m_entries) {
        const std::vector<uint8_t> packed =
            e.bUseRawPacked ? e.rawPacked : (e.nMethod == 8 ? Deflate(e.data) : e.data);
        const Written w{e.nDeclaredCrc >= 0 ? uint32_t(e.nDeclaredCrc) : Crc(e.data),
                        uint32_t(packed.size()),
                        e.nDeclaredSize >= 0 ? uint32_t(e.nDeclaredSize) : uint32_t(e.data.size()),
                        uint32_t(out.size() - m_prefix.size())};
        layout.localOffsets.push_back(out.size());
        const uint16_t flags = uint16_t(e.nFlags | (e.bDataDescriptor ? 0x0008 : 0));
        Append32(out, 0x04034B50);
        Append16(out, 20);
        Append16(out, flags);
        Append16(out, e.nMethod);
        Append32(out, e.nDosDateTime);
        Append32(out, e.bDataDescriptor ? 0 : w.crc);
        Append32(out, e.bDataDescriptor ? 0 : w.compressed);
        Append32(out, e.bDataDescriptor ? 0 : w.uncompressed);
        Append16(out, uint32_t(e.strName.size()));
        Append16(out, uint32_t(e.localExtra.size()));
        AppendBytes(out, e.strName.data(), e.strName.size());
        AppendBytes(out, e.localExtra.data(), e.localExtra.size());
        AppendBytes(out, packed.data(), packed.size());
        if (e.bDataDescriptor) {
            Append32(out, 0x08074B50);
            Append32(out, w.crc);
            Append32(out, w.compressed);
            Append32(out, w.uncompressed);
        }
        written.push_back(w);
    }
    const size_t centralStart = out.size();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const TestZipEntry& e = m_entries[i];
        const Written& w = written[i];
        layout.centralOffsets.push_back(out.size());
        Append32(out, 0x02014B50);
        Append16(out, e.nVersionMadeBy);
        Append16(out, 20);
        Append16(out, uint16_t(e.nFlags | (e.bDataDescriptor ? 0x0008 : 0)));
        Append16(out, e.nMethod);
        Append32(out, e.nDosDateTime);
        Append32(out, w.crc);
        Append32(out, w.compressed);
        Append32(out, w.uncompressed);
        Append16(out, uint32_t(e.strName.size()));
        Append16(out, uint32_t(e.centralExtra.size()));
        Append16(out, uint32_t(e.strComment.size()));
        Append16(out, 0);
        Append16(out, 0);
        Append32(out, e.nExternalAttributes);
        Append32(out, w.localOffset);
        AppendBytes(out, e.strName.data(), e.strName.size());
        AppendBytes(out, e.centralExtra.data(), e.centralExtra.size());
        AppendBytes(out, e.strComment.data(), e.strComment.size());
    }
    const size_t centralSize = out.size() - centralStart;
    layout.nEndRecord = out.size();
    Append32(out, 0x06054B50);
    Append16(out, 0);
    Append16(out, 0);
    Append16(out, uint32_t(m_entries.size()));
    Append16(out, uint32_t(m_entries.size()));
    Append32(out, uint32_t(centralSize));
    Append32(out, uint32_t(centralStart - m_prefix.size()));
    Append16(out, uint32_t(m_strComment.size()));
    AppendBytes(out, m_strComment.data(), m_strComment.size());
    if (pLayout)
        *pLayout = layout;
    return out;
}
