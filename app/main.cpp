// Entry point: hands the command line to the one application object.

#include "app/tarnwick_app.h"
#include "platform/win32/wide.h"

#include <windows.h>

namespace {
CTarnwickApp theApp;
} // namespace

// The run-time library passes the text behind the program name, blanks before it skipped;
// taken wide, so a folder of any name arrives whole.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int) {
    theApp.InitInstance(Narrow(commandLine));
    return theApp.m_nExitCode;
}
