#include "start/ProgramEntry.h"
#include "framework/Handles.h"

namespace {

const wchar_t kUninstallListKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// The 64-bit view also for the 32-bit build, so the machine-wide entry sits where the system's
// program list looks first on a 64-bit system. The user's list is not redirected.
constexpr REGSAM kMachineView = KEY_WOW64_64KEY;

bool EntryExists(HKEY hRoot, REGSAM view, const CString& strKey)
{
    UniqueRegKey key;
    return RegOpenKeyExW(hRoot, strKey, 0, KEY_QUERY_VALUE | view, key.put()) == ERROR_SUCCESS;
}

bool SetStringValue(HKEY hKey, LPCWSTR pszName, const CString& strValue)
{
    const DWORD bytes = DWORD((strValue.GetLength() + 1) * sizeof(wchar_t));
    return RegSetValueExW(hKey, pszName, 0, REG_SZ, reinterpret_cast<const BYTE*>(static_cast<LPCWSTR>(strValue)),
                          bytes) == ERROR_SUCCESS;
}

// False when the list refused the entry; true when it now holds it (written here or before).
bool CreateEntry(HKEY hRoot, REGSAM view, const CString& strName, const ProgramEntryTexts& texts)
{
    // The list is opened for adding first: that is where the system says whether this user may.
    UniqueRegKey list;
    if (RegCreateKeyExW(hRoot, kUninstallListKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_CREATE_SUB_KEY | view,
                        nullptr, list.put(), nullptr) != ERROR_SUCCESS)
        return false;
    UniqueRegKey entry;
    DWORD disposition = 0;
    if (RegCreateKeyExW(list.get(), strName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | view, nullptr,
                        entry.put(), &disposition) != ERROR_SUCCESS)
        return false;
    if (disposition != REG_CREATED_NEW_KEY)
        return true;
    SetStringValue(entry.get(), L"Path", texts.strPath);
    SetStringValue(entry.get(), L"DisplayName", texts.strDisplayName);
    SetStringValue(entry.get(), L"Publisher", texts.strPublisher);
    SetStringValue(entry.get(), L"UninstallString", texts.strUninstallString);
    return true;
}

}  // namespace

void WriteProgramEntry(const CString& strName, const ProgramEntryTexts& texts)
{
    if (strName.IsEmpty())
        return;
    const CString strKey = CString(kUninstallListKey) + L"\\" + strName;
    // An entry in either list is the client's entry, also a machine-wide one this user may read but
    // not change; a second one would list the client twice.
    if (EntryExists(HKEY_LOCAL_MACHINE, kMachineView, strKey) || EntryExists(HKEY_CURRENT_USER, 0, strKey))
        return;
    if (!CreateEntry(HKEY_LOCAL_MACHINE, kMachineView, strName, texts))
        CreateEntry(HKEY_CURRENT_USER, 0, strName, texts);
}

void RemoveProgramEntry(const CString& strName)
{
    if (strName.IsEmpty())
        return;
    const CString strKey = CString(kUninstallListKey) + L"\\" + strName;
    // The entry holds values only, so the non-recursive delete suffices and can never take more.
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, strKey, kMachineView, 0);
    RegDeleteKeyW(HKEY_CURRENT_USER, strKey);
}
