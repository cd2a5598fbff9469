// Real key presses on the X display, typed by xdotool (a Unix program Wine starts like any other).
#pragma once
#include <windows.h>
#include <string>

// Gives hWnd's X window the keyboard focus and types keys there (xdotool's key syntax, for example
// L"F10" or L"ctrl+shift+a"). False when hWnd has no X window or xdotool could not be started.
bool TypeKeys(HWND hWnd, const std::wstring& strKeys);

// Real input through SendInput, to the window that has the keyboard focus: Ctrl held while the key
// wVk is pressed, or while the wheel turns by nDelta (120 a notch). False when the system refused.
bool SendCtrlKey(WORD wVk);
bool SendCtrlWheel(int nDelta);
