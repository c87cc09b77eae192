#pragma once
// Fitting code-page text into a fixed-size buffer of the system's records (a tooltip, a
// file name): a cut must never fall between the two bytes of a double-byte character,
// which would leave a lone lead byte that swallows the terminating zero when shown.

#include <cstddef>
#include <string>

// The longest start of text made of whole characters that fits into capacity bytes with
// its terminating zero. isLeadByte tells the first bytes of double-byte characters.
template <typename IsLeadByte>
std::string FitWholeChars(const std::string& text, size_t capacity, IsLeadByte isLeadByte) {
    if (capacity == 0) return std::string();
    const size_t room = capacity - 1;
    size_t end = 0;
    while (end < text.size()) {
        const size_t step =
            isLeadByte(static_cast<unsigned char>(text[end])) && end + 1 < text.size() ? 2 : 1;
        if (end + step > room) break;
        end += step;
    }
    return text.substr(0, end);
}
