// The client's own sound on and off: its audio session on the default playback device (its entry in
// the system's volume mixer), never the system volume that other programs share.
#pragma once

// Mutes or unmutes this process's audio session; streams the page opens later join that session and
// follow it. Needs COM on the calling thread. False when the system has no playback device or no
// session to give: muting is then a quiet no-op.
bool SetOwnAudioMuted(bool bMuted);
