#include "storage/file_text.h"

#include "platform/utf16.h"

#include <algorithm>
#include <memory>

namespace {

#include "storage/gb18030_table.inc"

constexpr unsigned kTrailsPerLead = 190;
constexpr unsigned kSupplementaryStart = 189000; // four-byte index of 0x90308130
constexpr char32_t kKeptByteBase = 0xDC00;

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

int TrailIndex(unsigned char trail) {
    if (trail >= 0x40 && trail <= 0x7E) return trail - 0x40;
    if (trail >= 0x80 && trail <= 0xFE) return trail - 0x41;
    return -1;
}

bool InRange(unsigned char byte, unsigned char low, unsigned char high) {
    return byte >= low && byte <= high;
}

// The character of a four-byte code's index, or 0 when it stands for none.
char32_t FourByteCharacter(unsigned index) {
    if (index < kFourByteBmpEnd) {
        const auto* run = std::upper_bound(std::begin(kFourByteRuns), std::end(kFourByteRuns), index,
                                           [](unsigned i, const auto& r) { return i < r.index; });
        --run;
        return run->code + (index - run->index);
    }
    if (index >= kSupplementaryStart && index - kSupplementaryStart <= 0xFFFFF)
        return 0x10000 + (index - kSupplementaryStart);
    return 0;
}

// Reads one character at bytes[pos] and moves past it; false (pos past one byte) where no
// character starts.
bool NextCharacter(std::string_view bytes, size_t& pos, char32_t& code) {
    const auto at = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(pos);
    if (lead < 0x80) {
        code = lead;
        ++pos;
        return true;
    }
    if (InRange(lead, 0x81, 0xFE) && pos + 1 < bytes.size()) {
        const int trail = TrailIndex(at(pos + 1));
        if (trail >= 0) {
            code = kTwoByteCodes[(lead - 0x81) * kTrailsPerLead + trail];
            pos += 2;
            return true;
        }
        if (InRange(at(pos + 1), 0x30, 0x39) && pos + 3 < bytes.size() &&
            InRange(at(pos + 2), 0x81, 0xFE) && InRange(at(pos + 3), 0x30, 0x39)) {
            const unsigned index = (lead - 0x81) * 12600 + (at(pos + 1) - 0x30) * 1260 +
                                   (at(pos + 2) - 0x81) * 10 + (at(pos + 3) - 0x30);
            code = FourByteCharacter(index);
            if (code != 0) {
                pos += 4;
                return true;
            }
        }
    }
    ++pos;
    return false;
}

// The two-byte code of each character that has one (0 for none), made at first need.
const unsigned short* TwoByteOf() {
    static const std::unique_ptr<unsigned short[]> table = [] {
        std::unique_ptr<unsigned short[]> t(new unsigned short[0x10000]());
        for (unsigned i = 0; i < std::size(kTwoByteCodes); ++i) {
            const unsigned lead = 0x81 + i / kTrailsPerLead;
            const unsigned trail = i % kTrailsPerLead;
            t[kTwoByteCodes[i]] = static_cast<unsigned short>(lead << 8 | (trail + (trail < 63 ? 0x40 : 0x41)));
        }
        return t;
    }();
    return table.get();
}

void AppendFourByte(std::string& out, unsigned index) {
    out += static_cast<char>(0x81 + index / 12600);
    out += static_cast<char>(0x30 + index / 1260 % 10);
    out += static_cast<char>(0x81 + index / 10 % 126);
    out += static_cast<char>(0x30 + index % 10);
}

// The file's bytes of one character; '?' for one the encoding cannot hold (a surrogate
// that is no kept byte).
void AppendEncoded(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code >= kKeptByteBase + 0x80 && code <= kKeptByteBase + 0xFF) {
        out += static_cast<char>(code - kKeptByteBase);
    } else if (code >= 0xD800 && code <= 0xDFFF) {
        out += '?';
    } else if (code >= 0x10000) {
        AppendFourByte(out, kSupplementaryStart + (code - 0x10000));
    } else if (const unsigned short two = TwoByteOf()[code]) {
        out += static_cast<char>(two >> 8);
        out += static_cast<char>(two & 0xFF);
    } else {
        const auto* run = std::upper_bound(std::begin(kFourByteRuns), std::end(kFourByteRuns), code,
                                           [](char32_t c, const auto& r) { return c < r.code; });
        --run;
        AppendFourByte(out, run->index + (code - run->code));
    }
}

} // namespace

std::string DecodeFileText(std::string_view bytes) {
    if (IsAscii(bytes)) return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (size_t pos = 0; pos < bytes.size();) {
        const size_t start = pos;
        char32_t code;
        if (!NextCharacter(bytes, pos, code)) code = kKeptByteBase + static_cast<unsigned char>(bytes[start]);
        AppendUtf8(out, code);
    }
    return out;
}

std::string EncodeFileText(std::string_view utf8) {
    if (IsAscii(utf8)) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t code;
        if (!NextUtf8(utf8, pos, code)) code = '?';
        AppendEncoded(out, code);
    }
    return out;
}

std::size_t FileTextLength(std::string_view utf8) {
    std::size_t length = 0;
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t code;
        if (!NextUtf8(utf8, pos, code)) code = '?';
        if (code < 0x80 || (code >= kKeptByteBase + 0x80 && code <= kKeptByteBase + 0xFF) ||
            (code >= 0xD800 && code <= 0xDFFF))
            length += 1;
        else if (code >= 0x10000)
            length += 4;
        else
            length += TwoByteOf()[code] != 0 ? 2 : 4;
    }
    return length;
}

bool HasCharacterBeyondGbk(std::string_view utf8) {
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t code;
        if (!NextUtf8(utf8, pos, code) || code < 0x80 || (code >= 0xD800 && code <= 0xDFFF))
            continue;
        if (code >= 0x10000 || TwoByteOf()[code] == 0) return true;
    }
    return false;
}
