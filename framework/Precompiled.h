// The system and library headers nearly every source file of the product includes, compiled once per
// build (CMake's precompiled header): parsing them is most of the time a source file takes.
// Only headers that are harmless everywhere belong here; what one file needs stays in that file
// (<shlobj.h> is not harmless: its COM interface Folder hides any function of that name).
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <ole2.h>
#include <oleauto.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <commctrl.h>
#include <wininet.h>
#include <exdisp.h>
#include <wrl/client.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>
