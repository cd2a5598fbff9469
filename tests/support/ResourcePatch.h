// Copies of the client executable with other string-table entries, for end-to-end tests that need
// the real program with, say, another login address. The copy lives in a folder of the test's own;
// the original beside the test program is never touched.
#pragma once
#include "framework/CString.h"
#include <map>
#include <vector>

// The language the client's string table carries (the resource script says so).
constexpr WORD kClientStringLanguage = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

// Copies strSourceExe into strFolder (created with its parents when missing) under its own file name,
// replacing an earlier copy. Returns the copy's full path, or "" on failure.
CString CopyExecutableTo(const CString& strSourceExe, const CString& strFolder);

// String-table entries of one executable file that is not running. Entries are collected first and
// written together: each changed 16-entry block is read from the file, changed and written back whole,
// so the block's other entries keep their text.
class CResourcePatch
{
public:
    explicit CResourcePatch(const CString& strExePath, WORD wLanguage = kClientStringLanguage);

    // Sets entry nID; an empty text removes it (a missing entry loads as "").
    void SetString(UINT nID, const CString& strText);
    // Writes the changed blocks into the file; false when the file could not be read or updated.
    bool Commit();

    // Entry nID as the file holds it, read without running the file; "" for a missing entry.
    static CString ReadString(const CString& strExePath, UINT nID, WORD wLanguage = kClientStringLanguage);

    // A block as the resource holds it: 16 counted UTF-16 strings, and back.
    static std::vector<CString> ParseBlock(const BYTE* pData, DWORD cbData);
    static std::vector<BYTE> BuildBlock(const std::vector<CString>& entries);

private:
    bool ReadBlocks(std::map<UINT, std::vector<CString>>& blocks) const;

    CString m_strExePath;
    WORD m_wLanguage;
    std::map<UINT, CString> m_changes;
};
