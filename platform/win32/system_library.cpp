#include "platform/win32/system_library.h"

#include <string>

namespace {

// Declared only for newer targets than ours; the values are those of the search update.
const DWORD kLoadLibrarySearchSystem32 = 0x00000800; // LOAD_LIBRARY_SEARCH_SYSTEM32

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryWFn = BOOL(WINAPI*)(LPCWSTR);

} // namespace

void RestrictDllSearchToSystem() {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) return;
    // Looked up rather than imported: a missing import would stop the program from
    // starting at all on the systems that lack them.
    auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) setDefault(kLoadLibrarySearchSystem32);
    // The empty string also drops the current folder, which an older system searches
    // where the update above is missing.
    auto setDirectory = reinterpret_cast<SetDllDirectoryWFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetDllDirectoryW")));
    if (setDirectory != nullptr) setDirectory(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    HMODULE module = ::LoadLibraryExW(name, nullptr, kLoadLibrarySearchSystem32);
    if (module != nullptr || ::GetLastError() != ERROR_INVALID_PARAMETER) return module;
    // A system without the search flag refuses it: name the system folder's copy in
    // full, and let its own imports be looked for beside it first.
    wchar_t dir[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(dir, n) + L"\\" + name;
    return ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
