// libFuzzer target over the archive reader's core, built natively with ASan and UBSan by run.sh.
// Each input is opened as an archive; every entry is described, then extracted into a scratch
// folder the way the Windows layer does it (name check, folders, temporary file, rename). Anything
// that lands outside the scratch folder aborts the run.
#include "start/zip/ZipCore.h"
#include "start/zip/ZipName.h"
#include "tests/fuzz/FuzzText.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace {

// Small, so that each input stays fast; the product's allowance is a separate constant.
constexpr uint64_t kFuzzAllowance = 1u << 20;

std::string g_strParent;    // holds nothing but the scratch folder
std::string g_strScratch;

void SetUp()
{
    if (!g_strParent.empty())
        return;
    const char* tmp = getenv("TORVEL_FUZZ_TMP");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/torvel-zipfuzz-XXXXXX";
    if (!mkdtemp(&pattern[0]))
        Fail("mkdtemp", pattern);
    g_strParent = pattern;
    g_strScratch = g_strParent + "/scratch";
    if (mkdir(g_strScratch.c_str(), 0700) != 0)
        Fail("mkdir", g_strScratch);
    char* resolved = realpath(g_strScratch.c_str(), nullptr);
    g_strScratch = resolved;
    free(resolved);
}

std::string ToUtf8Path(const std::u16string& name)
{
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        uint32_t cp = name[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < name.size()) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (name[i + 1] - 0xDC00);
            ++i;
        }
        if (cp == u'\\') {
            out += '/';
        } else if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

void EnsureFolders(const std::string& relative)
{
    std::string path = g_strScratch;
    size_t start = 0;
    while (start < relative.size()) {
        size_t slash = relative.find('/', start);
        if (slash == std::string::npos)
            slash = relative.size();
        if (slash > start) {
            path += "/" + relative.substr(start, slash - start);
            mkdir(path.c_str(), 0700);
        }
        start = slash + 1;
    }
}

// A folder entry with an empty name stands for the scratch folder itself; anything else must lie
// below it.
void CheckInside(const std::string& path, bool bMayBeTheFolder = false)
{
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved)
        return;
    const std::string full = resolved;
    free(resolved);
    if (bMayBeTheFolder && full == g_strScratch)
        return;
    if (full.compare(0, g_strScratch.size() + 1, g_strScratch + "/") != 0)
        Fail("written outside the scratch folder", full);
}

void Extract(CZipCore& zip, int nIndex)
{
    ZipEntryDesc desc;
    if (zip.Describe(nIndex, desc) != ZIPW_OK)
        return;
    bool bAbsolute = false;
    if (!IsUsableZipPath(desc.strName, bAbsolute) || bAbsolute)
        return;
    const std::string relative = ToUtf8Path(desc.strName);
    if (desc.nAttributes & kZipAttrDirectory) {
        EnsureFolders(relative);
        CheckInside(g_strScratch + "/" + relative, relative.empty());
        return;
    }
    const size_t slash = relative.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : relative.substr(0, slash);
    if (slash == relative.size() - 1 || relative.empty())
        return;
    if (zip.OpenEntry(nIndex) != ZIPW_OK)
        return;
    EnsureFolders(folder);
    const std::string target = g_strScratch + "/" + relative;
    std::string temp = g_strScratch + (folder.empty() ? "" : "/" + folder) + "/.part-XXXXXX";
    const int fd = mkstemp(&temp[0]);
    if (fd < 0) {
        zip.CloseEntry();
        return;
    }
    static uint8_t piece[kZipPieceSize];
    int got = 0;
    bool bOk = true;
    while ((got = zip.ReadEntry(piece, sizeof piece)) > 0) {
        if (write(fd, piece, size_t(got)) != got) {
            bOk = false;
            break;
        }
    }
    bOk = bOk && got == 0;
    zip.CloseEntry();
    close(fd);
    if (!bOk || rename(temp.c_str(), target.c_str()) != 0) {
        unlink(temp.c_str());
        return;
    }
    CheckInside(target);
}

int RemoveOne(const char* path, const struct stat*, int, struct FTW*)
{
    return remove(path);
}

void CleanScratch()
{
    // Only the scratch folder may exist beside itself.
    DIR* dir = opendir(g_strParent.c_str());
    if (!dir)
        Fail("opendir", g_strParent);
    while (dirent* item = readdir(dir)) {
        const std::string name = item->d_name;
        if (name != "." && name != ".." && name != "scratch")
            Fail("stray file beside the scratch folder", name);
    }
    closedir(dir);
    nftw(g_strScratch.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS);
    mkdir(g_strScratch.c_str(), 0700);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    SetUp();
    CZipCore zip(kFuzzAllowance);
    if (zip.Open(pData, nSize) == ZIPW_OK) {
        const int count = zip.GetEntryCount();
        for (int i = 0; i < count; ++i) {
            ZipEntryDesc desc;
            zip.Describe(i, desc);
        }
        for (int i = 0; i < count; ++i)
            Extract(zip, i);
        // Describing backwards exercises the rewinding path of the walker.
        for (int i = count - 1; i >= 0 && i >= count - 64; --i) {
            ZipEntryDesc desc;
            zip.Describe(i, desc);
        }
    }
    CleanScratch();
    return 0;
}
