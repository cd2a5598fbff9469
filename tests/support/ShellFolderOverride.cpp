#include "ShellFolderOverride.h"

namespace {
const wchar_t kUserShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
}  // namespace

ShellFolderOverride::ShellFolderOverride(const wchar_t* pszValue, const CString& strPath) : m_pszValue(pszValue)
{
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kUserShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, m_key.put()) !=
        ERROR_SUCCESS)
        return;
    DWORD cb = 0;
    m_bHadValue = ::RegQueryValueExW(m_key.get(), m_pszValue, nullptr, &m_type, nullptr, &cb) == ERROR_SUCCESS;
    m_saved.resize(cb);
    if (m_bHadValue &&
        ::RegQueryValueExW(m_key.get(), m_pszValue, nullptr, &m_type, m_saved.data(), &cb) != ERROR_SUCCESS)
        return;
    m_bActive = ::RegSetValueExW(m_key.get(), m_pszValue, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(
                                     static_cast<const wchar_t*>(strPath)),
                                 DWORD((strPath.GetLength() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

ShellFolderOverride::~ShellFolderOverride()
{
    if (!m_bActive)
        return;
    if (m_bHadValue)
        ::RegSetValueExW(m_key.get(), m_pszValue, 0, m_type, m_saved.data(), DWORD(m_saved.size()));
    else
        ::RegDeleteValueW(m_key.get(), m_pszValue);
}
