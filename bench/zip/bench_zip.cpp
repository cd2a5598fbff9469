// Extraction throughput of the archive reader's core against raw zlib inflate of the same deflate
// streams, on a 64 MiB archive of mixed content built in memory. Prints figures; never fails on time.
#include "start/zip/ZipCore.h"
#include "unit/zip/TestZipBuilder.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kTotal = 64u << 20;
constexpr size_t kEntrySize = 1u << 20;
constexpr int kRounds = 5;

uint32_t g_nSeed = 12345;
uint32_t Next()
{
    g_nSeed = g_nSeed * 1103515245u + 12345u;
    return g_nSeed >> 8;
}

// Four kinds in turn: words, a table of counters, noise and long runs.
std::vector<uint8_t> MakeContent(int nKind)
{
    static const char* const kWords[] = {"game ", "server ", "login ", "window ", "cache ", "key ",
                                         "\u8bbe\u7f6e ", "start=1001\r\n", "[Setting]\r\n"};
    std::vector<uint8_t> data;
    data.reserve(kEntrySize);
    while (data.size() < kEntrySize) {
        switch (nKind) {
        case 0: {
            const char* w = kWords[Next() % 9];
            data.insert(data.end(), w, w + strlen(w));
            break;
        }
        case 1: {
            const uint32_t v = uint32_t(data.size() / 4) * 3 + (Next() & 3);
            data.insert(data.end(), reinterpret_cast<const uint8_t*>(&v),
                        reinterpret_cast<const uint8_t*>(&v) + 4);
            break;
        }
        case 2:
            data.push_back(uint8_t(Next()));
            break;
        default:
            data.insert(data.end(), 1 + Next() % 300, uint8_t(Next()));
            break;
        }
    }
    data.resize(kEntrySize);
    return data;
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Stream
{
    const uint8_t* pData;
    size_t nSize;
};

}  // namespace

int main()
{
    CTestZipBuilder builder;
    const int entries = int(kTotal / kEntrySize);
    for (int i = 0; i < entries; ++i) {
        TestZipEntry e;
        e.strName = "part" + std::to_string(i) + ".bin";
        e.data = MakeContent(i % 4);
        builder.Add(std::move(e));
    }
    TestZipLayout layout;
    const std::vector<uint8_t> archive = builder.Build(&layout);

    // The deflate streams as they lie in the archive, for the raw inflate floor.
    std::vector<Stream> streams;
    for (int i = 0; i < entries; ++i) {
        const uint8_t* local = archive.data() + layout.localOffsets[i];
        const size_t nameLen = local[26] | (local[27] << 8);
        const size_t extraLen = local[28] | (local[29] << 8);
        const size_t packed = local[18] | (local[19] << 8) | (local[20] << 16) | (size_t(local[21]) << 24);
        streams.push_back({local + 30 + nameLen + extraLen, packed});
    }
    printf("archive: %d entries, %.1f MiB content, %.1f MiB deflated\n", entries,
           double(kTotal) / (1 << 20), double(archive.size()) / (1 << 20));

    std::vector<uint8_t> piece(kZipPieceSize);
    std::vector<uint8_t> whole(kEntrySize);
    uint32_t sink = 0;

    // Raw inflate of the selected streams, in 16 KiB pieces, optionally with crc32 over the output.
    auto rawInflate = [&](const std::vector<int>& which, bool bCrc) {
        const auto start = std::chrono::steady_clock::now();
        for (int i : which) {
            const Stream& s = streams[size_t(i)];
            z_stream z = {};
            inflateInit2(&z, -MAX_WBITS);
            z.next_in = const_cast<Bytef*>(s.pData);
            z.avail_in = uInt(s.nSize);
            uLong crc = crc32(0, Z_NULL, 0);
            int rc = Z_OK;
            while (rc == Z_OK) {
                z.next_out = piece.data();
                z.avail_out = uInt(piece.size());
                rc = inflate(&z, Z_NO_FLUSH);
                if (bCrc)
                    crc = crc32(crc, piece.data(), uInt(piece.size() - z.avail_out));
            }
            sink += uint32_t(crc) + uint32_t(z.total_out);
            inflateEnd(&z);
        }
        return Seconds(start);
    };
    auto wholeInflate = [&](const std::vector<int>& which) {
        const auto start = std::chrono::steady_clock::now();
        for (int i : which) {
            const Stream& s = streams[size_t(i)];
            z_stream z = {};
            inflateInit2(&z, -MAX_WBITS);
            z.next_in = const_cast<Bytef*>(s.pData);
            z.avail_in = uInt(s.nSize);
            z.next_out = whole.data();
            z.avail_out = uInt(whole.size());
            inflate(&z, Z_FINISH);
            sink += uint32_t(z.total_out);
            inflateEnd(&z);
        }
        return Seconds(start);
    };
    // The reader's core: open the archive, then open, read and verify each entry.
    auto coreExtract = [&](const std::vector<int>& which) {
        const auto start = std::chrono::steady_clock::now();
        CZipCore zip(uint64_t(kTotal) * 2);
        zip.Open(archive.data(), archive.size());
        for (int i : which) {
            if (zip.OpenEntry(i) != ZIPW_OK)
                return -1.0;
            int got = 0;
            while ((got = zip.ReadEntry(piece.data(), uint32_t(piece.size()))) > 0)
                sink += piece[0];
            zip.CloseEntry();
            if (got != 0)
                return -1.0;
        }
        return Seconds(start);
    };

    struct Row
    {
        const char* pName;
        std::vector<int> entries;
    };
    std::vector<Row> rows = {{"all (mixed)", {}}, {"words", {}}, {"counters", {}}, {"noise", {}}, {"runs", {}}};
    for (int i = 0; i < entries; ++i) {
        rows[0].entries.push_back(i);
        rows[size_t(1 + i % 4)].entries.push_back(i);
    }
    printf("%-12s %10s %10s %10s %10s %8s %8s   (MiB/s of content; best of %d)\n", "content", "raw",
           "raw+crc", "raw whole", "core", "core/raw", "core/raw+crc", kRounds);
    for (const Row& row : rows) {
        double raw = 1e9, rawCrc = 1e9, rawWhole = 1e9, core = 1e9;
        for (int round = 0; round < kRounds; ++round) {
            raw = std::min(raw, rawInflate(row.entries, false));
            rawCrc = std::min(rawCrc, rawInflate(row.entries, true));
            rawWhole = std::min(rawWhole, wholeInflate(row.entries));
            const double t = coreExtract(row.entries);
            if (t < 0) {
                fprintf(stderr, "extraction failed\n");
                return 1;
            }
            core = std::min(core, t);
        }
        const double mib = double(row.entries.size() * kEntrySize) / (1 << 20);
        printf("%-12s %10.1f %10.1f %10.1f %10.1f %8.2f %8.2f\n", row.pName, mib / raw, mib / rawCrc,
               mib / rawWhole, mib / core, raw / core, rawCrc / core);
    }
    printf("(checksum %08x)\n", sink);
    return 0;
}
