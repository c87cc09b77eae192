#include "tests/support/fake_system.h"

#include <cstdint>

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

std::string Hex(unsigned value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%02X", value);
    return buf;
}

const char* OkOr(bool ok, const char* failure) {
    return ok ? "ok" : failure;
}

// The key of FakeSystem::registry.
std::string RegKey(tw::RegRoot root, const std::string& subkey, const std::string& name) {
    return std::string(root == tw::RegRoot::LocalMachine ? "HKLM\\" : "HKCU\\") + subkey + "|" +
           name;
}

} // namespace

FakeSystem::FakeSystem() {
    // Names as an English layout gives them; the numeric-pad keys share the scan codes
    // of the navigation keys and differ only by the extended flag.
    keyNames[{0x10, false}] = "Shift";
    keyNames[{0x11, false}] = "Ctrl";
    keyNames[{0x12, false}] = "Alt";
    keyNames[{0x0D, false}] = "Enter";
    keyNames[{0x0D, true}] = "Num Enter";
    keyNames[{0x1B, false}] = "Esc";
    keyNames[{0x20, false}] = "Space";
    struct NavKey {
        unsigned vk;
        const char* extended;
        const char* pad;
    };
    static const NavKey kNav[] = {
        {0x21, "Page Up", "Num 9"},  {0x22, "Page Down", "Num 3"}, {0x23, "End", "Num 1"},
        {0x24, "Home", "Num 7"},     {0x25, "Left", "Num 4"},      {0x26, "Up", "Num 8"},
        {0x27, "Right", "Num 6"},    {0x28, "Down", "Num 2"},      {0x2D, "Insert", "Num 0"},
        {0x2E, "Delete", "Num Del"},
    };
    for (const NavKey& k : kNav) {
        keyNames[{k.vk, true}] = k.extended;
        keyNames[{k.vk, false}] = k.pad;
    }
    for (unsigned c = '0'; c <= '9'; ++c)
        keyNames[{c, false}] = std::string(1, char(c));
    for (unsigned c = 'A'; c <= 'Z'; ++c)
        keyNames[{c, false}] = std::string(1, char(c));
    for (unsigned f = 1; f <= 12; ++f)
        keyNames[{0x6F + f, false}] = "F" + std::to_string(f);
}

tw::WindowRef FakeSystem::MakeWindow(const std::string& name) {
    m_windowNames.push_back(name);
    return &m_windowNames.back();
}

std::string FakeSystem::WindowName(tw::WindowRef window) const {
    if (window == nullptr) return "null";
    for (const std::string& name : m_windowNames)
        if (&name == window) return name;
    return "?";
}

std::vector<std::string> FakeSystem::CallsStartingWith(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0) out.push_back(call);
    return out;
}

bool FakeSystem::IsRegistered(int id) const {
    return std::any_of(registered.begin(), registered.end(),
                       [id](const Registration& r) { return r.id == id; });
}

bool FakeSystem::IsVisible(tw::WindowRef window) const {
    auto it = m_visible.find(window);
    return it != m_visible.end() && it->second;
}

bool FakeSystem::IsEnabled(tw::WindowRef window) const {
    auto it = m_enabled.find(window);
    return it == m_enabled.end() || it->second; // windows start enabled
}

void FakeSystem::ClearLog() {
    calls.clear();
    messageBoxes.clear();
}

bool FakeSystem::RegisterHotKey(tw::WindowRef window, int id, unsigned modifiers, unsigned vk) {
    const bool taken =
        takenByOthers.count({modifiers, vk}) != 0 ||
        std::any_of(registered.begin(), registered.end(),
                    [&](const Registration& r) { return r.modifiers == modifiers && r.vk == vk; });
    if (!taken) registered.push_back({window, id, modifiers, vk});
    calls.push_back("RegisterHotKey " + WindowName(window) + " id=" + std::to_string(id) +
                    " mod=" + std::to_string(modifiers) + " vk=" + Hex(vk) + " -> " +
                    OkOr(!taken, "refused"));
    return !taken;
}

bool FakeSystem::UnregisterHotKey(tw::WindowRef window, int id) {
    const auto before = registered.size();
    registered.erase(
        std::remove_if(registered.begin(), registered.end(),
                       [&](const Registration& r) { return r.window == window && r.id == id; }),
        registered.end());
    const bool found = registered.size() != before;
    calls.push_back("UnregisterHotKey " + WindowName(window) + " id=" + std::to_string(id) +
                    " -> " + OkOr(found, "none"));
    return found;
}

std::string FakeSystem::KeyName(unsigned vk, bool extended) {
    calls.push_back("KeyName vk=" + Hex(vk) + (extended ? " ext" : ""));
    auto it = keyNames.find({vk, extended});
    return it == keyNames.end() ? std::string() : it->second;
}

void FakeSystem::ShowWindow(tw::WindowRef window, bool show) {
    m_visible[window] = show;
    calls.push_back("ShowWindow " + WindowName(window) + (show ? " show" : " hide"));
}

void FakeSystem::EnableWindow(tw::WindowRef window, bool enable) {
    m_enabled[window] = enable;
    calls.push_back("EnableWindow " + WindowName(window) + (enable ? " on" : " off"));
}

int FakeSystem::ShowMessageBox(tw::WindowRef owner, const std::string& text,
                               const std::string& caption, unsigned flags) {
    messageBoxes.push_back({owner, text, caption, flags});
    calls.push_back("MessageBox " + WindowName(owner) + " [" + caption + "] " + text +
                    " flags=" + Hex(flags));
    if (duringMessageBox) duringMessageBox();
    return messageBoxAnswer;
}

void FakeSystem::ShellOpen(const std::string& file, const std::string& directory) {
    calls.push_back("ShellOpen \"" + file + "\" in \"" + directory + "\"");
}

void FakeSystem::SendMciCommand(const std::string& command) {
    calls.push_back("Mci " + command);
}

tw::TokenRef FakeSystem::OpenProcessToken() {
    calls.push_back(std::string("OpenProcessToken -> ") + OkOr(tokenOpens, "null"));
    if (!tokenOpens) return nullptr;
    ++m_openTokens;
    return &m_token;
}

bool FakeSystem::EnableShutdownPrivilege(tw::TokenRef token) {
    const bool ok = token != nullptr && privilegeGranted;
    calls.push_back(std::string("EnableShutdownPrivilege ") + (token ? "token" : "null") + " -> " +
                    OkOr(ok, "error"));
    return ok;
}

void FakeSystem::CloseToken(tw::TokenRef token) {
    if (token != nullptr) --m_openTokens;
    calls.push_back(std::string("CloseToken ") + (token ? "token" : "null"));
}

bool FakeSystem::RequestPowerOff() {
    calls.push_back(std::string("RequestPowerOff -> ") + OkOr(powerOffAccepted, "refused"));
    return powerOffAccepted;
}

std::string FakeSystem::GetCurrentDir() {
    calls.push_back("GetCurrentDir -> " + currentDir);
    return currentDir;
}

bool FakeSystem::SetCurrentDir(const std::string& directory) {
    if (setDirSucceeds) currentDir = directory;
    calls.push_back("SetCurrentDir " + directory + " -> " + OkOr(setDirSucceeds, "failed"));
    return setDirSucceeds;
}

tw::RegWriteResult FakeSystem::WriteRegString(tw::RegRoot root, const std::string& subkey,
                                              const std::string& name, const std::string& data) {
    const std::string key = RegKey(root, subkey, name);
    const auto preset = regResultFor.find(root);
    const tw::RegWriteResult result = preset != regResultFor.end() ? preset->second : regResult;
    if (result == tw::RegWriteResult::Ok) registry[key] = data;
    static const char* const kResults[] = {"ok", "cannot create key", "cannot set value"};
    calls.push_back("WriteRegString " + key + "=" + data + " -> " +
                    kResults[static_cast<int>(result)]);
    return result;
}

bool FakeSystem::ReadRegString(tw::RegRoot root, const std::string& subkey, const std::string& name,
                               std::string& data) {
    const auto value = registry.find(RegKey(root, subkey, name));
    if (value == registry.end()) return false;
    data = value->second;
    return true;
}

unsigned long FakeSystem::ShellLaunch(const tw::ShellLaunchRequest& request) {
    launches.push_back(request);
    if (request.started != nullptr && launchResult == tw::kLaunchOk) {
        *request.started = reinterpret_cast<tw::ProcessRef>(processes.size() + 1);
        processes[*request.started] = {true, startedWindows};
    }
    calls.push_back("ShellLaunch \"" + request.file + "\" \"" + request.parameters + "\" in \"" +
                    request.directory + "\"" + (request.runAs ? " runas" : "") +
                    (request.asDesktopUser ? " as desktop user" : "") + " -> " +
                    std::to_string(launchResult));
    return launchResult;
}

// As the system does it: names match in any case, an undefined one stays with its signs.
std::string FakeSystem::ExpandEnvironment(const std::string& text) {
    std::string out;
    size_t i = 0;
    while (i < text.size()) {
        const size_t open = text.find('%', i);
        const size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) return out + text.substr(i);
        out += text.substr(i, open - i);
        std::string name = text.substr(open + 1, close - open - 1);
        std::transform(name.begin(), name.end(), name.begin(), ::toupper);
        auto it = environment.find(name);
        if (it == environment.end()) {
            out += text.substr(open, close - open);
            i = close; // the closing sign may open the next name
        } else {
            out += it->second;
            i = close + 1;
        }
    }
    return out;
}

void FakeSystem::AllowLaunchedForeground() {
    calls.push_back("AllowLaunchedForeground");
}

// The real rule; the folders are the script's.
#include "platform/folder_rule.h"

bool FakeSystem::IsInSystemFolder(const std::string& path) {
    for (const std::string& folder : systemFolders)
        if (IsInsideFolder(path, folder)) return true;
    return false;
}

tw::RunningProgram FakeSystem::StartedProcess(tw::ProcessRef process) {
    const auto it = processes.find(process);
    return it == processes.end() ? tw::RunningProgram() : it->second;
}

void FakeSystem::ReleaseProcess(tw::ProcessRef process) {
    calls.push_back("ReleaseProcess " + std::to_string(reinterpret_cast<std::uintptr_t>(process)));
}

tw::RunningProgram FakeSystem::ProgramByPath(const std::string& path) {
    calls.push_back("ProgramByPath " + path);
    const auto it = programs.find(path);
    return it == programs.end() ? tw::RunningProgram() : it->second;
}

void FakeSystem::BringToFront(tw::WindowRef window) {
    calls.push_back("BringToFront " + std::to_string(reinterpret_cast<std::uintptr_t>(window)));
    minimized.erase(window);
    foreground = window;
}

void FakeSystem::Minimize(tw::WindowRef window) {
    calls.push_back("Minimize " + std::to_string(reinterpret_cast<std::uintptr_t>(window)));
    minimized.insert(window);
    foreground = nullptr;
}
