#pragma once
// The panel and its dialogs are Chinese on every system. Their templates name the shell's
// dialog font, which a Chinese system draws with SimSun; elsewhere that font may have no
// Chinese glyphs at all. There the template is given SimSun itself (present on every
// Windows since XP), or where it is missing the face the font mapper picks for Chinese
// text, and the layout stays the one a Chinese system shows.

#include <windows.h>

#include <vector>

// The template `id` of `module` with that font; empty when the template is used as it is
// (a Chinese system, or a template without a font of its own).
std::vector<BYTE> DialogTemplateForChinese(HMODULE module, UINT id);
