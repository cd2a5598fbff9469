// The client's own sound on and off: its audio sessions on the playback devices (its entries in the
// system's volume mixer), never the system volume that other programs share.
#pragma once

#include <windows.h>

#include <mmdeviceapi.h>
#include <wrl/client.h>

// Mutes or unmutes this process's audio session on every active playback device, so a headset
// plugged in later or the player routing the client to another device finds the same choice; streams
// the page opens later join those sessions and follow them. Needs COM on the calling thread. False
// when the system has no playback device or no session to give: muting is then a quiet no-op.
bool SetOwnAudioMuted(bool bMuted);

// Posts nMessage (no parameters) to a window whenever a playback device comes, goes or becomes the
// default, so that the window applies its choice again; sessions on a new device start unmuted.
// Needs COM on the calling thread for its whole life.
class CAudioDeviceWatch
{
public:
    CAudioDeviceWatch() = default;
    CAudioDeviceWatch(const CAudioDeviceWatch&) = delete;
    CAudioDeviceWatch& operator=(const CAudioDeviceWatch&) = delete;
    ~CAudioDeviceWatch() { Stop(); }

    // False when the system gives no device notifications (no audio service).
    bool Start(HWND hWnd, UINT nMessage);
    void Stop();

private:
    Microsoft::WRL::ComPtr<IMMDeviceEnumerator> m_pEnumerator;
    Microsoft::WRL::ComPtr<IMMNotificationClient> m_pClient;
};
