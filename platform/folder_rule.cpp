#include "platform/folder_rule.h"

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Only ASCII letters fold: the file system's case rules for other letters are its own,
// and a mismatch there only ever makes a path "outside", the safe answer.
char Fold(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string WithoutLongPrefix(const std::string& path) {
    static const char kPrefix[] = "\\\\?\\";
    if (path.compare(0, 4, kPrefix) != 0) return path;
    if (path.compare(4, 4, "UNC\\") == 0) return "\\\\" + path.substr(8);
    return path.substr(4);
}

bool HasDotComponent(const std::string& path) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end]))
            ++end;
        const std::string part = path.substr(start, end - start);
        if (part == "." || part == "..") return true;
        start = end + 1;
    }
    return false;
}

} // namespace

bool IsInsideFolder(const std::string& path, const std::string& folder) {
    const std::string p = WithoutLongPrefix(path);
    std::string f = WithoutLongPrefix(folder);
    while (!f.empty() && IsSeparator(f.back()))
        f.pop_back();
    if (f.empty() || HasDotComponent(p) || HasDotComponent(f)) return false;
    if (p.size() <= f.size() + 1) return false;
    for (size_t i = 0; i < f.size(); ++i) {
        if (IsSeparator(f[i]) ? !IsSeparator(p[i]) : Fold(f[i]) != Fold(p[i])) return false;
    }
    // A folder "C:\Program Files" holds "C:\Program Files\x", not "C:\Program Files (x86)".
    return IsSeparator(p[f.size()]) && !IsSeparator(p[f.size() + 1]);
}
