#include "start/ProgramEntry.h"
#include "app/Paths.h"
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

CString ReadStringValue(HKEY hRoot, REGSAM view, const CString& strKey, LPCWSTR pszName)
{
    UniqueRegKey key;
    if (RegOpenKeyExW(hRoot, strKey, 0, KEY_QUERY_VALUE | view, key.put()) != ERROR_SUCCESS)
        return CString();
    DWORD cbData = 0;
    if (RegGetValueW(key.get(), nullptr, pszName, RRF_RT_REG_SZ, nullptr, nullptr, &cbData) != ERROR_SUCCESS)
        return CString();
    CString strValue;
    const int nChars = int(cbData / sizeof(wchar_t));
    const bool bRead = RegGetValueW(key.get(), nullptr, pszName, RRF_RT_REG_SZ, nullptr,
                                    strValue.GetBuffer(nChars + 1), &cbData) == ERROR_SUCCESS;
    strValue.ReleaseBuffer(bRead ? -1 : 0);
    return strValue;
}

// The executable an entry belongs to: its "Path", or the quoted program of its uninstall command.
CString EntryExecutable(HKEY hRoot, REGSAM view, const CString& strKey)
{
    const CString strPath = ReadStringValue(hRoot, view, strKey, L"Path");
    if (!strPath.IsEmpty())
        return strPath;
    const CString strCommand = ReadStringValue(hRoot, view, strKey, L"UninstallString");
    if (strCommand.GetLength() < 2 || strCommand[0] != L'"')
        return CString();
    const int nClose = strCommand.Find(L'"', 1);
    return nClose > 1 ? strCommand.Mid(1, nClose - 1) : CString();
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

void RemoveProgramEntry(const CString& strName, const CString& strExePath)
{
    if (strName.IsEmpty())
        return;
    const CString strKey = CString(kUninstallListKey) + L"\\" + strName;
    // The entry holds values only, so the non-recursive delete suffices and can never take more.
    // The machine's list is every user's: the entry goes only when it names this executable, never
    // another user's installation under the same name.
    if (IsSamePath(EntryExecutable(HKEY_LOCAL_MACHINE, kMachineView, strKey), strExePath))
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, strKey, kMachineView, 0);
    RegDeleteKeyW(HKEY_CURRENT_USER, strKey);
}
