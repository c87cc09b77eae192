#include "engine/entry_filter.h"

#include "engine/shown_text.h"
#include "platform/ui_text.h"

namespace {

// Only ASCII letters change: the bytes of a UTF-8 character beyond ASCII never match a
// letter, so a match always covers whole characters.
std::string Folded(const std::string& text) {
    std::string folded = text;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

} // namespace

bool EntryMatches(const HotKeyEntry& entry, const std::string& text) {
    if (text.empty()) return true;
    const std::string wanted = Folded(text);
    for (const std::string* field : {&entry.name, &entry.keydes, &entry.path, &entry.info})
        if (Folded(*field).find(wanted) != std::string::npos) return true;
    // A row may show other texts than its entry holds: those match too.
    if (tw::CurrentUiLanguage() == tw::UiLanguage::Chinese) return false;
    for (const std::string& shown :
         {ShownName(entry), ShownKeyDescription(entry.keydes), ShownNote(entry.info)})
        if (Folded(shown).find(wanted) != std::string::npos) return true;
    return false;
}
