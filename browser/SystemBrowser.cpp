#include "SystemBrowser.h"

#include <windows.h>
#include <shellapi.h>

namespace {

bool StartsWithNoCase(const CString& str, const wchar_t* pszPrefix)
{
    int nLen = lstrlenW(pszPrefix);
    return str.GetLength() >= nLen && str.Left(nLen).CompareNoCase(pszPrefix) == 0;
}

} // namespace

bool BuildIExploreParameters(const CString& strUrl, CString& strParams)
{
    strParams.Empty();
    if (!StartsWithNoCase(strUrl, L"http://") && !StartsWithNoCase(strUrl, L"https://"))
        return false;

    CString strQuoted(L"\"");
    int nBackslashes = 0;
    for (int i = 0; i < strUrl.GetLength(); ++i) {
        wchar_t ch = strUrl[i];
        nBackslashes = (ch == L'\\') ? nBackslashes + 1 : 0;
        if (ch == L'"' || ch < 0x20 || ch == 0x7F)
            strQuoted.AppendFormat(L"%%%02X", static_cast<unsigned>(ch));
        else
            strQuoted += CString(&ch, 1);
    }
    // Backslashes right before the closing quote would escape it; doubled, they stay backslashes.
    for (; nBackslashes > 0; --nBackslashes)
        strQuoted += L"\\";
    strQuoted += L"\"";
    strParams = strQuoted;
    return true;
}

bool OpenInSystemBrowser(const CString& strUrl)
{
    CString strParams;
    if (!BuildIExploreParameters(strUrl, strParams))
        return false;
    HINSTANCE hResult = ShellExecuteW(nullptr, L"Open", L"iexplore.exe", strParams, nullptr,
                                      SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(hResult) > 32;
}
