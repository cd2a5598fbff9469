#include "mainwnd/AudioMute.h"

#include <audioclient.h>
#include <audiopolicy.h>
#include <mmdeviceapi.h>

#include <atomic>
#include <new>

#include "framework/Trace.h"

using Microsoft::WRL::ComPtr;

namespace {

HRESULT SetMuteOnDevice(IMMDevice* pDevice, bool bMuted)
{
    ComPtr<IAudioSessionManager> pSessions;
    ComPtr<ISimpleAudioVolume> pVolume;
    // The process's default session on the device (no session id, not cross-process) is where the
    // page's sound goes when it plays there.
    HRESULT hr = pDevice->Activate(__uuidof(IAudioSessionManager), CLSCTX_INPROC_SERVER, nullptr,
                                   reinterpret_cast<void**>(pSessions.GetAddressOf()));
    if (SUCCEEDED(hr))
        hr = pSessions->GetSimpleAudioVolume(nullptr, FALSE, &pVolume);
    if (SUCCEEDED(hr))
        hr = pVolume->SetMute(bMuted ? TRUE : FALSE, nullptr);
    return hr;
}

// The system calls it on threads of its own: it only posts to the window, which does the work.
class CDeviceNotification : public IMMNotificationClient
{
public:
    CDeviceNotification(HWND hWnd, UINT nMessage) : m_hWnd(hWnd), m_nMessage(nMessage) {}
    virtual ~CDeviceNotification() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) noexcept override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IMMNotificationClient)) {
            *ppv = static_cast<IMMNotificationClient*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() noexcept override
    {
        const ULONG nRefs = --m_nRefs;
        if (nRefs == 0)
            delete this;
        return nRefs;
    }

    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) noexcept override { return Changed(); }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) noexcept override { return Changed(); }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole, LPCWSTR) noexcept override
    {
        return flow == eRender ? Changed() : S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) noexcept override { return S_OK; }

private:
    HRESULT Changed()
    {
        PostMessageW(m_hWnd, m_nMessage, 0, 0);
        return S_OK;
    }

    std::atomic<ULONG> m_nRefs{1};
    HWND m_hWnd;
    UINT m_nMessage;
};

}  // namespace

bool SetOwnAudioMuted(bool bMuted)
{
    ComPtr<IMMDeviceEnumerator> pEnumerator;
    ComPtr<IMMDeviceCollection> pDevices;
    HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&pEnumerator));
    if (SUCCEEDED(hr))
        hr = pEnumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, &pDevices);
    UINT nDevices = 0;
    if (SUCCEEDED(hr))
        hr = pDevices->GetCount(&nDevices);
    UINT nSet = 0;
    for (UINT i = 0; SUCCEEDED(hr) && i < nDevices; ++i) {
        ComPtr<IMMDevice> pDevice;
        // One device that refuses does not keep the others from following.
        if (SUCCEEDED(pDevices->Item(i, &pDevice)) && SUCCEEDED(SetMuteOnDevice(pDevice.Get(), bMuted)))
            ++nSet;
    }
    if (SUCCEEDED(hr) && nSet == 0)
        hr = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    if (FAILED(hr)) {
        wchar_t szLine[96];
        wsprintfW(szLine, L"Audio session not available (0x%08lX): sound left as it is", static_cast<unsigned long>(hr));
        Trace(szLine);
        return false;
    }
    wchar_t szLine[64];
    wsprintfW(szLine, bMuted ? L"Audio session muted on %u device(s)" : L"Audio session unmuted on %u device(s)", nSet);
    Trace(szLine);
    return true;
}

bool CAudioDeviceWatch::Start(HWND hWnd, UINT nMessage)
{
    Stop();
    ComPtr<IMMDeviceEnumerator> pEnumerator;
    if (FAILED(CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&pEnumerator))))
        return false;
    ComPtr<IMMNotificationClient> pClient;
    pClient.Attach(new (std::nothrow) CDeviceNotification(hWnd, nMessage));
    if (!pClient)
        return false;
    if (FAILED(pEnumerator->RegisterEndpointNotificationCallback(pClient.Get())))
        return false;
    m_pEnumerator = pEnumerator;
    m_pClient = pClient;
    return true;
}

void CAudioDeviceWatch::Stop()
{
    if (m_pEnumerator && m_pClient)
        m_pEnumerator->UnregisterEndpointNotificationCallback(m_pClient.Get());
    m_pClient.Reset();
    m_pEnumerator.Reset();
}
