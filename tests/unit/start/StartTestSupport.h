// Shared pieces of the start-window tests: GDI+ and common controls as the application sets them
// up, a message pump that walks PreTranslateMessage like the dialogs' loop, a modal run acted on
// from a timer, the skinned message box found on screen, and a settings file put back afterwards.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "framework/CString.h"
#include "support/ClientWindows.h"
#include "support/RectText.h"
#include "support/Wait.h"
#include "support/NoCopy.h"


// Runs fnStart (which enters a modal loop) and, from a timer inside that loop, fnAction once
// fnReady() holds. If the loop is still running 8 s after the action, fnGiveUp() ends it.
void RunModalWithAction(const std::function<void()>& fnStart, const std::function<bool()>& fnReady,
                        const std::function<void()>& fnAction, const std::function<void()>& fnGiveUp);

// Memory committed by the process, for leak checks.
SIZE_T PrivateBytes();

// Keeps the settings file's bytes (or its absence) and puts them back on destruction.
class CSettingsFileGuard : CNoCopy
{
public:
    CSettingsFileGuard();
    ~CSettingsFileGuard();

private:
    CString m_strPath;
    bool m_bExisted = false;
    std::string m_bytes;
};
