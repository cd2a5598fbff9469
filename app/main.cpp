// The process entry and the one application object.
#include "app/Torvel_QermApp.h"

CTorvel_QermApp theApp;

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int nCmdShow)
{
    return CWinApp::AfxWinMain(hInstance, nCmdShow);
}
