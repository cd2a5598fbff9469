// A small HTTP GET for notifications to the operator's servers.
#pragma once

#include <cstddef>

#include "framework/CString.h"

// Bodies longer than this are cut: the text is for us to read, and a hostile or broken server must
// not be able to fill our memory.
constexpr std::size_t kHttpBodyLimit = 1024 * 1024;

// The body of the response as text in the ANSI code page (up to its first zero byte, at most
// kHttpBodyLimit bytes). Empty for a status of 400 or above, an unreachable host or any failure.
// Never throws, never shows anything. A host that connects but does not answer gives up after a few
// seconds (each of connecting, sending and every receive is bounded), so a window's thread may call it.
CString HttpGetText(const CString& url);
