#include "unit/install/StringPatch.h"

#include <vector>

bool PatchStringEntry(const std::wstring& strExe, UINT nID, const std::wstring& strText, WORD wLanguage)
{
    const WORD block = WORD(nID / 16 + 1);
    std::vector<std::wstring> entries(16);
    if (HMODULE image = LoadLibraryExW(strExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        // The other fifteen entries of the block keep their texts.
        if (HRSRC res = FindResourceExW(image, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(block), wLanguage)) {
            const WCHAR* p = static_cast<const WCHAR*>(LockResource(LoadResource(image, res)));
            const WCHAR* end = p + SizeofResource(image, res) / sizeof(WCHAR);
            for (size_t i = 0; i < 16 && p && p < end; ++i) {
                entries[i].assign(p + 1, *p);
                p += 1 + *p;
            }
        }
        FreeLibrary(image);
    }
    entries[nID % 16] = strText;
    std::vector<WCHAR> data;
    for (const std::wstring& entry : entries) {
        data.push_back(WCHAR(entry.size()));
        data.insert(data.end(), entry.begin(), entry.end());
    }
    HANDLE update = BeginUpdateResourceW(strExe.c_str(), FALSE);
    if (!update)
        return false;
    if (!UpdateResourceW(update, MAKEINTRESOURCEW(6), MAKEINTRESOURCEW(block), wLanguage, data.data(),
                         DWORD(data.size() * sizeof(WCHAR)))) {
        EndUpdateResourceW(update, TRUE);
        return false;
    }
    return EndUpdateResourceW(update, FALSE) != FALSE;
}
