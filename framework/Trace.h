// Diagnostic lines. They go to the debugger through OutputDebugStringW and, when one is installed,
// to a sink (tests observe the program's diagnostics there).
#pragma once

using TraceSink = void (*)(const wchar_t* text);

void Trace(const wchar_t* text);
// Installs a sink and returns the previous one; null removes it.
TraceSink SetTraceSink(TraceSink sink);
