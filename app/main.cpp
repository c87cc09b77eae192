// Entry point: hands the command line to the one application object.

#include "app/tarnwick_app.h"

#include <windows.h>

namespace {
CTarnwickApp theApp;
} // namespace

// The run-time library passes the text behind the program name, blanks before it skipped.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    theApp.InitInstance(commandLine ? commandLine : "");
    return 0;
}
