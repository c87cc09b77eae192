#pragma once
// The templates of the panel and its dialogs, in the language the program shows. They name
// the shell's dialog font, which a Chinese system draws with SimSun; elsewhere that font
// may have no Chinese glyphs at all. There a Chinese template is given SimSun itself
// (present on every Windows since XP), or where it is missing the face the font mapper
// picks for Chinese text, and the layout stays the one a Chinese system shows.

#include <windows.h>

#include <vector>

// The template `id` of `module` in the language shown, with that font where it needs it;
// empty when the module has no such template.
std::vector<BYTE> DialogTemplateShown(HMODULE module, UINT id);
