#include "ui/dialog_font.h"

#include "platform/win32/ui_resources.h"

#include <cstring>
#include <cwchar>
#include <string>

namespace {

const wchar_t kChineseFace[] = L"SimSun";
const UINT kChineseCodePage = 936;

// SimSun, or the face the font mapper gives for Chinese text where SimSun is missing (the
// dialog manager asks for the template's face with no character set, which would give a
// face without Chinese glyphs).
const std::wstring& ChineseFace() {
    static const std::wstring face = [] {
        std::wstring chosen = kChineseFace;
        HDC dc = ::GetDC(nullptr);
        HFONT font = ::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, kChineseFace);
        if (dc != nullptr && font != nullptr) {
            HGDIOBJ old = ::SelectObject(dc, font);
            wchar_t name[LF_FACESIZE] = {};
            if (::GetTextFaceW(dc, LF_FACESIZE, name) > 0 && name[0] != L'\0') chosen = name;
            ::SelectObject(dc, old);
        }
        if (font != nullptr) ::DeleteObject(font);
        if (dc != nullptr) ::ReleaseDC(nullptr, dc);
        return chosen;
    }();
    return face;
}

bool SkipString(const BYTE* data, size_t size, size_t& at) {
    for (;;) {
        if (at + sizeof(WCHAR) > size) return false;
        WCHAR c;
        std::memcpy(&c, data + at, sizeof c);
        at += sizeof(WCHAR);
        if (c == 0) return true;
    }
}

// Steps over a menu or class field: none, an ordinal or a string.
bool SkipField(const BYTE* data, size_t size, size_t& at) {
    if (at + sizeof(WORD) > size) return false;
    WORD first;
    std::memcpy(&first, data + at, sizeof first);
    if (first == 0xFFFF) {
        at += 2 * sizeof(WORD);
        return at <= size;
    }
    return SkipString(data, size, at);
}

size_t AlignDword(size_t at) {
    return (at + 3) & ~static_cast<size_t>(3);
}

} // namespace

std::vector<BYTE> DialogTemplateShown(HMODULE module, UINT id) {
    DWORD found = 0;
    const BYTE* data = FindUiResource(module, RT_DIALOG, MAKEINTRESOURCEW(id), &found);
    const size_t size = found;
    if (data == nullptr) return {};
    std::vector<BYTE> asIs(data, data + size);
    if (tw::CurrentUiLanguage() != tw::UiLanguage::Chinese || ::GetACP() == kChineseCodePage)
        return asIs;
    // Only the extended form (signature 0xFFFF) is read; the program's templates are all
    // of that form.
    const size_t header = 2 * sizeof(WORD) + 3 * sizeof(DWORD) + sizeof(WORD) + 4 * sizeof(short);
    if (size < header) return asIs;
    WORD version, signature;
    DWORD style;
    std::memcpy(&version, data, sizeof version);
    std::memcpy(&signature, data + 2, sizeof signature);
    std::memcpy(&style, data + 12, sizeof style);
    if (version != 1 || signature != 0xFFFF || !(style & DS_SETFONT)) return asIs;

    size_t at = header;
    if (!SkipField(data, size, at) || !SkipField(data, size, at) || !SkipString(data, size, at))
        return asIs;
    const size_t pointSize = at;           // WORD size, WORD weight, BYTE italic, BYTE charset
    const size_t face = at + 2 * sizeof(WORD) + 2;
    size_t faceEnd = face;
    if (!SkipString(data, size, faceEnd)) return asIs;
    const size_t items = AlignDword(faceEnd);
    if (items > size) return asIs;

    std::vector<BYTE> patched(data, data + face);
    patched[pointSize + 2 * sizeof(WORD) + 1] = GB2312_CHARSET;
    const std::wstring& chinese = ChineseFace();
    const BYTE* name = reinterpret_cast<const BYTE*>(chinese.c_str());
    patched.insert(patched.end(), name, name + (chinese.size() + 1) * sizeof(wchar_t));
    patched.resize(AlignDword(patched.size()), 0);
    patched.insert(patched.end(), data + items, data + size);
    return patched;
}
