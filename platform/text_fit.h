#pragma once
// Fitting text into a fixed-size buffer of the system's records (a tooltip, a balloon): a
// cut must never fall between the two halves of a character outside the Basic
// Multilingual Plane, which would leave half a character that shows as garbage.

#include <cstddef>
#include <string>
#include <string_view>

// The longest start of text made of whole characters that fits into capacity UTF-16 units
// with its terminating zero.
inline std::u16string FitWholeChars(std::u16string_view text, size_t capacity) {
    if (capacity == 0) return std::u16string();
    size_t end = text.size() < capacity - 1 ? text.size() : capacity - 1;
    const bool splitsPair = end > 0 && end < text.size() && text[end - 1] >= 0xD800 &&
                            text[end - 1] <= 0xDBFF && text[end] >= 0xDC00 && text[end] <= 0xDFFF;
    if (splitsPair) --end;
    return std::u16string(text.substr(0, end));
}
