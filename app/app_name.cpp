#include "app/app_name.h"

#include "platform/win32/wide.h"

#include <windows.h>

#include <vector>

namespace {

// The system cuts a path that does not fit and says so only by filling the buffer: grow
// it until the path leaves room, so the name is never that of a cut path.
std::string ModulePath() {
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::vector<wchar_t> buffer(size + 1, L'\0');
        const DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) return std::string();
        if (length < size) return Narrow(std::wstring_view(buffer.data(), length));
    }
    return std::string();
}

} // namespace

std::string ApplicationName() {
    const std::string module = ModulePath();
    const char* path = module.c_str();
    const char* name = path;
    const char* dot = nullptr;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '\\' || *p == '/') {
            name = p + 1;
            dot = nullptr;
        } else if (*p == '.') {
            dot = p;
        }
    }
    return dot ? std::string(name, dot) : std::string(name);
}
