#include "OleSite.h"

#include <exdisp.h>
#include <wrl/client.h>

#include "Trace.h"

using Microsoft::WRL::ComPtr;

HRESULT CreateWebBrowserObject(IOleClientSite* pSite, IStorage** ppStorage, IOleObject** ppObject)
{
    *ppStorage = nullptr;
    *ppObject = nullptr;
    // A nameless docfile lives in the temporary folder; without DELETEONRELEASE every browser ever
    // created would leave a file behind there.
    HRESULT hr = StgCreateDocfile(nullptr,
                                  STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE | STGM_DELETEONRELEASE,
                                  0, ppStorage);
    if (FAILED(hr))
        return hr;
    hr = OleCreate(CLSID_WebBrowser, IID_IOleObject, OLERENDER_DRAW, nullptr, pSite, *ppStorage,
                   reinterpret_cast<void**>(ppObject));
    // The moment the HTML engine may read its per-program settings: diagnostics show what came first.
    Trace(SUCCEEDED(hr) ? L"WebBrowser control created" : L"WebBrowser control not created");
    return hr;
}

void ShutDownWebBrowserObject(IOleObject* pObject, IOleInPlaceObject* pInPlaceObject)
{
    if (pObject) {
        ComPtr<IWebBrowser2> pBrowser;
        if (SUCCEEDED(pObject->QueryInterface(IID_PPV_ARGS(&pBrowser))))
            pBrowser->Stop();
    }
    if (pInPlaceObject)
        pInPlaceObject->InPlaceDeactivate();
    if (pObject) {
        pObject->Close(OLECLOSE_NOSAVE);
        pObject->SetClientSite(nullptr);
    }
}

static HRESULT FindConnectionPoint(IUnknown* pSource, REFIID iid, ComPtr<IConnectionPoint>& pPoint)
{
    if (!pSource)
        return E_POINTER;
    ComPtr<IConnectionPointContainer> pContainer;
    HRESULT hr = pSource->QueryInterface(IID_PPV_ARGS(&pContainer));
    if (FAILED(hr))
        return hr;
    return pContainer->FindConnectionPoint(iid, &pPoint);
}

HRESULT AdviseConnection(IUnknown* pSource, REFIID iid, IUnknown* pSink, DWORD* pdwCookie)
{
    *pdwCookie = 0;
    ComPtr<IConnectionPoint> pPoint;
    HRESULT hr = FindConnectionPoint(pSource, iid, pPoint);
    if (FAILED(hr))
        return hr;
    DWORD dwCookie = 0;
    hr = pPoint->Advise(pSink, &dwCookie);
    if (SUCCEEDED(hr))
        *pdwCookie = dwCookie;
    return hr;
}

HRESULT UnadviseConnection(IUnknown* pSource, REFIID iid, DWORD dwCookie)
{
    ComPtr<IConnectionPoint> pPoint;
    HRESULT hr = FindConnectionPoint(pSource, iid, pPoint);
    if (FAILED(hr))
        return hr;
    return pPoint->Unadvise(dwCookie);
}

bool IsSameComObject(IUnknown* pFirst, IUnknown* pSecond)
{
    if (!pFirst || !pSecond)
        return false;
    Microsoft::WRL::ComPtr<IUnknown> pIdentityFirst, pIdentitySecond;
    // Get(), not the ComPtrs themselves: those compare as booleans here.
    return SUCCEEDED(pFirst->QueryInterface(IID_PPV_ARGS(&pIdentityFirst))) &&
           SUCCEEDED(pSecond->QueryInterface(IID_PPV_ARGS(&pIdentitySecond))) &&
           pIdentityFirst.Get() == pIdentitySecond.Get();
}
