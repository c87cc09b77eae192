#include "platform/win32/ui_resources.h"

#include "platform/win32/wide.h"

namespace {

const BYTE* Found(HMODULE module, HRSRC found, DWORD* size) {
    HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const BYTE* data =
        loaded != nullptr ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    if (size != nullptr) *size = data != nullptr ? ::SizeofResource(module, found) : 0;
    return data;
}

const BYTE* FindIn(HMODULE module, LPCWSTR type, LPCWSTR name, LANGID language, DWORD* size) {
    // Asked for one language, the loader answers with that one only.
    HRSRC found = ::FindResourceExW(module, type, name, language);
    if (found == nullptr) found = ::FindResourceW(module, name, type);
    return Found(module, found, size);
}

std::string FromTable(int id, tw::UiLanguage language) {
    return Narrow(LoadUiString(::GetModuleHandleW(nullptr), static_cast<UINT>(id), language));
}

} // namespace

LANGID UiLanguageId(tw::UiLanguage language) {
    return language == tw::UiLanguage::English
               ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)
               : MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
}

bool ChineseDisplayLanguage() {
    return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_CHINESE;
}

void ShowUiLanguage(tw::UiLanguage language) {
    tw::SetUiLanguage(language);
    // Only a language the settings chose against the display's: everyone else keeps the
    // system's own texts exactly as they were. Since Windows Vista; older systems show
    // theirs in their own language.
    static bool chosenAgainstDisplay = false;
    const LANGID display = ::GetUserDefaultUILanguage();
    const bool against = PRIMARYLANGID(display) != PRIMARYLANGID(UiLanguageId(language));
    if (!against && !chosenAgainstDisplay) return;
    chosenAgainstDisplay = against;
    const LANGID id = against ? UiLanguageId(language) : display;
    using SetThreadUILanguageFn = LANGID(WINAPI*)(LANGID);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto set = kernel != nullptr
                         ? reinterpret_cast<SetThreadUILanguageFn>(reinterpret_cast<void*>(
                               ::GetProcAddress(kernel, "SetThreadUILanguage")))
                         : nullptr;
    if (set != nullptr) set(id);
}

void InstallStringTable() {
    tw::SetUiTextSource(&FromTable);
}

const BYTE* FindUiResource(HMODULE module, LPCWSTR type, LPCWSTR name, DWORD* size) {
    return FindIn(module, type, name, UiLanguageId(tw::CurrentUiLanguage()), size);
}

HMENU LoadUiMenu(HMODULE module, UINT id) {
    const BYTE* data = FindUiResource(module, RT_MENU, MAKEINTRESOURCEW(id), nullptr);
    return data != nullptr ? ::LoadMenuIndirectW(data) : nullptr;
}

// A string table resource holds sixteen strings, each its length in characters followed
// by its characters; string id is number id % 16 of block id / 16 + 1.
std::wstring LoadUiString(HMODULE module, UINT id, tw::UiLanguage language) {
    DWORD size = 0;
    const BYTE* data =
        FindIn(module, RT_STRING, MAKEINTRESOURCEW((id >> 4) + 1), UiLanguageId(language), &size);
    if (data == nullptr) return std::wstring();
    const WCHAR* at = reinterpret_cast<const WCHAR*>(data);
    const WCHAR* end = at + size / sizeof(WCHAR);
    for (UINT i = 0; i < (id & 15) && at < end; ++i)
        at += 1 + *at;
    if (at >= end || at + 1 + *at > end) return std::wstring();
    return std::wstring(at + 1, *at);
}
