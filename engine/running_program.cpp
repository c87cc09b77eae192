#include "engine/running_program.h"

#include <algorithm>

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool EndsWith(const std::string& text, const char* tail) {
    const std::string end(tail);
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

std::string MatchedProgramPath(const std::string& expandedFile) {
    std::string path = expandedFile;
    path.erase(0, path.find_first_not_of(" \""));
    const size_t end = path.find_last_not_of(" \"");
    path.erase(end == std::string::npos ? 0 : end + 1);
    // A drive and a folder, or a network share: a bare name is looked up by the shell,
    // and which file it finds is the shell's business.
    const bool full = (path.size() > 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/')) ||
                      path.compare(0, 2, "\\\\") == 0;
    const std::string lower = Lower(path);
    if (!full || !(EndsWith(lower, ".exe") || EndsWith(lower, ".com"))) return std::string();
    const size_t slash = lower.find_last_of("\\/");
    if (lower.substr(slash + 1) == "explorer.exe") return std::string();
    return path;
}

bool ActOnRunningProgram(IfRunning choice, const tw::RunningProgram& program, tw::ISystem& system) {
    if (choice == IfRunning::StartAnother || !program.running) return false;
    if (choice == IfRunning::LeaveAlone) return true;
    if (program.windows.empty()) return false;
    const tw::WindowRef front = system.ForegroundWindow();
    const bool inFront =
        std::find(program.windows.begin(), program.windows.end(), front) != program.windows.end();
    if (inFront && !system.IsMinimized(front))
        system.Minimize(front);
    else
        system.BringToFront(program.windows.front());
    return true;
}
