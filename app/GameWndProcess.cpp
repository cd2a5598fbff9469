#include "app/GameWndProcess.h"

// The hosted game window arrives with the second-process support; until then such a process ends
// at once rather than lingering without a window.
BOOL RunGameWindowProcess(CWinApp&, HWND, const CString&)
{
    return FALSE;
}
