#include "app/RunningClients.h"

#include <tlhelp32.h>

#include "app/Paths.h"
#include "framework/Handles.h"

namespace {

CString ImagePathOf(DWORD dwProcessId)
{
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, dwProcessId));
    if (!process)
        return CString();
    // Paths past MAX_PATH exist; the second try has room for the longest a process can carry.
    for (DWORD nCapacity : {DWORD(MAX_PATH), DWORD(32768)}) {
        CString strImage;
        DWORD nChars = nCapacity;
        if (QueryFullProcessImageNameW(process.get(), 0, strImage.GetBuffer(int(nCapacity)), &nChars)) {
            strImage.ReleaseBuffer(int(nChars));
            return strImage;
        }
        strImage.ReleaseBuffer(0);
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            break;
    }
    return CString();
}

}  // namespace

std::vector<DWORD> FindProcessesRunning(const CString& strExePath)
{
    std::vector<DWORD> ids;
    if (strExePath.IsEmpty())
        return ids;
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    const DWORD dwSelf = GetCurrentProcessId();
    for (BOOL bMore = Process32FirstW(snapshot.get(), &entry); bMore; bMore = Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == dwSelf || entry.th32ProcessID == 0)
            continue;
        const CString strImage = ImagePathOf(entry.th32ProcessID);
        if (!strImage.IsEmpty() && IsSamePath(strImage, strExePath))
            ids.push_back(entry.th32ProcessID);
    }
    return ids;
}
