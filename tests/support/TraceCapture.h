// The program's diagnostic lines (Trace), collected from any thread while a capture lives. A thread
// that traces a line starting with a given prefix can be held there until the test releases it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "support/NoCopy.h"

class CTraceCapture : CNoCopy
{
public:
    CTraceCapture();
    ~CTraceCapture();

    static std::vector<std::wstring> Lines();
    static int Count(const std::wstring& line);
    static std::vector<std::wstring> LinesStartingWith(const wchar_t* pszPrefix);
    // The thread that traces a line starting with prefix waits there until Release().
    void HoldAt(const std::wstring& prefix);
    // Waits until a thread is held; false after nMilliseconds.
    bool WaitHeld(DWORD nMilliseconds);
    void Release();
};
