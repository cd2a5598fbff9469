#include "TraceCapture.h"

#include <algorithm>
#include <mutex>

#include "framework/Handles.h"
#include "framework/Trace.h"

namespace {
std::mutex g_mutex;
std::vector<std::wstring> g_lines;
std::wstring g_strHoldPrefix;
UniqueHandle g_hHeld;
UniqueHandle g_hRelease;
TraceSink g_previousSink = nullptr;

void CollectLine(const wchar_t* pszText)
{
    bool bHold = false;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_lines.emplace_back(pszText ? pszText : L"");
        bHold = !g_strHoldPrefix.empty() && g_lines.back().rfind(g_strHoldPrefix, 0) == 0;
    }
    if (bHold) {
        ::SetEvent(g_hHeld.get());
        ::WaitForSingleObject(g_hRelease.get(), 30000);
    }
}
}  // namespace

CTraceCapture::CTraceCapture()
{
    g_hHeld.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    g_hRelease.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_lines.clear();
        g_strHoldPrefix.clear();
    }
    g_previousSink = SetTraceSink(&CollectLine);
}

CTraceCapture::~CTraceCapture()
{
    Release();
    SetTraceSink(g_previousSink);
}

std::vector<std::wstring> CTraceCapture::Lines()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_lines;
}

int CTraceCapture::Count(const std::wstring& line)
{
    const std::vector<std::wstring> lines = Lines();
    return int(std::count(lines.begin(), lines.end(), line));
}

std::vector<std::wstring> CTraceCapture::LinesStartingWith(const wchar_t* pszPrefix)
{
    std::vector<std::wstring> lines = Lines();
    lines.erase(std::remove_if(lines.begin(), lines.end(), [pszPrefix](const std::wstring& line) {
        return line.rfind(pszPrefix, 0) != 0;
    }), lines.end());
    return lines;
}

void CTraceCapture::HoldAt(const std::wstring& prefix)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_strHoldPrefix = prefix;
}

bool CTraceCapture::WaitHeld(DWORD nMilliseconds)
{
    return ::WaitForSingleObject(g_hHeld.get(), nMilliseconds) == WAIT_OBJECT_0;
}

void CTraceCapture::Release()
{
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_strHoldPrefix.clear();
    }
    ::SetEvent(g_hRelease.get());
}
