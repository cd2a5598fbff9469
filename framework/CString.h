// UTF-16 string with value semantics in the shape the rest of the program expects.
#pragma once
#include <windows.h>
#include <string>

class CString
{
public:
    CString() = default;
    CString(const wchar_t* psz) : m_str(psz ? psz : L"") {}
    CString(const wchar_t* pch, int nLength) : m_str(pch ? pch : L"", pch && nLength > 0 ? nLength : 0) {}
    CString(wchar_t ch, int nRepeat = 1) : m_str(nRepeat > 0 ? nRepeat : 0, ch) {}
    CString(const std::wstring& s) : m_str(s) {}
    CString(std::wstring&& s) : m_str(std::move(s)) {}

    // Text from the edges: the settings file and HTTP bodies are ANSI, ZIP names are UTF-8.
    static CString FromAnsi(const char* psz, int nLength = -1) { return FromCodePage(CP_ACP, psz, nLength); }
    static CString FromUtf8(const char* psz, int nLength = -1) { return FromCodePage(CP_UTF8, psz, nLength); }
    static CString FromCodePage(UINT codePage, const char* psz, int nLength = -1);
    std::string ToAnsi() const { return ToCodePage(CP_ACP); }
    std::string ToUtf8() const { return ToCodePage(CP_UTF8); }
    std::string ToCodePage(UINT codePage) const;

    operator const wchar_t*() const { return m_str.c_str(); }
    const wchar_t* GetString() const { return m_str.c_str(); }
    const std::wstring& str() const { return m_str; }
    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    wchar_t GetAt(int i) const { return m_str.at(static_cast<size_t>(i)); }
    wchar_t operator[](int i) const { return GetAt(i); }
    void SetAt(int i, wchar_t ch) { m_str.at(static_cast<size_t>(i)) = ch; }

    void Format(const wchar_t* pszFormat, ...);
    void FormatV(const wchar_t* pszFormat, va_list args);
    void AppendFormat(const wchar_t* pszFormat, ...);

    int Find(const wchar_t* pszSub, int iStart = 0) const;
    int Find(wchar_t ch, int iStart = 0) const;
    int ReverseFind(wchar_t ch) const;
    CString Left(int nCount) const;
    CString Mid(int iFirst) const;
    CString Mid(int iFirst, int nCount) const;
    CString Right(int nCount) const;

    int Compare(const wchar_t* psz) const { return m_str.compare(psz ? psz : L""); }
    int CompareNoCase(const wchar_t* psz) const;
    CString& MakeLower();
    CString& MakeUpper();
    CString& Trim() { TrimRight(); return TrimLeft(); }
    CString& TrimLeft();
    CString& TrimRight();
    CString& TrimRight(wchar_t ch);
    int Replace(const wchar_t* pszOld, const wchar_t* pszNew);

    // Room for nMinLength characters plus a terminator; ReleaseBuffer(-1) takes the length up to the
    // first NUL, never beyond the buffer.
    wchar_t* GetBuffer(int nMinLength);
    void ReleaseBuffer(int nNewLength = -1);

    CString& operator=(const wchar_t* psz) { m_str = psz ? psz : L""; return *this; }
    CString& operator+=(const CString& s) { m_str += s.m_str; return *this; }
    CString& operator+=(const wchar_t* psz) { if (psz) m_str += psz; return *this; }
    CString& operator+=(wchar_t ch) { m_str += ch; return *this; }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_str + b.m_str); }
    friend CString operator+(const CString& a, const wchar_t* b) { CString r(a); r += b; return r; }
    friend CString operator+(const wchar_t* a, const CString& b) { CString r(a); r += b; return r; }
    friend CString operator+(const CString& a, wchar_t ch) { CString r(a); r += ch; return r; }
    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
    friend bool operator==(const wchar_t* a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
    friend bool operator!=(const wchar_t* a, const CString& b) { return !(b == a); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }

private:
    std::wstring m_str;
};
