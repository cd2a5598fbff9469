#include "GdiPlusBitmap.h"
#include "ScaledSkin.h"
#include <cstring>
#include <wrl/client.h>

void CGdiPlusBitmap::Empty()
{
    delete m_pBitmap;
    m_pBitmap = nullptr;
}

void CGdiPlusBitmapResource::Empty()
{
    // The bitmap may still read from the block: it goes first.
    CGdiPlusBitmap::Empty();
    if (m_hBuffer) {
        ::GlobalUnlock(m_hBuffer);
        ::GlobalFree(m_hBuffer);
        m_hBuffer = nullptr;
    }
}

bool CGdiPlusBitmapResource::LoadFromResource(UINT nID)
{
    Empty();
    HMODULE hModule = ::GetModuleHandleW(nullptr);
    HRSRC hRes = ::FindResourceW(hModule, MAKEINTRESOURCEW(nID), L"PNG");
    if (!hRes)
        return false;
    DWORD cbSize = ::SizeofResource(hModule, hRes);
    if (!cbSize)
        return false;
    HGLOBAL hResData = ::LoadResource(hModule, hRes);
    const void* pData = hResData ? ::LockResource(hResData) : nullptr;
    if (!pData)
        return false;

    m_hBuffer = ::GlobalAlloc(GMEM_MOVEABLE, cbSize);
    if (!m_hBuffer)
        return false;
    void* pBuffer = ::GlobalLock(m_hBuffer);
    if (!pBuffer) {
        ::GlobalFree(m_hBuffer);
        m_hBuffer = nullptr;
        return false;
    }
    std::memcpy(pBuffer, pData, cbSize);

    Microsoft::WRL::ComPtr<IStream> stream;
    if (SUCCEEDED(::CreateStreamOnHGlobal(m_hBuffer, FALSE, &stream)))
        m_pBitmap = Gdiplus::Bitmap::FromStream(stream.Get());
    // GDI+ keeps its own reference to the stream; ours ends here.
    stream.Reset();
    if (m_pBitmap && m_pBitmap->GetLastStatus() == Gdiplus::Ok)
        return true;
    Empty();
    return false;
}

bool CGdiPlusBitmapResource::LoadFromResource(UINT nID, UINT nDpi)
{
    if (nDpi == kDefaultDpi || nDpi == 0)
        return LoadFromResource(nID);
    Empty();
    m_pBitmap = LoadScaledSkinBitmap(nID, nDpi);
    return m_pBitmap != nullptr;
}
