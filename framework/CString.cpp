#include "CString.h"
#include <cstdarg>
#include <cstdio>
#include <cwctype>

CString CString::FromCodePage(UINT codePage, const char* psz, int nLength)
{
    CString result;
    if (!psz)
        return result;
    if (nLength < 0)
        nLength = static_cast<int>(strlen(psz));
    if (nLength == 0)
        return result;
    int n = MultiByteToWideChar(codePage, 0, psz, nLength, nullptr, 0);
    if (n <= 0)
        return result;
    result.m_str.resize(static_cast<size_t>(n));
    MultiByteToWideChar(codePage, 0, psz, nLength, &result.m_str[0], n);
    return result;
}

std::string CString::ToCodePage(UINT codePage) const
{
    std::string out;
    if (m_str.empty())
        return out;
    int len = GetLength();
    int n = WideCharToMultiByte(codePage, 0, m_str.data(), len, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return out;
    out.resize(static_cast<size_t>(n));
    WideCharToMultiByte(codePage, 0, m_str.data(), len, &out[0], n, nullptr, nullptr);
    return out;
}

void CString::FormatV(const wchar_t* pszFormat, va_list args)
{
    // The runtime's own formatter: "%s" takes a wide string, as everywhere in this program.
    va_list probe;
    va_copy(probe, args);
    int n = _vscwprintf(pszFormat, probe);
    va_end(probe);
    if (n < 0) {
        m_str.clear();
        return;
    }
    std::wstring buf(static_cast<size_t>(n) + 1, L'\0');
    _vsnwprintf(&buf[0], buf.size(), pszFormat, args);
    buf.resize(static_cast<size_t>(n));
    m_str = std::move(buf);
}

void CString::Format(const wchar_t* pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* pszFormat, ...)
{
    CString tail;
    va_list args;
    va_start(args, pszFormat);
    tail.FormatV(pszFormat, args);
    va_end(args);
    m_str += tail.m_str;
}

int CString::Find(const wchar_t* pszSub, int iStart) const
{
    if (!pszSub || iStart < 0 || iStart > GetLength())
        return -1;
    size_t pos = m_str.find(pszSub, static_cast<size_t>(iStart));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(wchar_t ch, int iStart) const
{
    if (iStart < 0 || iStart > GetLength())
        return -1;
    size_t pos = m_str.find(ch, static_cast<size_t>(iStart));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(wchar_t ch) const
{
    size_t pos = m_str.rfind(ch);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int nCount) const
{
    if (nCount <= 0)
        return CString();
    return CString(m_str.substr(0, static_cast<size_t>(nCount)));
}

CString CString::Mid(int iFirst) const
{
    return Mid(iFirst, GetLength());
}

CString CString::Mid(int iFirst, int nCount) const
{
    if (iFirst < 0)
        iFirst = 0;
    if (nCount <= 0 || iFirst >= GetLength())
        return CString();
    return CString(m_str.substr(static_cast<size_t>(iFirst), static_cast<size_t>(nCount)));
}

CString CString::Right(int nCount) const
{
    if (nCount <= 0)
        return CString();
    if (nCount >= GetLength())
        return *this;
    return CString(m_str.substr(m_str.size() - static_cast<size_t>(nCount)));
}

int CString::CompareNoCase(const wchar_t* psz) const
{
    return lstrcmpiW(m_str.c_str(), psz ? psz : L"");
}

CString& CString::MakeLower()
{
    if (!m_str.empty())
        CharLowerBuffW(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::MakeUpper()
{
    if (!m_str.empty())
        CharUpperBuffW(&m_str[0], static_cast<DWORD>(m_str.size()));
    return *this;
}

CString& CString::TrimLeft()
{
    size_t i = 0;
    while (i < m_str.size() && iswspace(m_str[i]))
        ++i;
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimRight()
{
    while (!m_str.empty() && iswspace(m_str.back()))
        m_str.pop_back();
    return *this;
}

CString& CString::TrimRight(wchar_t ch)
{
    while (!m_str.empty() && m_str.back() == ch)
        m_str.pop_back();
    return *this;
}

int CString::Replace(const wchar_t* pszOld, const wchar_t* pszNew)
{
    if (!pszOld || !*pszOld)
        return 0;
    std::wstring from(pszOld), to(pszNew ? pszNew : L"");
    int count = 0;
    for (size_t pos = m_str.find(from); pos != std::wstring::npos; pos = m_str.find(from, pos + to.size())) {
        m_str.replace(pos, from.size(), to);
        ++count;
    }
    return count;
}

wchar_t* CString::GetBuffer(int nMinLength)
{
    size_t want = nMinLength > 0 ? static_cast<size_t>(nMinLength) : 0;
    if (m_str.size() < want)
        m_str.resize(want);
    // One extra, always NUL, so the caller may fill nMinLength characters plus a terminator.
    m_str.reserve(m_str.size() + 1);
    return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0) {
        size_t n = 0;
        while (n < m_str.size() && m_str[n] != L'\0')
            ++n;
        m_str.resize(n);
    } else if (static_cast<size_t>(nNewLength) <= m_str.size()) {
        m_str.resize(static_cast<size_t>(nNewLength));
    }
}
