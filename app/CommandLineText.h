// The command-line classification on plain text, without window code or Windows types, so that it is
// tested directly and fuzzed natively; app/CommandLine.h offers it on the framework's strings.
#pragma once

#include <cstdint>
#include <string>

enum class ProcessRole
{
    UpdateStep,      // "-d <target>"
    UninstallPrompt, // ends in "-u"
    Uninstall,       // "-u <exe to remove>"
    Other,           // the game-window process or the normal run, told apart by the switches below
};

ProcessRole ClassifyCommandLineText(const std::wstring& strCmdLine);

// Everything from the fourth character on: the path after "-d " or "-u ", taken verbatim.
std::wstring SwitchArgumentText(const std::wstring& strCmdLine);

struct GameWindowSwitchText
{
    std::int32_t nFrameWnd = 0; // the window handle's 32 bits; 0 unless "-frameWnd=<number> " names one
    std::wstring strGameUrl;    // everything after "-gameurl=", spaces included
};

// "-frameWnd=<handle> ... -gameurl=<url>". The handle is a decimal 32-bit value written signed or
// unsigned; a number not followed by a space, or one that does not fit in 32 bits, gives no handle.
// "-gameurl=" is looked for after the handle's space when a handle switch is there.
GameWindowSwitchText ParseGameWindowSwitchText(const std::wstring& strCmdLine);
