#pragma once
// The program holds text as UTF-8; Windows takes it as UTF-16. These two convert between
// them without loss in either direction: a UTF-16 unit that is half of a pair on its own
// (which file names may hold) becomes the three bytes UTF-8 would give that code point,
// and comes back from them as it was. Bytes that are no UTF-8 become U+FFFD.

#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Appends the UTF-8 bytes of one code point (up to U+10FFFF, lone surrogates included).
void AppendUtf8(std::string& out, char32_t code);

// Reads the code point that starts at utf8[pos] and moves pos past it; false (pos moved by
// one byte) where no well-formed sequence starts, including an overlong one. A lone
// surrogate's three bytes are read as that surrogate.
bool NextUtf8(std::string_view utf8, size_t& pos, char32_t& code);
