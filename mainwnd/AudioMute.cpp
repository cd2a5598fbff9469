#include "mainwnd/AudioMute.h"

#include <windows.h>
#include <audioclient.h>
#include <audiopolicy.h>
#include <mmdeviceapi.h>
#include <wrl/client.h>

#include "framework/Trace.h"

using Microsoft::WRL::ComPtr;

bool SetOwnAudioMuted(bool bMuted)
{
    ComPtr<IMMDeviceEnumerator> pEnumerator;
    ComPtr<IMMDevice> pDevice;
    ComPtr<IAudioSessionManager> pSessions;
    ComPtr<ISimpleAudioVolume> pVolume;
    // The process's default session (no session id, not cross-process) is where the page's sound goes.
    HRESULT hr = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&pEnumerator));
    if (SUCCEEDED(hr))
        hr = pEnumerator->GetDefaultAudioEndpoint(eRender, eConsole, &pDevice);
    if (SUCCEEDED(hr))
        hr = pDevice->Activate(__uuidof(IAudioSessionManager), CLSCTX_INPROC_SERVER, nullptr,
                               reinterpret_cast<void**>(pSessions.GetAddressOf()));
    if (SUCCEEDED(hr))
        hr = pSessions->GetSimpleAudioVolume(nullptr, FALSE, &pVolume);
    if (SUCCEEDED(hr))
        hr = pVolume->SetMute(bMuted ? TRUE : FALSE, nullptr);
    if (FAILED(hr)) {
        wchar_t szLine[96];
        wsprintfW(szLine, L"Audio session not available (0x%08lX): sound left as it is", static_cast<unsigned long>(hr));
        Trace(szLine);
        return false;
    }
    Trace(bMuted ? L"Audio session muted" : L"Audio session unmuted");
    return true;
}
