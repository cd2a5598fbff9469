// The process entry and the one application object.
#include "app/Torvel_QermApp.h"

#include <cstdlib>

CTorvel_QermApp theApp;

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int nCmdShow)
{
    return CWinApp::AfxWinMain(hInstance, nCmdShow);
}

// What the runtime calls for an exception that nothing catches. Its own handler prints the
// exception's demangled type to the standard error stream, which a windowed program does not have,
// and brings the whole demangler (some 60 KB) into the executable for that. Ending the process is
// what both do.
namespace __gnu_cxx {
void __verbose_terminate_handler()
{
    std::abort();
}
}  // namespace __gnu_cxx
