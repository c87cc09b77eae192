// A winmm.dll as anyone could leave it in the folder the program was unpacked in: loaded
// into a process, it leaves the file "planted-dll-loaded" in its own folder.

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    char path[MAX_PATH + 32];
    const DWORD n = ::GetModuleFileNameA(self, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return TRUE;
    char* name = path + n;
    while (name > path && name[-1] != '\\')
        --name;
    ::lstrcpyA(name, "planted-dll-loaded");
    HANDLE file = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    return TRUE;
}

// What a program that imports winmm for its door commands takes from it.
extern "C" __declspec(dllexport) UINT WINAPI mciSendStringA(LPCSTR, LPSTR, UINT, HWND) {
    return 0;
}
