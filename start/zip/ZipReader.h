// Reads a ZIP archive that lies in memory and writes its entries as files under a base folder.
// A thin Windows layer over CZipCore: handles, UTF-16 names, file times and attributes, folders and
// output files.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

class CZipCore;

constexpr DWORD UNZIP_OK = 0x00000000;
constexpr DWORD UNZIP_NO_FILE = 0x00000200;        // opening the archive or the output file failed
constexpr DWORD UNZIP_WRITE_FAILED = 0x00000400;
constexpr DWORD UNZIP_CORRUPT = 0x00000700;        // the entry's records do not agree
constexpr DWORD UNZIP_READ_FAILED = 0x00000800;
constexpr DWORD UNZIP_BAD_PASSWORD = 0x00001000;
constexpr DWORD UNZIP_BAD_ARGS = 0x00010000;
constexpr DWORD UNZIP_WRONG_MODE = 0x00080000;
constexpr DWORD UNZIP_NOT_READY = 0x01000000;
constexpr DWORD UNZIP_INFLATE_FAILED = 0x05000000; // the data does not decompress to what it claims

// The result of the most recent operation of any handle.
extern DWORD g_nLastUnzipResult;

struct ZipEntryInfo
{
    int nIndex;                 // for the request -1: the entry count
    WCHAR szName[MAX_PATH];     // relative name, drive prefixes and parent steps stripped
    DWORD dwAttributes;
    FILETIME ftAccess;
    FILETIME ftCreation;
    FILETIME ftModified;
    LONG nCompressedSize;
    LONG nUncompressedSize;
};

class CZipReader
{
public:
    CZipReader();
    ~CZipReader();
    CZipReader(const CZipReader&) = delete;
    CZipReader& operator=(const CZipReader&) = delete;

    DWORD Open(const void* pData, DWORD nLength);
    DWORD SetBaseDir(LPCWSTR pszFolder);
    DWORD GetItem(int nIndex, ZipEntryInfo* pInfo);
    DWORD UnzipItem(int nIndex, LPCWSTR pszName);
    void CloseOpenEntry();

private:
    DWORD Describe(int nIndex, ZipEntryInfo& info);
    DWORD UnzipFolder(LPCWSTR pszName, bool bAbsolute);
    DWORD UnzipFile(int nIndex, LPCWSTR pszName, bool bAbsolute, const ZipEntryInfo& info);
    DWORD CopyEntryData(HANDLE hFile);

    std::unique_ptr<CZipCore> m_pCore;   // null until the archive is open
    int m_nOpenEntry = -1;
    ZipEntryInfo m_cachedInfo;
    int m_nCachedIndex = -1;
    std::vector<BYTE> m_transfer;        // allocated at the first extraction, kept until close
    WCHAR m_szBaseDir[MAX_PATH];         // ends in a separator; empty when refused
};

// A handle names its kind first, so that a handle of another kind is told apart.
constexpr DWORD ZIP_HANDLE_READER = 1;
struct ZipHandleRecord
{
    DWORD nKind;
    CZipReader* pReader;
};
using HZIP = ZipHandleRecord*;

// Null on failure, with the reason in g_nLastUnzipResult. The memory must outlive the handle.
HZIP ZipOpenMemory(const void* pData, DWORD nLength);
DWORD ZipSetBaseDir(HZIP hZip, LPCWSTR pszFolder);
// nIndex -1 asks for the entry count (in pInfo->nIndex).
DWORD ZipGetItem(HZIP hZip, int nIndex, ZipEntryInfo* pInfo);
// Extracts one entry to pszName: relative to the base folder, or absolute.
DWORD ZipUnzipItem(HZIP hZip, int nIndex, LPCWSTR pszName);
DWORD ZipClose(HZIP hZip);
