#include "app/app_name.h"

#include <windows.h>

#include <vector>

namespace {

// Steps over double-byte characters, whose trail byte may be a backslash or a dot.
const char* NextChar(const char* p) {
    if (::IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != '\0') return p + 2;
    return p + 1;
}

// The system cuts a path that does not fit and says so only by filling the buffer: grow
// it until the path leaves room, so the name is never that of a cut path.
std::string ModulePath() {
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::vector<char> buffer(size + 1, '\0');
        const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), size);
        if (length == 0) return std::string();
        if (length < size) return std::string(buffer.data(), length);
    }
    return std::string();
}

} // namespace

std::string ApplicationName() {
    const std::string module = ModulePath();
    const char* path = module.c_str();
    const char* name = path;
    const char* dot = nullptr;
    for (const char* p = path; *p != '\0'; p = NextChar(p)) {
        if (*p == '\\' || *p == '/') {
            name = p + 1;
            dot = nullptr;
        } else if (*p == '.') {
            dot = p;
        }
    }
    return dot ? std::string(name, dot) : std::string(name);
}
