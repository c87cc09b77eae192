#pragma once
// Starting a program with the desktop user's normal rights from an elevated process: the
// desktop's own shell (the process that shows the taskbar) is asked to start it, so it
// runs with that shell's rights, not with this process's.

#include <windows.h>

#include <string>

// True when this process runs elevated and the desktop's shell does not: the user's own
// programs run without the administrator rights this process has. False where there is
// no desktop shell, or it runs elevated too (then nothing would be gained by it).
bool ElevatedAboveDesktopShell();

// Hands the start to the desktop's shell; false when there is no desktop shell to ask, or it
// would not take it, and the caller starts the program itself. The shell reports nothing
// back: neither a failure nor the process.
bool LaunchThroughDesktopShell(const std::wstring& file, const std::wstring& parameters,
                               const std::wstring& directory, int showCommand);
