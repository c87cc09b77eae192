#include "ui/code_page_path.h"

#include <windows.h>

#include <vector>

namespace {

// True when `wide` converts to the code page and back unchanged, without any character
// replaced by a default or a look-alike ("best fit").
bool ConvertExactly(const std::wstring& wide, std::string& text) {
    text.clear();
    if (wide.empty()) return true;
    const int length = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int bytes = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                            nullptr, 0, nullptr, &usedDefault);
    if (bytes <= 0) return false;
    std::vector<char> buffer(static_cast<size_t>(bytes));
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, buffer.data(), bytes,
                          nullptr, &usedDefault);
    text.assign(buffer.data(), buffer.size());
    if (usedDefault) return false;
    const int back = ::MultiByteToWideChar(CP_ACP, 0, buffer.data(), bytes, nullptr, 0);
    std::vector<wchar_t> again(static_cast<size_t>(back > 0 ? back : 1));
    ::MultiByteToWideChar(CP_ACP, 0, buffer.data(), bytes, again.data(), back);
    return back == length && std::wstring(again.data(), static_cast<size_t>(back)) == wide;
}

std::wstring ShortPath(const std::wstring& wide) {
    const DWORD size = ::GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (size == 0) return std::wstring();
    std::vector<wchar_t> buffer(size);
    const DWORD n = ::GetShortPathNameW(wide.c_str(), buffer.data(), size);
    if (n == 0 || n >= size) return std::wstring();
    return std::wstring(buffer.data(), n);
}

} // namespace

CodePagePathResult CodePagePath(const std::wstring& wide, std::string& path) {
    if (ConvertExactly(wide, path)) return CodePagePathResult::Exact;
    std::string named = path;
    // A volume without short names (they can be switched off) gives back the long name.
    const std::wstring shortName = ShortPath(wide);
    if (!shortName.empty() && shortName != wide && ConvertExactly(shortName, path))
        return CodePagePathResult::ShortName;
    path = named;
    return CodePagePathResult::Refused;
}
