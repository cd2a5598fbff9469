#include "start/zip/ZipReader.h"

#include "framework/Handles.h"
#include "start/zip/ZipCore.h"
#include "start/zip/ZipFolders.h"
#include "start/zip/ZipName.h"

#include <cwchar>
#include <string>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "entry names are UTF-16 on both sides");

DWORD g_nLastUnzipResult = UNZIP_OK;

namespace {

DWORD Remember(DWORD nResult)
{
    g_nLastUnzipResult = nResult;
    return nResult;
}

FILETIME FileTimeFromUnix(int64_t nSeconds)
{
    const uint64_t ticks = uint64_t(nSeconds + 11644473600LL) * 10000000ULL;
    FILETIME ft;
    ft.dwLowDateTime = DWORD(ticks);
    ft.dwHighDateTime = DWORD(ticks >> 32);
    return ft;
}

// The archive's DOS time is local time; the file system wants UTC. An impossible date stays 0,
// which SetFileTime takes as "leave unchanged".
FILETIME FileTimeFromDos(const ZipDosTime& dos)
{
    SYSTEMTIME st = {};
    st.wYear = WORD(dos.nYear);
    st.wMonth = WORD(dos.nMonth);
    st.wDay = WORD(dos.nDay);
    st.wHour = WORD(dos.nHour);
    st.wMinute = WORD(dos.nMinute);
    st.wSecond = WORD(dos.nSecond);
    FILETIME local = {}, utc = {};
    if (!SystemTimeToFileTime(&st, &local) || !LocalFileTimeToFileTime(&local, &utc))
        return FILETIME{};
    return utc;
}

// A time the archive could not give stays as the file system set it.
const FILETIME* TimeOrNull(const FILETIME& ft)
{
    return (ft.dwLowDateTime | ft.dwHighDateTime) ? &ft : nullptr;
}

std::u16string AsUtf16(LPCWSTR psz)
{
    return std::u16string(reinterpret_cast<const char16_t*>(psz));
}

}  // namespace

CZipReader::CZipReader()
{
    m_cachedInfo = ZipEntryInfo();
    m_szBaseDir[0] = L'\0';
}

CZipReader::~CZipReader()
{
    CloseOpenEntry();
}

DWORD CZipReader::Open(const void* pData, DWORD nLength)
{
    if (m_pCore || m_nOpenEntry != -1)
        return UNZIP_NOT_READY;
    if (!pData && nLength != 0)
        return UNZIP_NO_FILE;
    std::unique_ptr<CZipCore> core(new CZipCore(kZipMaxTotalOutput));
    if (core->Open(pData, nLength) != ZIPW_OK)
        return UNZIP_NO_FILE;
    m_pCore = std::move(core);
    // The current folder until the caller says otherwise.
    const DWORD length = GetCurrentDirectoryW(MAX_PATH, m_szBaseDir);
    if (length == 0 || length >= MAX_PATH - 1)
        m_szBaseDir[0] = L'\0';
    else if (m_szBaseDir[length - 1] != L'\\' && m_szBaseDir[length - 1] != L'/')
        wcscat_s(m_szBaseDir, L"\\");
    return UNZIP_OK;
}

DWORD CZipReader::SetBaseDir(LPCWSTR pszFolder)
{
    const size_t length = pszFolder ? wcslen(pszFolder) : 0;
    const bool bNeedsSeparator = length == 0 || (pszFolder[length - 1] != L'\\' && pszFolder[length - 1] != L'/');
    // A folder that does not fit with its separator is refused outright: cutting it would point the
    // output somewhere else.
    if (!pszFolder || length + (bNeedsSeparator ? 1 : 0) >= MAX_PATH) {
        m_szBaseDir[0] = L'\0';
        return UNZIP_BAD_ARGS;
    }
    wcscpy_s(m_szBaseDir, pszFolder);
    if (bNeedsSeparator)
        wcscat_s(m_szBaseDir, L"\\");
    return UNZIP_OK;
}

void CZipReader::CloseOpenEntry()
{
    if (m_pCore && m_pCore->IsEntryOpen())
        m_pCore->CloseEntry();
    m_nOpenEntry = -1;
}

DWORD CZipReader::Describe(int nIndex, ZipEntryInfo& info)
{
    if (nIndex == m_nCachedIndex) {
        info = m_cachedInfo;
        return UNZIP_OK;
    }
    ZipEntryDesc desc;
    const int result = m_pCore->Describe(nIndex, desc);
    if (result == ZIPW_READ_ERROR)
        return UNZIP_READ_FAILED;
    if (result != ZIPW_OK)
        return UNZIP_CORRUPT;
    info = ZipEntryInfo();
    info.nIndex = nIndex;
    // The stored name has at most 259 bytes, so its UTF-16 form always fits with its terminator.
    desc.strName.copy(reinterpret_cast<char16_t*>(info.szName), MAX_PATH - 1);
    info.szName[desc.strName.size()] = L'\0';
    info.dwAttributes = desc.nAttributes;
    const FILETIME dosTime = FileTimeFromDos(desc.dosTime);
    info.ftModified = desc.bHasModTime ? FileTimeFromUnix(desc.nModTime) : dosTime;
    info.ftAccess = desc.bHasAccessTime ? FileTimeFromUnix(desc.nAccessTime) : dosTime;
    info.ftCreation = desc.bHasCreateTime ? FileTimeFromUnix(desc.nCreateTime) : dosTime;
    info.nCompressedSize = desc.nCompressedSize;
    info.nUncompressedSize = desc.nUncompressedSize;
    m_cachedInfo = info;
    m_nCachedIndex = nIndex;
    return UNZIP_OK;
}

DWORD CZipReader::GetItem(int nIndex, ZipEntryInfo* pInfo)
{
    if (!m_pCore || !pInfo || nIndex < -1 || nIndex >= m_pCore->GetEntryCount())
        return UNZIP_BAD_ARGS;
    CloseOpenEntry();
    if (nIndex == -1) {
        *pInfo = ZipEntryInfo();
        pInfo->nIndex = m_pCore->GetEntryCount();
        return UNZIP_OK;
    }
    return Describe(nIndex, *pInfo);
}

DWORD CZipReader::UnzipItem(int nIndex, LPCWSTR pszName)
{
    CloseOpenEntry();
    if (!m_pCore || !pszName || nIndex < 0 || nIndex >= m_pCore->GetEntryCount())
        return UNZIP_BAD_ARGS;
    ZipEntryInfo info;
    const DWORD described = Describe(nIndex, info);
    if (described != UNZIP_OK)
        return described;
    bool bAbsolute = false;
    if (!IsUsableZipPath(AsUtf16(pszName), bAbsolute))
        return UNZIP_NO_FILE;
    if (!bAbsolute && m_szBaseDir[0] == L'\0')
        return UNZIP_NO_FILE;
    if (info.dwAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return UnzipFolder(pszName, bAbsolute);
    return UnzipFile(nIndex, pszName, bAbsolute, info);
}

DWORD CZipReader::UnzipFolder(LPCWSTR pszName, bool bAbsolute)
{
    if (!bAbsolute && *pszName) {
        const std::wstring full = std::wstring(m_szBaseDir) + pszName;
        if (full.size() >= MAX_PATH || !IsPathInsideFolder(m_szBaseDir, full.c_str()))
            return UNZIP_NO_FILE;
    }
    return EnsureFolder(bAbsolute ? nullptr : m_szBaseDir, pszName) ? UNZIP_OK : UNZIP_NO_FILE;
}

DWORD CZipReader::UnzipFile(int nIndex, LPCWSTR pszName, bool bAbsolute, const ZipEntryInfo& info)
{
    const std::wstring name = pszName;
    const size_t split = name.find_last_of(L"\\/");
    const std::wstring folderPart = split == std::wstring::npos ? L"" : name.substr(0, split + 1);
    const std::wstring filePart = split == std::wstring::npos ? name : name.substr(split + 1);
    if (filePart.empty())
        return UNZIP_NO_FILE;
    const std::wstring root = bAbsolute ? L"" : m_szBaseDir;
    const std::wstring target = root + folderPart + filePart;
    const std::wstring folder = root + folderPart;
    if (target.size() >= MAX_PATH || (!bAbsolute && !IsPathInsideFolder(m_szBaseDir, target.c_str())))
        return UNZIP_NO_FILE;

    // Everything the archive alone can tell is checked before anything is created.
    const int opened = m_pCore->OpenEntry(nIndex);
    if (opened == ZIPW_BAD_PASSWORD)
        return UNZIP_BAD_PASSWORD;
    if (opened == ZIPW_BAD_ZIP)
        return UNZIP_CORRUPT;
    if (opened != ZIPW_OK)
        return UNZIP_INFLATE_FAILED;
    m_nOpenEntry = nIndex;

    if (!EnsureFolder(bAbsolute ? nullptr : m_szBaseDir, folderPart.c_str())) {
        CloseOpenEntry();
        return UNZIP_NO_FILE;
    }
    // The data goes to a temporary file beside the target, which replaces the target only once the
    // entry has ended with its size and CRC: a broken entry never costs the file already there.
    WCHAR szTemp[MAX_PATH];
    if (!GetTempFileNameW(folder.empty() ? L"." : folder.c_str(), L"tqz", 0, szTemp)) {
        CloseOpenEntry();
        return UNZIP_NO_FILE;
    }
    DWORD result = UNZIP_OK;
    {
        UniqueFile file(CreateFileW(szTemp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                    nullptr));
        if (!file)
            result = UNZIP_NO_FILE;
        else
            result = CopyEntryData(file.get());
        if (result == UNZIP_OK)
            SetFileTime(file.get(), TimeOrNull(info.ftCreation), TimeOrNull(info.ftAccess),
                        TimeOrNull(info.ftModified));
    }
    CloseOpenEntry();
    if (result == UNZIP_OK && !MoveFileExW(szTemp, target.c_str(), MOVEFILE_REPLACE_EXISTING))
        result = UNZIP_NO_FILE;
    if (result != UNZIP_OK) {
        DeleteFileW(szTemp);
        return result;
    }
    const DWORD attributes = info.dwAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    SetFileAttributesW(target.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
    return UNZIP_OK;
}

DWORD CZipReader::CopyEntryData(HANDLE hFile)
{
    if (m_transfer.empty())
        m_transfer.resize(kZipPieceSize);
    for (;;) {
        const int got = m_pCore->ReadEntry(m_transfer.data(), DWORD(m_transfer.size()));
        if (got == 0)
            return UNZIP_OK;
        if (got == ZIPW_BAD_PASSWORD)
            return UNZIP_BAD_PASSWORD;
        if (got < 0)
            return UNZIP_INFLATE_FAILED;
        DWORD written = 0;
        if (!WriteFile(hFile, m_transfer.data(), DWORD(got), &written, nullptr) || written != DWORD(got))
            return UNZIP_WRITE_FAILED;
    }
}

HZIP ZipOpenMemory(const void* pData, DWORD nLength)
{
    std::unique_ptr<CZipReader> reader(new CZipReader);
    const DWORD result = reader->Open(pData, nLength);
    if (Remember(result) != UNZIP_OK)
        return nullptr;
    return new ZipHandleRecord{ZIP_HANDLE_READER, reader.release()};
}

namespace {

// Null handle or another kind of handle: the reason; a usable reader: UNZIP_OK.
DWORD CheckHandle(HZIP hZip)
{
    if (!hZip)
        return UNZIP_BAD_ARGS;
    if (hZip->nKind != ZIP_HANDLE_READER || !hZip->pReader)
        return UNZIP_WRONG_MODE;
    return UNZIP_OK;
}

}  // namespace

DWORD ZipSetBaseDir(HZIP hZip, LPCWSTR pszFolder)
{
    const DWORD checked = CheckHandle(hZip);
    return Remember(checked != UNZIP_OK ? checked : hZip->pReader->SetBaseDir(pszFolder));
}

DWORD ZipGetItem(HZIP hZip, int nIndex, ZipEntryInfo* pInfo)
{
    const DWORD checked = CheckHandle(hZip);
    return Remember(checked != UNZIP_OK ? checked : hZip->pReader->GetItem(nIndex, pInfo));
}

DWORD ZipUnzipItem(HZIP hZip, int nIndex, LPCWSTR pszName)
{
    const DWORD checked = CheckHandle(hZip);
    return Remember(checked != UNZIP_OK ? checked : hZip->pReader->UnzipItem(nIndex, pszName));
}

DWORD ZipClose(HZIP hZip)
{
    const DWORD checked = CheckHandle(hZip);
    if (checked != UNZIP_OK)
        return Remember(checked);
    hZip->pReader->CloseOpenEntry();
    delete hZip->pReader;
    delete hZip;
    return Remember(UNZIP_OK);
}
