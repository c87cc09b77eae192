#pragma once
// The texts a person reads, looked up by their string-table id (IDS_... in res/resource.h)
// in the language the program shows. The texts themselves live in res/strings.rc, one
// table per language; the Win32 shell installs the table of the program's own resources
// as the source (platform/win32/ui_resources.h).

#include <initializer_list>
#include <string>
#include <vector>

namespace tw {

enum class UiLanguage { Chinese, English };

// Gives the text of an id in a language, UTF-8; the empty text for an unknown id.
using UiTextSource = std::string (*)(int id, UiLanguage language);
void SetUiTextSource(UiTextSource source);

void SetUiLanguage(UiLanguage language);
UiLanguage CurrentUiLanguage();

// The text of id in the language shown; in the second form "%1" to "%9" stand for args
// in turn.
std::string UiText(int id);
std::string UiText(int id, std::initializer_list<std::string> args);
// The texts of id that "|" separates, in turn.
std::vector<std::string> UiTextList(int id);
// The text of id in a given language, whichever is shown.
std::string UiTextIn(int id, UiLanguage language);

// The language to show: the "language" setting when it says "zh" or "en" (in any case),
// otherwise Chinese for a Chinese display language of any region and English for every
// other.
UiLanguage ChooseUiLanguage(const std::string& setting, bool chineseDisplay);

} // namespace tw
