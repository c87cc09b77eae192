#include "platform/win32/system_library.h"

#include <string>

namespace {

// Declared only for newer targets than ours; the values are those of the search update.
const DWORD kLoadLibrarySearchSystem32 = 0x00000800;

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryAFn = BOOL(WINAPI*)(LPCSTR);

} // namespace

void RestrictDllSearchToSystem() {
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return;
    // Looked up rather than imported: a missing import would stop the program from
    // starting at all on the systems that lack them.
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) setDefault(kLoadLibrarySearchSystem32);
    // The empty string also drops the current folder, which an older system searches
    // where the update above is missing.
    auto setDirectory = reinterpret_cast<SetDllDirectoryAFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDirectory != nullptr) setDirectory("");
}

HMODULE LoadSystemLibrary(const char* name) {
    HMODULE module = ::LoadLibraryExA(name, nullptr, kLoadLibrarySearchSystem32);
    if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
    // A system without the search flag refuses it: name the system folder's copy in
    // full, and let its own imports be looked for beside it first.
    char dir[MAX_PATH];
    const UINT n = ::GetSystemDirectoryA(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    const std::string path = std::string(dir, n) + "\\" + name;
    return ::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
