#include "PngImage.h"
#include "CWinApp.h"
#include <cstring>
#include <wrl/client.h>

Gdiplus::Image* LoadPngImage(UINT nID)
{
    HINSTANCE hModule = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceW(hModule, MAKEINTRESOURCEW(nID), L"PNG");
    if (!hRes)
        return nullptr;
    DWORD cbSize = ::SizeofResource(hModule, hRes);
    if (!cbSize)
        return nullptr;
    HGLOBAL hResData = ::LoadResource(hModule, hRes);
    const void* pData = hResData ? ::LockResource(hResData) : nullptr;
    if (!pData)
        return nullptr;

    HGLOBAL hBlock = ::GlobalAlloc(GMEM_FIXED, cbSize);
    if (!hBlock)
        return nullptr;
    std::memcpy(reinterpret_cast<void*>(hBlock), pData, cbSize);
    // The stream frees the block when its last reference goes. GDI+ holds one for as long as the
    // image lives (it decodes lazily), so each image frees its own copy of the bytes when deleted.
    Microsoft::WRL::ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(hBlock, TRUE, &stream))) {
        ::GlobalFree(hBlock);
        return nullptr;
    }
    return new Gdiplus::Image(stream.Get());
}
