#pragma once
// Loading DLLs only from the system folder. Windows looks for a DLL that is not one of its
// protected known DLLs in the program's own folder first, so a copy lying beside the
// program (in the Downloads folder the zip was unpacked in, say) would run inside it.

#include <windows.h>

// Takes the program's folder and the current folder out of the search for every DLL loaded
// from now on, by the program and by the system on its behalf. Systems that lack a step
// (before Windows 7's search update) keep their search for that step.
void RestrictDllSearchToSystem();

// Loads `name` (such as L"winmm.dll") from the system folder, wherever else a copy lies;
// null when it cannot be loaded. The module stays loaded unless the caller frees it.
HMODULE LoadSystemLibrary(const wchar_t* name);
