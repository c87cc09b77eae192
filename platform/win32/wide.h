#pragma once
// The program's UTF-8 text as the UTF-16 the W functions of Windows take, and back. The
// one place text changes form on its way to and from the system.

#include "platform/utf16.h"

#include <cwchar>
#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

inline std::wstring Widen(std::string_view utf8) {
    const std::u16string wide = Utf8ToUtf16(utf8);
    return std::wstring(wide.begin(), wide.end());
}

inline std::string Narrow(std::wstring_view wide) {
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide.data()), wide.size()));
}

inline std::string Narrow(const wchar_t* wide) {
    return wide == nullptr ? std::string() : Narrow(std::wstring_view(wide));
}
