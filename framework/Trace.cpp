#include "Trace.h"
#include <windows.h>
#include <atomic>

namespace {
std::atomic<TraceSink> g_traceSink{nullptr};
}

void Trace(const wchar_t* text)
{
    if (!text)
        return;
    OutputDebugStringW(text);
    if (TraceSink sink = g_traceSink.load())
        sink(text);
}

TraceSink SetTraceSink(TraceSink sink)
{
    return g_traceSink.exchange(sink);
}
