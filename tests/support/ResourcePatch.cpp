#include "ResourcePatch.h"
#include "framework/Handles.h"
#include <shlobj.h>

namespace {
constexpr UINT kEntriesPerBlock = 16;

// String ids 16n..16n+15 live in the resource named n + 1.
UINT BlockOf(UINT nID)
{
    return nID / kEntriesPerBlock + 1;
}

// The block's bytes in a file loaded as data; false when the file has no such block.
bool LoadBlockBytes(HMODULE hModule, UINT nBlock, WORD wLanguage, std::vector<BYTE>& bytes)
{
    HRSRC hRes = FindResourceExW(hModule, RT_STRING, MAKEINTRESOURCEW(nBlock), wLanguage);
    if (!hRes)
        return false;
    DWORD cb = SizeofResource(hModule, hRes);
    HGLOBAL hData = LoadResource(hModule, hRes);
    const void* p = hData ? LockResource(hData) : nullptr;
    if (!p)
        return false;
    const BYTE* first = static_cast<const BYTE*>(p);
    bytes.assign(first, first + cb);
    return true;
}
}  // namespace

CString CopyExecutableTo(const CString& strSourceExe, const CString& strFolder)
{
    int nSlash = strSourceExe.ReverseFind(L'\\');
    if (nSlash < 0 || strFolder.IsEmpty())
        return CString();
    CString strDir = strFolder;
    strDir.TrimRight(L'\\');
    int rc = SHCreateDirectoryExW(nullptr, strDir, nullptr);
    if (rc != ERROR_SUCCESS && rc != ERROR_ALREADY_EXISTS && rc != ERROR_FILE_EXISTS)
        return CString();
    CString strCopy = strDir + L"\\" + strSourceExe.Mid(nSlash + 1);
    if (!CopyFileW(strSourceExe, strCopy, FALSE))
        return CString();
    return strCopy;
}

CResourcePatch::CResourcePatch(const CString& strExePath, WORD wLanguage)
    : m_strExePath(strExePath), m_wLanguage(wLanguage)
{
}

void CResourcePatch::SetString(UINT nID, const CString& strText)
{
    m_changes[nID] = strText;
}

std::vector<CString> CResourcePatch::ParseBlock(const BYTE* pData, DWORD cbData)
{
    std::vector<CString> entries(kEntriesPerBlock);
    DWORD off = 0;
    for (UINT i = 0; i < kEntriesPerBlock && off + sizeof(WORD) <= cbData; ++i) {
        WORD len = 0;
        memcpy(&len, pData + off, sizeof len);
        off += sizeof len;
        DWORD cbText = static_cast<DWORD>(len) * sizeof(wchar_t);
        if (cbText > cbData - off)
            break;  // a damaged block: keep what was whole
        std::wstring text(len, L'\0');
        if (len)
            memcpy(&text[0], pData + off, cbText);
        entries[i] = CString(std::move(text));
        off += cbText;
    }
    return entries;
}

std::vector<BYTE> CResourcePatch::BuildBlock(const std::vector<CString>& entries)
{
    std::vector<BYTE> bytes;
    for (UINT i = 0; i < kEntriesPerBlock; ++i) {
        CString text = i < entries.size() ? entries[i] : CString();
        WORD len = static_cast<WORD>(text.GetLength());
        const BYTE* pLen = reinterpret_cast<const BYTE*>(&len);
        bytes.insert(bytes.end(), pLen, pLen + sizeof len);
        const BYTE* pText = reinterpret_cast<const BYTE*>(text.GetString());
        bytes.insert(bytes.end(), pText, pText + len * sizeof(wchar_t));
    }
    return bytes;
}

bool CResourcePatch::ReadBlocks(std::map<UINT, std::vector<CString>>& blocks) const
{
    UniqueModule hModule(LoadLibraryExW(m_strExePath, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!hModule)
        return false;
    for (const auto& change : m_changes) {
        UINT nBlock = BlockOf(change.first);
        if (blocks.count(nBlock))
            continue;
        std::vector<BYTE> bytes;
        if (LoadBlockBytes(hModule.get(), nBlock, m_wLanguage, bytes))
            blocks[nBlock] = ParseBlock(bytes.data(), static_cast<DWORD>(bytes.size()));
        else
            blocks[nBlock] = std::vector<CString>(kEntriesPerBlock);
    }
    return true;
}

bool CResourcePatch::Commit()
{
    if (m_changes.empty())
        return true;
    // Read everything first: the file must not be mapped while it is being rewritten.
    std::map<UINT, std::vector<CString>> blocks;
    if (!ReadBlocks(blocks))
        return false;
    for (const auto& change : m_changes)
        blocks[BlockOf(change.first)][change.first % kEntriesPerBlock] = change.second;

    HANDLE hUpdate = BeginUpdateResourceW(m_strExePath, FALSE);
    if (!hUpdate)
        return false;
    bool ok = true;
    for (const auto& block : blocks) {
        std::vector<BYTE> bytes = BuildBlock(block.second);
        bool empty = true;
        for (const CString& s : block.second)
            empty = empty && s.IsEmpty();
        // A block without any text is removed rather than stored empty.
        ok = UpdateResourceW(hUpdate, RT_STRING, MAKEINTRESOURCEW(block.first), m_wLanguage,
                             empty ? nullptr : bytes.data(), empty ? 0 : static_cast<DWORD>(bytes.size())) &&
             ok;
    }
    // Discard on failure so that a half-changed file is never written.
    if (!EndUpdateResourceW(hUpdate, ok ? FALSE : TRUE))
        return false;
    if (ok)
        m_changes.clear();
    return ok;
}

CString CResourcePatch::ReadString(const CString& strExePath, UINT nID, WORD wLanguage)
{
    UniqueModule hModule(LoadLibraryExW(strExePath, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    std::vector<BYTE> bytes;
    if (!hModule || !LoadBlockBytes(hModule.get(), BlockOf(nID), wLanguage, bytes))
        return CString();
    return ParseBlock(bytes.data(), static_cast<DWORD>(bytes.size()))[nID % kEntriesPerBlock];
}
