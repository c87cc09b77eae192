#include "platform/ui_text.h"

namespace tw {

namespace {

UiTextSource g_source = nullptr;
UiLanguage g_language = UiLanguage::Chinese;

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

void SetUiTextSource(UiTextSource source) {
    g_source = source;
}

void SetUiLanguage(UiLanguage language) {
    g_language = language;
}

UiLanguage CurrentUiLanguage() {
    return g_language;
}

std::string UiTextIn(int id, UiLanguage language) {
    return g_source != nullptr ? g_source(id, language) : std::string();
}

std::string UiText(int id) {
    return UiTextIn(id, g_language);
}

std::string UiText(int id, std::initializer_list<std::string> args) {
    const std::string pattern = UiText(id);
    std::string text;
    text.reserve(pattern.size());
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const size_t n = static_cast<size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && n < args.size()) {
            text += *(args.begin() + n);
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

std::vector<std::string> UiTextList(int id) {
    const std::string text = UiText(id);
    std::vector<std::string> items;
    size_t from = 0;
    for (size_t bar = text.find('|'); bar != std::string::npos; bar = text.find('|', from)) {
        items.push_back(text.substr(from, bar - from));
        from = bar + 1;
    }
    items.push_back(text.substr(from));
    return items;
}

UiLanguage ChooseUiLanguage(const std::string& setting, bool chineseDisplay) {
    const std::string word = Lower(setting);
    if (word == "zh") return UiLanguage::Chinese;
    if (word == "en") return UiLanguage::English;
    return chineseDisplay ? UiLanguage::Chinese : UiLanguage::English;
}

} // namespace tw
