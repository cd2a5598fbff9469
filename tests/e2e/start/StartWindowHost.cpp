// A small program that runs the start window the way the main window does, in a process of its
// own, and writes the game URL it hands over into the file named by its argument. The end-to-end
// tests start it (as a copy with another login address) like the player starts the client.
#include <windows.h>
#include <shellapi.h>

#include "framework/Handles.h"
#include "start/TorvelLogin.h"
#include "support/WindowingStart.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return 2;
    CString strResultFile(argc >= 2 ? argv[1] : L"");
    LocalFree(argv);
    if (strResultFile.IsEmpty())
        return 2;
    const CWindowingStart windowing;
    if (!windowing.Started())
        return 2;

    INT_PTR result = -1;
    CString strUrl;
    {
        CTorvelLogin login;
        result = login.DoModal();
        strUrl = login.GetGameUrl();
    }
    std::string bytes = strUrl.ToUtf8();
    UniqueFile file(CreateFileW(strResultFile, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD put = 0;
    if (file)
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    file.reset();
    return result == 0 ? 0 : 3;
}
