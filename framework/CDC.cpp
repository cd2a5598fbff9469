#include "CDC.h"
#include "CWnd.h"

CDC::~CDC()
{
    if (m_bOwned && m_hDC)
        ::DeleteDC(m_hDC);
}

bool CDC::Attach(HDC hdc)
{
    if (m_bOwned && m_hDC)
        ::DeleteDC(m_hDC);
    m_hDC = hdc;
    m_bOwned = false;
    return hdc != nullptr;
}

HDC CDC::Detach()
{
    HDC h = m_hDC;
    m_hDC = nullptr;
    m_bOwned = false;
    return h;
}

bool CDC::CreateCompatibleDC(CDC* pDC)
{
    HDC h = ::CreateCompatibleDC(pDC ? pDC->m_hDC : nullptr);
    if (!h)
        return false;
    Attach(h);
    m_bOwned = true;
    return true;
}

bool CDC::DeleteDC()
{
    if (!m_hDC)
        return false;
    bool ok = !m_bOwned || ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_bOwned = false;
    return ok;
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd())
{
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->GetSafeHwnd() : nullptr)
{
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWnd, Detach());
}

HGDIOBJ CDC::SelectObject(CBitmap* pBitmap)
{
    return pBitmap ? ::SelectObject(m_hDC, pBitmap->m_hObject) : nullptr;
}

bool CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    HBITMAP h = ::CreateCompatibleBitmap(pDC ? pDC->m_hDC : nullptr, nWidth, nHeight);
    if (!h)
        return false;
    Attach(h);
    return true;
}

bool CBitmap::Attach(HBITMAP hBitmap)
{
    DeleteObject();
    m_hObject = hBitmap;
    return hBitmap != nullptr;
}

HBITMAP CBitmap::Detach()
{
    HBITMAP h = m_hObject;
    m_hObject = nullptr;
    return h;
}

bool CBitmap::DeleteObject()
{
    if (!m_hObject)
        return false;
    bool ok = ::DeleteObject(m_hObject) != FALSE;
    m_hObject = nullptr;
    return ok;
}

CSize CBitmap::GetSize() const
{
    BITMAP bm{};
    if (!m_hObject || !::GetObjectW(m_hObject, sizeof bm, &bm))
        return CSize();
    return CSize(bm.bmWidth, bm.bmHeight);
}
