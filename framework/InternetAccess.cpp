#include "framework/InternetAccess.h"

#include <wininet.h>

namespace {

bool IsLoopbackHost(CString strHost)
{
    if (strHost.GetLength() >= 2 && strHost[0] == L'[' && strHost[strHost.GetLength() - 1] == L']')
        strHost = strHost.Mid(1, strHost.GetLength() - 2);
    if (strHost.CompareNoCase(L"localhost") == 0 || strHost == L"::1")
        return true;
    // 127.0.0.0/8, written as a dotted address.
    if (strHost.Left(4) != L"127.")
        return false;
    for (int i = 4; i < strHost.GetLength(); ++i) {
        const wchar_t ch = strHost[i];
        if (ch != L'.' && (ch < L'0' || ch > L'9'))
            return false;
    }
    return true;
}

}  // namespace

bool IsLoopbackUrl(const CString& url)
{
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;  // point into url instead of copying
    if (!InternetCrackUrlW(url, 0, 0, &parts) || !parts.lpszHostName || parts.dwHostNameLength == 0)
        return false;
    return IsLoopbackHost(CString(parts.lpszHostName, static_cast<int>(parts.dwHostNameLength)));
}

DWORD InternetAccessTypeFor(const CString& url)
{
    return IsLoopbackUrl(url) ? INTERNET_OPEN_TYPE_DIRECT : INTERNET_OPEN_TYPE_PRECONFIG;
}
