#pragma once
// The encoding of the list and settings files, read and written the same way on every
// system whatever its code page: GB18030, which is GBK byte for byte for every character
// GBK has and covers the rest of Unicode. Inside, the program holds text as UTF-8.
// A byte that starts no character (a damaged file) is kept: it reads as one of the
// code points U+DC80 to U+DCFF and is written back as the byte it was.

#include <cstddef>
#include <string>
#include <string_view>

std::string DecodeFileText(std::string_view bytes);
std::string EncodeFileText(std::string_view utf8);

// How many bytes `utf8` takes in the files: the measure of every length limit.
std::size_t FileTextLength(std::string_view utf8);

// True when a character of `utf8` takes four bytes in the files: one that a reader knowing
// only GBK would take for other characters.
bool HasCharacterBeyondGbk(std::string_view utf8);
