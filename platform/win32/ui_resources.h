#pragma once
// The program's resources in the language it shows: the string table behind tw::UiText,
// the dialog templates and the menus. A resource the module lacks in that language is
// taken in the language the module has it in.

#include "platform/ui_text.h"

#include <windows.h>

#include <string>

LANGID UiLanguageId(tw::UiLanguage language);

// The user's display language is Chinese, of any region.
bool ChineseDisplayLanguage();

// Makes `language` the one shown: by tw::UiText, the templates and menus, and where
// Windows has them, the system's own texts in this thread (message box buttons).
void ShowUiLanguage(tw::UiLanguage language);

// Makes the string table of this program's module the source of tw::UiText.
void InstallStringTable();

// The bytes of resource `name` of `type` in the language shown, or null; `size` gets
// their count.
const BYTE* FindUiResource(HMODULE module, LPCWSTR type, LPCWSTR name, DWORD* size);

// The menu `id` in the language shown; the caller destroys it.
HMENU LoadUiMenu(HMODULE module, UINT id);

// String `id` of the module's table in `language`; empty when the table lacks it.
std::wstring LoadUiString(HMODULE module, UINT id, tw::UiLanguage language);
