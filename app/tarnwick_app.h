#pragma once
// The application object: start-up as a single instance, the main panel run modally for
// the life of the process, and the shutdown-allowed flag that built-in actions set.

#include "platform/win32/win32_system.h"

#include <string>

class CTarnwickApp {
public:
    CTarnwickApp() = default;

    // Runs the program; returns FALSE in every case, as the process ends afterwards.
    // `commandLine` is the text behind the program name, taken whole.
    int InitInstance(const std::string& commandLine);

    // 1 lets Windows shut down or log off, 0 refuses. Every start allows it again.
    int m_bAllowShutdown = 0;

    // The process's exit code: 0, or for a start with a switch what became of it
    // (kSwitchDone, kSwitchRefused, kSwitchUnknown, kSwitchNoRunningCopy).
    int m_nExitCode = 0;

private:
    Win32System m_system;
};
