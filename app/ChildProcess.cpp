#include "app/ChildProcess.h"
#include "framework/Handles.h"
#include <vector>

bool StartChildProcess(const CString& strApplication, const CString* pstrCommandLine)
{
    SECURITY_ATTRIBUTES saProcess{};
    saProcess.nLength = sizeof saProcess;
    saProcess.bInheritHandle = TRUE;
    SECURITY_ATTRIBUTES saThread = saProcess;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    // CreateProcessW may write into the command line, so it gets a private copy.
    std::vector<wchar_t> cmd;
    if (pstrCommandLine) {
        const wchar_t* p = *pstrCommandLine;
        cmd.assign(p, p + pstrCommandLine->GetLength() + 1);
    }
    if (!CreateProcessW(strApplication, pstrCommandLine ? cmd.data() : nullptr, &saProcess, &saThread, FALSE,
                        CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr, &si, &pi))
        return false;
    UniqueHandle process(pi.hProcess);
    UniqueHandle thread(pi.hThread);
    return true;
}
