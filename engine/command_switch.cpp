#include "engine/command_switch.h"

namespace {

struct SwitchWord {
    SwitchKind kind;
    const char* word;
    bool takesFile;
};

const SwitchWord kSwitchWords[] = {
    {SwitchKind::Load, "load", true},   {SwitchKind::Merge, "merge", true},
    {SwitchKind::On, "on", false},      {SwitchKind::Off, "off", false},
    {SwitchKind::Show, "show", false},  {SwitchKind::Hide, "hide", false},
    {SwitchKind::Quit, "quit", false},
};

std::string Trimmed(const std::string& text) {
    const size_t begin = text.find_first_not_of(' ');
    if (begin == std::string::npos) return std::string();
    return text.substr(begin, text.find_last_not_of(' ') + 1 - begin);
}

bool IsLetters(const std::string& word) {
    if (word.empty()) return false;
    for (char c : word)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
    return true;
}

} // namespace

CommandSwitch ParseCommandSwitch(const std::string& line,
                                 const std::function<bool(const std::string&)>& isFolder) {
    CommandSwitch command;
    const std::string text = Trimmed(line);
    if (text.size() < 2 || text[0] != '/') return command;
    const size_t blank = text.find(' ');
    const std::string word = text.substr(1, blank == std::string::npos ? std::string::npos : blank - 1);
    const std::string rest = blank == std::string::npos ? std::string() : Trimmed(text.substr(blank));
    for (const SwitchWord& w : kSwitchWords) {
        if (word != w.word) continue;
        std::string file = rest;
        if (file.size() >= 2 && file.front() == '"' && file.back() == '"')
            file = file.substr(1, file.size() - 2);
        if (w.takesFile != !file.empty()) break; // a file missing, or one too many
        command.kind = w.kind;
        command.file = file;
        return command;
    }
    if (IsLetters(word) && !isFolder(text)) command.kind = SwitchKind::Unknown;
    return command;
}

std::string SwitchMessage(const CommandSwitch& command) {
    for (const SwitchWord& w : kSwitchWords)
        if (w.kind == command.kind) return std::string(w.word) + (w.takesFile ? "\n" + command.file : "");
    return std::string();
}

CommandSwitch SwitchFromMessage(const std::string& message) {
    const size_t newline = message.find('\n');
    const std::string word = message.substr(0, newline);
    CommandSwitch command;
    for (const SwitchWord& w : kSwitchWords) {
        if (word != w.word || w.takesFile != (newline != std::string::npos)) continue;
        command.kind = w.kind;
        if (w.takesFile) command.file = message.substr(newline + 1);
        return command;
    }
    command.kind = SwitchKind::Unknown;
    return command;
}
