// The portable tests run without the program's resources: their texts come from the
// string tables in res/strings.rc itself, read once, so they see what the program shows.

#include "support/rc_strings.h"

#include "platform/ui_text.h"

#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <utility>

namespace {

using Table = std::map<std::pair<int, tw::UiLanguage>, std::string>;

Table ReadTables() {
    std::map<std::string, int> ids;
    std::ifstream header(TW_RESOURCE_H);
    const std::regex define(R"(^#define\s+(IDS_\w+)\s+(\d+))");
    for (std::string line; std::getline(header, line);) {
        std::smatch m;
        if (std::regex_search(line, m, define)) ids[m[1]] = std::stoi(m[2]);
    }
    Table table;
    std::ifstream rc(TW_STRINGS_RC);
    const std::regex entry(R"re(^\s*(IDS_\w+)\s+"(.*)"\s*$)re");
    tw::UiLanguage language = tw::UiLanguage::Chinese;
    for (std::string line; std::getline(rc, line);) {
        if (line.rfind("LANGUAGE", 0) == 0)
            language = line.find("LANG_ENGLISH") != std::string::npos ? tw::UiLanguage::English
                                                                      : tw::UiLanguage::Chinese;
        std::smatch m;
        if (!std::regex_match(line, m, entry) || ids.count(m[1]) == 0) continue;
        std::string text = m[2];
        for (size_t at = text.find("\"\""); at != std::string::npos; at = text.find("\"\"", at + 1))
            text.erase(at, 1);
        table[{ids[m[1]], language}] = text;
    }
    return table;
}

const Table& Tables() {
    static const Table table = ReadTables();
    return table;
}

std::string FromRc(int id, tw::UiLanguage language) {
    const Table& table = Tables();
    const auto found = table.find({id, language});
    return found != table.end() ? found->second : std::string();
}

[[maybe_unused]] const bool kInstalled = (tw::SetUiTextSource(&FromRc), true);

} // namespace

std::set<int> RcStringIds() {
    std::set<int> ids;
    for (const auto& text : Tables())
        ids.insert(text.first.first);
    return ids;
}
